#include "DemoFixture.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Same columns, same rows; numbers equal to 12 significant digits, because the SQLite ODBC
// driver hands doubles over as 15-digit text.
void expectSameRows(const ResultTable &odbc, const ResultTable &native, const QString &sql)
{
    ASSERT_EQ(odbc.columnNames(), native.columnNames()) << sql.toStdString();
    ASSERT_EQ(odbc.rowCount(), native.rowCount()) << sql.toStdString();
    for (int r = 0; r < native.rowCount(); ++r) {
        for (int c = 0; c < native.columnCount(); ++c) {
            const ResultTable::Type type = native.columnType(c);
            if (type == ResultTable::Type::Real || type == ResultTable::Type::Integer) {
                const double a = odbc.number(c, r), b = native.number(c, r);
                ASSERT_NEAR(a, b, 1e-12 * std::max(1.0, std::abs(b)))
                    << native.columnName(c).toStdString() << " row " << r;
            } else {
                ASSERT_EQ(odbc.text(c, r), native.text(c, r))
                    << native.columnName(c).toStdString() << " row " << r;
            }
        }
    }
}

} // namespace

// The ODBC path, exercised end to end through unixODBC and the SQLite ODBC driver: the same
// statements give the same rows as the embedded driver.
TEST(Odbc, GivesTheSameRowsAsTheEmbeddedDriver)
{
    const QString path = DemoFixture::path();
    const QByteArray before = DemoFixture::fileHash(path);
    const auto native = Connection::openSqlite(path);
    const auto odbc = Connection::openOdbc(u"DRIVER=SQLite3;Database="_s + path + u";"_s);
    EXPECT_EQ(odbc->dialect(), SqlDialect::Sqlite);
    EXPECT_TRUE(odbc->dbmsName().contains(u"SQLite"_s));

    const QString from =
        SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate().addMonths(-2));
    const QString to = SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate());
    const QStringList statements{
        ReferenceQueries::salesRegister(from, to, u" and t.townid='3'"_s),
        ReferenceQueries::salesSummary(from, to, QString()),
        ReferenceQueries::companyWiseSale(from, to, QString()),
        // (Queries whose computed columns may start with a whole number, such as the stock
        // statement's ISNULL(AvgCost, 0), are left out: the SQLite ODBC driver types such a
        // column from its first row and truncates the amounts after it.)
        ReferenceQueries::companySectorWiseSale(from, to, u"12"_s, QString()),
        ReferenceQueries::saleReturnRegister(from, to, u" And r.salereturnid between 1 and 99999"_s,
                                             QString()),
        u"Select * FROM Parties Where IsCustomer=1 AND PartyName LIKE '%o''ha%'"_s};
    for (const QString &sql : statements) {
        const auto expected = native->execute(sql);
        EXPECT_GT(expected->rowCount(), 0) << sql.toStdString();
        expectSameRows(*odbc->execute(sql), *expected, sql);
    }
    EXPECT_THROW((void)odbc->execute(u"delete from Sales"_s), Failure);
    EXPECT_EQ(DemoFixture::fileHash(path), before);
}
