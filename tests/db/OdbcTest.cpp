#include "DemoFixture.h"
#include "HostileSql.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/OdbcConnection.h"
#include "db/OdbcStatement.h"
#include "db/ResultTable.h"
#include "db/RolledBackTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

// The process's resident memory, from the kernel's account of it.
qint64 residentBytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong() * 1024;
    }
    return 0;
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

// Hostile statements through the real SQLite ODBC driver, which rewrites escape sequences
// wherever it finds them, comments included: none may change the file or create one, and
// what runs is exactly what was checked.
TEST(Odbc, HostileStatementsChangeNothing)
{
    const QTemporaryDir folder;
    const QString copy = folder.filePath(u"hostile.sqlite"_s);
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), copy));
    const QByteArray before = DemoFixture::fileHash(copy);
    const qint64 towns = townCount(copy);
    {
        const auto odbc = Connection::openOdbc(u"DRIVER=SQLite3;Database="_s + copy + u";"_s);
        const QStringList statements =
            HostileSql::all(folder.path()) + QStringList{u"select * from Towns where TownId = ?"_s};
        for (const QString &sql : statements) {
            try {
                (void)odbc->execute(sql);
            } catch (const Failure &) {
            }
        }
        EXPECT_EQ(odbc->execute(u"select count(*) as n from Towns"_s)->number(0, 0), towns);

        const std::pair<QString, QStringList> verbatim[] = {
            {u" --{d\nSELECT 1 AS a, 'x\n; COMMIT; DELETE FROM Towns; --' AS b --}"_s,
             {u"1"_s, u"x\n; COMMIT; DELETE FROM Towns; --"_s}},
            {u"select '{d 2020-01-01}' as a, '{fn ucase(''a'')}' as b"_s,
             {u"{d 2020-01-01}"_s, u"{fn ucase('a')}"_s}},
        };
        for (const auto &[sql, values] : verbatim) {
            const auto rows = odbc->execute(sql);
            ASSERT_EQ(rows->rowCount(), 1) << sql.toStdString();
            for (int c = 0; c < int(values.size()); ++c)
                EXPECT_EQ(rows->text(c, 0), values[c]) << sql.toStdString();
        }
    }
    EXPECT_EQ(DemoFixture::fileHash(copy), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{u"hostile.sqlite"_s});
}

// Whatever runs on a server connection is rolled back, should a write get past the checks.
TEST(Odbc, RollsBackEverythingARolledBackTransactionSaw)
{
    const QString copy = copyOfTheDemo(u"odbc-rollback.sqlite"_s);
    const qint64 towns = townCount(copy);
    {
        OdbcConnection connection(u"DRIVER=SQLite3;Database="_s + copy + u";"_s);
        ResultTable count(QStringList{u"n"_s});
        {
            const RolledBackTransaction transaction(connection, u"test"_s);
            {
                const OdbcStatement erase(connection.handle(), u"delete from Towns"_s, u"test"_s);
            }
            OdbcStatement counting(connection.handle(), u"select count(*) from Towns"_s, u"test"_s);
            ASSERT_TRUE(counting.fetchInto(count));
        }
        count.finish();
        EXPECT_EQ(count.number(0, 0), 0);
    }
    EXPECT_EQ(townCount(copy), towns);
}

// Rows are handed on as the driver steps through them: a result far larger than one batch
// never sits in memory whole.
TEST(Odbc, StreamsWithFlatMemory)
{
    const auto odbc =
        Connection::openOdbc(u"DRIVER=SQLite3;Database="_s + DemoFixture::path() + u";"_s);
    const qint64 before = residentBytes();
    qint64 atFirstBatch = -1;
    qint64 seen = 0;
    qint64 last = 0;
    EXPECT_THROW(odbc->stream(u"with recursive n(i) as (select 1 union all select i + 1 from n "
                              u"where i < 1000000) select i, '"_s +
                                  QString(200, u'x') + u"' as t from n"_s,
                              [&](const ResultTable &batch) {
                                  if (atFirstBatch < 0)
                                      atFirstBatch = residentBytes();
                                  seen += batch.rowCount();
                                  last = qint64(batch.number(0, batch.rowCount() - 1));
                                  if (seen >= 20000)
                                      throw Failure(u"enough"_s, u"test"_s);
                              }),
                 Failure);
    EXPECT_EQ(last, seen);
    // A million rows of 200 characters held whole would take 200 MB or more.
    EXPECT_LT(atFirstBatch - before, qint64(48) << 20);
}
