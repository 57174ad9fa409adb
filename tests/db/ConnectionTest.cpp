#include "db/Connection.h"
#include "DemoFixture.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// A missing file is never created, a file that is no database is left as it was, and each
// failure names what failed.
TEST(Connection, ReportsWhatFailedAndCreatesNothing)
{
    const QString missing = DemoFixture::temporaryFolder() + u"/no-such.sqlite"_s;
    const QString notDb = DemoFixture::temporaryFolder() + u"/not-a-database.sqlite"_s;
    {
        QFile f(notDb);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    const QByteArray before = DemoFixture::fileHash(notDb);
    for (const QString &path : {missing, notDb}) {
        try {
            (void)Connection::openSqlite(path);
            ADD_FAILURE() << "opened " << path.toStdString();
        } catch (const Failure &e) {
            EXPECT_TRUE(e.description().contains(path));
            if (path == notDb) {
                EXPECT_EQ(e.source(), u"SQLite"_s);
            }
        }
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(DemoFixture::fileHash(notDb), before);
    try {
        (void)Connection::openOdbc(u"DSN=NoSuchDataSource;UID=x;PWD=y"_s);
        ADD_FAILURE() << "connected to a missing data source";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.description().contains(u"ODBC"_s));
    }
}

// Values come typed, under the query's own column names; writing statements leave the bytes
// of the file as they were.
TEST(Connection, ReadsTypedValuesAndNeverWritesTheDatabase)
{
    const QString path = DemoFixture::path();
    const QByteArray before = DemoFixture::fileHash(path);
    {
        const auto connection = Connection::openSqlite(path);
        const auto rows = connection->execute(
            u"select sb.ProductID, s.SaleDate, sb.Qty*sb.Price as Grossvalue, s.saleid, "
            u"NULL as Empty from Sales s join SalesBody sb on sb.SaleId = s.SaleId "
            u"where s.SaleId = 1"_s);
        EXPECT_EQ(rows->columnNames(), (QStringList{u"ProductID"_s, u"SaleDate"_s, u"Grossvalue"_s,
                                                    u"saleid"_s, u"Empty"_s}));
        ASSERT_GT(rows->rowCount(), 0);
        EXPECT_EQ(rows->columnType(0), ResultTable::Type::Text);
        EXPECT_EQ(rows->columnType(2), ResultTable::Type::Real);
        EXPECT_EQ(rows->columnType(3), ResultTable::Type::Integer);
        EXPECT_TRUE(rows->isNull(4, 0));
        EXPECT_EQ(rows->text(1, 0), DemoFixture::endDate().addDays(-364).toString(Qt::ISODate));

        // SQL Server's LEFT: by characters, null in null out, a negative length refused.
        const auto left = connection->execute(
            u"select LEFT('Ærø town', 3) as a, LEFT(NULL, 2) as b, LEFT(12345, 2) as c"_s);
        EXPECT_EQ(left->text(0, 0), u"Ærø"_s);
        EXPECT_TRUE(left->isNull(1, 0));
        EXPECT_EQ(left->text(2, 0), u"12"_s);
        for (const QString &sql : {u"select LEFT('abc', -1) as x"_s, u"delete from Sales"_s,
                                   u"select 1; delete from Sales"_s, u"pragma user_version = 3"_s,
                                   u"select nosuchcolumn from Towns"_s})
            EXPECT_THROW((void)connection->execute(sql), Failure) << sql.toStdString();
    }
    EXPECT_EQ(DemoFixture::fileHash(path), before);
}

// A streamed statement hands its rows on as they are read (the command line's query holds
// it to its rows); the receiver can stop an endless one, and a failing one fails.
TEST(Connection, StreamsUntilTheReceiverStops)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    int seen = 0;
    EXPECT_THROW(connection->stream(
                     u"with n as (select 1 as i union all select i + 1 from n) select i from n"_s,
                     [&](const ResultTable &batch) {
                         if ((seen += batch.rowCount()) >= 50000)
                             throw Failure(u"enough"_s, u"test"_s);
                     }),
                 Failure);
    EXPECT_GE(seen, 50000);
    EXPECT_THROW(connection->stream(u"select nothing from Towns"_s, [](const ResultTable &) {}),
                 Failure);
}

// A WAL database is read without leaving -wal or -shm files beside it, from a folder the user
// cannot write as well, and a change written meanwhile by another program is seen.
TEST(Connection, ReadsWalDatabasesWithoutSideFiles)
{
    const QTemporaryDir own; // others may enter it, for the read under another account
    const QString folder = own.path();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    const QString path = folder + u"/wal.sqlite"_s;
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadOther);
    DemoFixture::write(path, u"pragma journal_mode = wal"_s);
    const QByteArray before = DemoFixture::fileHash(path);
    const QStringList entries = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(entries, QStringList{u"wal.sqlite"_s});

    auto towns = [&path] {
        return qint64(Connection::openSqlite(path)
                          ->execute(u"select count(*) as n from Towns"_s)
                          ->number(0, 0));
    };
    const qint64 count = towns();
    EXPECT_GT(count, 0);
    EXPECT_EQ(DemoFixture::fileHash(path), before);

    // In a child that may not write the folder: as root, under the nobody account, for
    // permissions do not bind root.
    const bool root = ::geteuid() == 0;
    if (!root)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const pid_t child = ::fork();
    if (child == 0) {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        try {
            ::_exit(towns() == count ? 0 : 1);
        } catch (const Failure &) {
            ::_exit(3);
        }
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    if (!root)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), entries);

    const auto connection = Connection::openSqlite(path);
    EXPECT_EQ(connection->execute(u"select count(*) as n from Towns"_s)->number(0, 0), count);
    DemoFixture::write(path, u"insert into Towns (TownId, TownName) values (9999, 'Newtown')"_s);
    EXPECT_EQ(connection->execute(u"select count(*) as n from Towns"_s)->number(0, 0), count + 1);
}
