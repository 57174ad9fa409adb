#include "db/RolledBackTransaction.h"

#include "db/OdbcConnection.h"

RolledBackTransaction::RolledBackTransaction(OdbcConnection &connection, const QString &source)
    : m_connection(connection)
{
    m_connection.beginTransaction(source);
}

RolledBackTransaction::~RolledBackTransaction()
{
    m_connection.rollback();
}
