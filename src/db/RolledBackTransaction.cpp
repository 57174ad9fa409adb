#include "db/RolledBackTransaction.h"

#include "db/Failure.h"

#include <QSqlDriver>
#include <QSqlError>

using namespace Qt::StringLiterals;

RolledBackTransaction::RolledBackTransaction(QSqlDatabase db, const QString &source)
    : m_db(std::move(db))
{
    if (!m_db.driver()->hasFeature(QSqlDriver::Transactions) || !m_db.transaction())
        throw Failure(u"The database connection cannot run the statement inside a transaction: "
                      u"%1"_s.arg(m_db.lastError().text().trimmed()),
                      source);
}

RolledBackTransaction::~RolledBackTransaction()
{
    m_db.rollback();
}
