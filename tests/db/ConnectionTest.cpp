#include "db/Connection.h"
#include "DemoFixture.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <iostream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

TEST(Connection, ReportsWhatFailedAndCreatesNothing)
{
    const QString missing = DemoFixture::temporaryFolder() + u"/no-such.sqlite"_s;
    try {
        (void)Connection::openSqlite(missing);
        FAIL() << "opened a missing file";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.description().contains(missing));
    }
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString notDb = DemoFixture::temporaryFolder() + u"/not-a-database.sqlite"_s;
    {
        QFile f(notDb);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    const QByteArray before = DemoFixture::fileHash(notDb);
    try {
        (void)Connection::openSqlite(notDb);
        FAIL() << "opened a file that is no database";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.description().contains(notDb));
        EXPECT_EQ(e.source(), u"SQLite"_s);
    }
    EXPECT_EQ(DemoFixture::fileHash(notDb), before);

    try {
        (void)Connection::openOdbc(u"DSN=NoSuchDataSource;UID=x;PWD=y"_s);
        FAIL() << "connected to a missing data source";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.description().contains(u"ODBC"_s));
    }
}

TEST(Connection, NeverWritesTheDatabase)
{
    const QString path = DemoFixture::path();
    const QByteArray before = DemoFixture::fileHash(path);
    {
        const auto connection = Connection::openSqlite(path);
        EXPECT_EQ(connection->dialect(), SqlDialect::Sqlite);
        (void)connection->execute(u"select count(*) from SalesBody"_s);
        for (const QString &sql :
             {u"delete from Sales"_s, u"update Towns set TownName = 'x'"_s,
              u"select 1; delete from Sales"_s, u"select * into T2 from Towns"_s,
              u"pragma user_version = 3"_s, u"select nosuchcolumn from Towns"_s}) {
            EXPECT_THROW((void)connection->execute(sql), Failure) << sql.toStdString();
        }
    }
    EXPECT_EQ(DemoFixture::fileHash(path), before);
}

TEST(Connection, ReadsTypedValuesWithTheQuerysColumnNames)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const auto rows = connection->execute(
        u"select SalesBody.ProductID, s.SaleDate, sb.Qty*sb.Price as Grossvalue, "
        u"s.saleid, NULL as Empty from Sales s join SalesBody on SalesBody.SaleId = s.SaleId "
        u"join SalesBody sb on sb.SaleId = s.SaleId and sb.SrNo = SalesBody.SrNo "
        u"where s.SaleId = 1 order by SalesBody.SrNo"_s);
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
    EXPECT_THROW((void)connection->execute(u"select LEFT('abc', -1) as x"_s), Failure);
}

namespace {

// Runs a check in a child process that may not write the folder: as root, under the nobody
// account, for permissions do not bind root. The check's result is the exit status.
bool passesWithoutWriteAccess(const QString &folder, const std::function<bool()> &check)
{
    const bool root = ::geteuid() == 0;
    if (!root)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const pid_t child = ::fork();
    if (child == 0) {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        bool ok = false;
        try {
            ok = check();
        } catch (const Failure &e) {
            std::cerr << e.what() << std::endl;
        }
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!root)
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

// A WAL database is read without leaving -wal or -shm files beside it, from a folder the user
// cannot write as well, and a change written meanwhile by another program is seen.
TEST(Connection, ReadsWalDatabasesWithoutSideFiles)
{
    // A folder of its own that others may enter, for the part read under another account.
    const QTemporaryDir own;
    const QString folder = own.path();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    const QString path = folder + u"/wal.sqlite"_s;
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadOther);
    DemoFixture::write(path, u"pragma journal_mode = wal"_s);
    ASSERT_FALSE(QFileInfo::exists(path + u"-wal"_s));
    const QByteArray before = DemoFixture::fileHash(path);
    const QStringList entries = QDir(folder).entryList(QDir::Files);

    auto towns = [](const Connection &c) {
        return qint64(c.execute(u"select count(*) as n from Towns"_s)->number(0, 0));
    };
    qint64 count = 0;
    {
        const auto connection = Connection::openSqlite(path);
        count = towns(*connection);
        EXPECT_GT(count, 0);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), entries);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), entries);
    EXPECT_EQ(DemoFixture::fileHash(path), before);

    EXPECT_TRUE(passesWithoutWriteAccess(folder, [&] {
        return towns(*Connection::openSqlite(path)) == count;
    }));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), entries);

    const auto connection = Connection::openSqlite(path);
    EXPECT_EQ(towns(*connection), count);
    DemoFixture::write(path, u"insert into Towns (TownId, TownName) values (9999, 'Newtown')"_s);
    EXPECT_EQ(towns(*connection), count + 1);
}
