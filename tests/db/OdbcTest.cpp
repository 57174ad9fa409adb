#include "DemoFixture.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/OdbcConnectionString.h"
#include "db/ResultTable.h"
#include "db/RolledBackTransaction.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

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

namespace {

QString copyOfTheDemo(const QString &name)
{
    const QString copy = DemoFixture::temporaryFolder() + u"/"_s + name;
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(DemoFixture::path(), copy));
    return copy;
}

qint64 townCount(const QString &path)
{
    return Connection::openSqlite(path)->execute(u"select count(*) as n from Towns"_s)->number(0, 0);
}

} // namespace

// Statements that read as one SELECT only under SQL Server's rules must not reach the SQLite
// driver, which would run what follows the comment; and nothing written survives a statement.
TEST(Odbc, RunsNothingButOneSelectAndKeepsTheFileAsItWas)
{
    const QString copy = copyOfTheDemo(u"odbc-attack.sqlite"_s);
    const QByteArray before = DemoFixture::fileHash(copy);
    const qint64 towns = townCount(copy);
    ASSERT_GT(towns, 0);
    {
        const auto odbc = Connection::openOdbc(u"DRIVER=SQLite3;Database="_s + copy + u";"_s);
        for (const QString &sql : QStringList{
                 u"WITH x AS (SELECT 1 /* /* */) DELETE FROM towns WHERE 1 -- */ ) SELECT 1"_s,
              QString(u"select 1 /* /* */ ; vacuum into '"_s + copy + u".copy' -- */"_s),
              QString(u"select 1 /* /* */ ; attach database '"_s + copy + u".att' as a -- */"_s),
              u"select 1 /* /* */ ; pragma journal_mode=WAL -- */"_s,
              u"select * from Towns where TownId = ?"_s})
            EXPECT_THROW((void)odbc->execute(sql), Failure) << sql.toStdString();
        EXPECT_GT(odbc->execute(u"select count(*) as n from Towns"_s)->number(0, 0), 0);
    }
    EXPECT_EQ(townCount(copy), towns);
    EXPECT_EQ(DemoFixture::fileHash(copy), before);
    for (const char *side : {".copy", ".att", "-wal", "-shm", "-journal"})
        EXPECT_FALSE(QFileInfo::exists(copy + QLatin1StringView(side))) << side;
}

// Whatever runs on a server connection is rolled back, should a write get past the checks.
TEST(Odbc, RollsBackEverythingARolledBackTransactionSaw)
{
    const QString copy = copyOfTheDemo(u"odbc-rollback.sqlite"_s);
    const qint64 towns = townCount(copy);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QODBC"_s, u"rollback-test"_s);
        db.setDatabaseName(u"DRIVER=SQLite3;Database="_s + copy + u";"_s);
        ASSERT_TRUE(db.open());
        {
            const RolledBackTransaction transaction(db, u"test"_s);
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(u"delete from Towns"_s));
            QSqlQuery count(db);
            ASSERT_TRUE(count.exec(u"select count(*) from Towns"_s) && count.next());
            EXPECT_EQ(count.value(0).toInt(), 0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(u"rollback-test"_s);
    EXPECT_EQ(townCount(copy), towns);
}

// A missing file is refused over ODBC as on the embedded path, never created empty.
TEST(Odbc, NeverCreatesAMissingDatabase)
{
    const QString missing = DemoFixture::temporaryFolder() + u"/odbc-missing.sqlite"_s;
    for (const QString &options : {u""_s, u"NoCreat=0;"_s, u"nocreat=0;NOCREAT=0;"_s}) {
        EXPECT_THROW((void)Connection::openOdbc(u"DRIVER=SQLite3;"_s + options + u"Database="_s +
                                                missing + u";"_s),
                     Failure)
            << options.toStdString();
        EXPECT_FALSE(QFileInfo::exists(missing)) << options.toStdString();
    }
}

// The attributes that keep a connection read-only are set whatever the user gave.
TEST(Odbc, SetsTheReadOnlyAttributesOfItsDriver)
{
    using Kind = OdbcConnectionString::DriverKind;
    const OdbcConnectionString s(
        u"DRIVER={ODBC Driver 18 for SQL Server};Server=db1;PWD={a;b}}c};ApplicationIntent=ReadWrite"_s);
    EXPECT_EQ(s.value(u"pwd"_s), u"a;b}c"_s);
    EXPECT_EQ(OdbcConnectionString::kindOf(s.driverName()), Kind::SqlServer);
    const OdbcConnectionString server(
        OdbcConnectionString::readOnly(s.toString(), Kind::SqlServer));
    EXPECT_EQ(server.value(u"APPLICATIONINTENT"_s), u"ReadOnly"_s);
    EXPECT_EQ(server.value(u"pwd"_s), u"a;b}c"_s);
    EXPECT_EQ(server.value(u"Server"_s), u"db1"_s);
    EXPECT_EQ(server.toString().count(u"pplicationIntent"_s, Qt::CaseInsensitive), 1);

    EXPECT_EQ(OdbcConnectionString::kindOf(u"FreeTDS"_s), Kind::SqlServer);
    EXPECT_EQ(OdbcConnectionString::kindOf(u"SQLite3"_s), Kind::Sqlite);
    EXPECT_EQ(OdbcConnectionString::kindOf(u"PostgreSQL"_s), Kind::Unknown);
    const OdbcConnectionString sqlite(OdbcConnectionString::readOnly(
        u"Driver=SQLite3;NoCreat=0;Database=/x/y.db"_s, Kind::Sqlite));
    EXPECT_EQ(sqlite.value(u"NOCREAT"_s), u"1"_s);
    EXPECT_EQ(sqlite.value(u"Database"_s), u"/x/y.db"_s);
    EXPECT_EQ(sqlite.value(u"ApplicationIntent"_s), QString());
}
