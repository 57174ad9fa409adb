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

// The ODBC path, end to end through unixODBC and the SQLite ODBC driver.

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
    return Connection::openSqlite(path)
        ->execute(u"select count(*) as n from Towns"_s)
        ->number(0, 0);
}

} // namespace

// The same statements give the same rows as the embedded driver: numbers to 12 significant
// digits, because the SQLite ODBC driver hands doubles over as 15-digit text.
TEST(Odbc, GivesTheSameRowsAsTheEmbeddedDriver)
{
    const QString path = DemoFixture::path();
    const auto native = Connection::openSqlite(path);
    const auto odbc = Connection::openOdbc(u"DRIVER=SQLite3;Database="_s + path + u";"_s);
    EXPECT_EQ(odbc->dialect(), SqlDialect::Sqlite);
    const QString from =
        SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate().addMonths(-2));
    const QString to = SqlDates::literal(SqlDialect::Sqlite, DemoFixture::endDate());
    // (The stock statement is left out: the SQLite ODBC driver types a computed column from
    // its first row, and truncates the amounts after a whole number.)
    for (const QString &sql :
         {ReferenceQueries::salesRegister(from, to, u" and t.townid='3'"_s),
          ReferenceQueries::companySectorWiseSale(from, to, u"12"_s, QString()),
          ReferenceQueries::saleReturnRegister(
              from, to, u" And r.salereturnid between 1 and 99999"_s, QString()),
          u"Select * FROM Parties Where IsCustomer=1 AND PartyName LIKE '%o''ha%'"_s}) {
        SCOPED_TRACE(sql.toStdString());
        const auto expected = native->execute(sql);
        const auto got = odbc->execute(sql);
        EXPECT_GT(expected->rowCount(), 0);
        ASSERT_EQ(got->columnNames(), expected->columnNames());
        ASSERT_EQ(got->rowCount(), expected->rowCount());
        for (int r = 0; r < expected->rowCount(); ++r) {
            for (int c = 0; c < expected->columnCount(); ++c) {
                const auto type = expected->columnType(c);
                if (type == ResultTable::Type::Real || type == ResultTable::Type::Integer) {
                    const double b = expected->number(c, r);
                    ASSERT_NEAR(got->number(c, r), b, 1e-12 * std::max(1.0, std::abs(b))) << r;
                } else {
                    ASSERT_EQ(got->text(c, r), expected->text(c, r)) << r;
                }
            }
        }
    }
}

// Statements that read as one SELECT only under SQL Server's rules must not reach the SQLite
// driver, which would run what follows the comment; and nothing written survives a statement.
TEST(Odbc, RunsNothingButOneSelectAndKeepsTheFileAsItWas)
{
    const QString copy = copyOfTheDemo(u"odbc-attack.sqlite"_s);
    const QByteArray before = DemoFixture::fileHash(copy);
    const qint64 towns = townCount(copy);
    {
        const auto odbc = Connection::openOdbc(u"DRIVER=SQLite3;Database="_s + copy + u";"_s);
        for (const QString &sql : QStringList{
                 u"delete from Sales"_s,
                 u"WITH x AS (SELECT 1 /* /* */) DELETE FROM towns WHERE 1 -- */ ) SELECT 1"_s,
                 u"select 1 /* /* */ ; vacuum into '"_s + copy + u".copy' -- */"_s,
                 u"select 1 /* /* */ ; attach database '"_s + copy + u".att' as a -- */"_s,
                 u"select 1 /* /* */ ; pragma journal_mode=WAL -- */"_s,
                 u"select * from Towns where TownId = ?"_s})
            EXPECT_THROW((void)odbc->execute(sql), Failure) << sql.toStdString();
        EXPECT_EQ(odbc->execute(u"select count(*) as n from Towns"_s)->number(0, 0), towns);
    }
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
            ASSERT_TRUE(query.exec(u"select count(*) from Towns"_s) && query.next());
            EXPECT_EQ(query.value(0).toInt(), 0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(u"rollback-test"_s);
    EXPECT_EQ(townCount(copy), towns);
}

// The attributes that keep a connection read-only are set whatever the user gave, and a
// missing file is refused over ODBC as on the embedded path, never created empty.
TEST(Odbc, SetsTheReadOnlyAttributesOfItsDriver)
{
    using Kind = OdbcConnectionString::DriverKind;
    const OdbcConnectionString server(OdbcConnectionString::readOnly(
        u"DRIVER={ODBC Driver 18 for SQL Server};Server=db1;PWD={a;b}}c};ApplicationIntent=ReadWrite"_s,
        Kind::SqlServer));
    EXPECT_EQ(server.value(u"APPLICATIONINTENT"_s), u"ReadOnly"_s);
    EXPECT_EQ(server.value(u"pwd"_s), u"a;b}c"_s);
    EXPECT_EQ(server.toString().count(u"pplicationIntent"_s, Qt::CaseInsensitive), 1);
    EXPECT_EQ(OdbcConnectionString::kindOf(server.driverName()), Kind::SqlServer);
    EXPECT_EQ(OdbcConnectionString::kindOf(u"FreeTDS"_s), Kind::SqlServer);
    EXPECT_EQ(OdbcConnectionString::kindOf(u"SQLite3"_s), Kind::Sqlite);
    EXPECT_EQ(OdbcConnectionString::kindOf(u"PostgreSQL"_s), Kind::Unknown);
    const OdbcConnectionString sqlite(OdbcConnectionString::readOnly(
        u"Driver=SQLite3;NoCreat=0;Database=/x/y.db"_s, Kind::Sqlite));
    EXPECT_EQ(sqlite.value(u"NOCREAT"_s), u"1"_s);
    EXPECT_EQ(sqlite.value(u"ApplicationIntent"_s), QString());

    const QString missing = DemoFixture::temporaryFolder() + u"/odbc-missing.sqlite"_s;
    for (const QString &options : {u""_s, u"NoCreat=0;"_s, u"nocreat=0;NOCREAT=0;"_s}) {
        EXPECT_THROW((void)Connection::openOdbc(u"DRIVER=SQLite3;"_s + options + u"Database="_s +
                                                missing + u";"_s),
                     Failure)
            << options.toStdString();
        EXPECT_FALSE(QFileInfo::exists(missing)) << options.toStdString();
    }
}
