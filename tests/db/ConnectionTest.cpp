#include "db/Connection.h"
#include "DemoFixture.h"
#include "db/DatabaseFileGuard.h"
#include "db/Failure.h"
#include "db/ResultTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

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

namespace {

constexpr int numberRows = 60000;

// A database of numbers all 0, closed, so that no -wal file is left beside a WAL one.
QString numbersDatabase(const QString &folder, const QString &journal = u"wal"_s)
{
    const QString path = folder + u"/numbers.sqlite"_s;
    DemoFixture::write(path, u"pragma journal_mode = %1; create table Numbers (i integer primary "
                             u"key, v integer, pad text); with recursive n(i) as (select 1 union "
                             u"all select i + 1 from n where i < %2) insert into Numbers select i, "
                             u"0, 'padding padding padding padding padding' from n"_s.arg(journal)
                                 .arg(numberRows));
    return path;
}

// Another program's commit: every number becomes 1, copied into the database file at once.
void commitMeanwhile(const QString &path)
{
    DemoFixture::write(path, u"update Numbers set v = 1; pragma wal_checkpoint(truncate)"_s);
}

// Reads every number while commit() runs after the first batch: true when the rows came from
// one state of the file, or the read failed rather than mix two.
bool readsOneState(const QString &path, const std::function<void()> &commit)
{
    qint64 rows = 0, ones = 0;
    bool committed = false;
    try {
        Connection::openSqlite(path)->stream(
            u"select v from Numbers"_s,
            [&](const ResultTable &batch) {
                for (int r = 0; r < batch.rowCount(); ++r)
                    ones += qint64(batch.number(0, r));
                rows += batch.rowCount();
                if (!std::exchange(committed, true))
                    commit();
            },
            1000);
    } catch (const Failure &) {
        return true;
    }
    return rows == numberRows && (ones == 0 || ones == rows);
}

// Runs body in a child under the nobody account, for which the folder cannot be written;
// returns its exit status.
int asNobody(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(90);
        try {
            ::_exit(body());
        } catch (...) {
            ::_exit(91);
        }
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

// A report reads one consistent state of a WAL database that another program changes
// meanwhile, or fails; from a folder the user cannot write too, where it is read without side
// files, and refused while another program has the database open.
TEST(Connection, ReadsOneStateOfAWalDatabaseOrFails)
{
    const QTemporaryDir own;
    const QString folder = own.path();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    const QString path = numbersDatabase(folder);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadOther);
    ASSERT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"numbers.sqlite"_s});
    EXPECT_TRUE(readsOneState(path, [&] { commitMeanwhile(path); }));

    if (::geteuid() != 0)
        GTEST_SKIP() << "the reads from a folder that cannot be written need a second account";
    DemoFixture::write(path, u"update Numbers set v = 0; pragma wal_checkpoint(truncate)"_s);
    for (const QString &side : {u"-wal"_s, u"-shm"_s})
        QFile::remove(path + side);
    const QStringList entries = QDir(folder).entryList(QDir::Files);

    // Read alone: every row, nothing created beside the file.
    EXPECT_EQ(asNobody([&] { return readsOneState(path, [] {}) ? 0 : 1; }), 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), entries);

    // A commit by another process in the middle of the read: the child asks, the parent writes.
    int ask[2], done[2];
    ASSERT_EQ(::pipe(ask), 0);
    ASSERT_EQ(::pipe(done), 0);
    std::thread parent([&] {
        char c;
        if (::read(ask[0], &c, 1) == 1)
            commitMeanwhile(path);
        (void)::write(done[1], "x", 1);
    });
    EXPECT_EQ(asNobody([&] {
                  const bool oneState = readsOneState(path, [&] {
                      char c = 'x';
                      (void)::write(ask[1], &c, 1);
                      (void)::read(done[0], &c, 1);
                  });
                  return oneState ? 0 : 1;
              }),
              0);
    (void)::write(ask[1], "x", 1); // in case the child never asked
    parent.join();
    for (int fd : {ask[0], ask[1], done[0], done[1]})
        ::close(fd);

    // Held open by another process (this one; without a -shm file, as a program holding it
    // exclusively does): refused, not read.
    for (const QString &side : {u"-wal"_s, u"-shm"_s})
        QFile::remove(path + side);
    sqlite3 *writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "pragma locking_mode = exclusive; select count(*) from Numbers",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_FALSE(QFileInfo::exists(path + u"-shm"_s));
    EXPECT_EQ(asNobody([&] {
                  try {
                      (void)Connection::openSqlite(path)->execute(
                          u"select count(*) as n from Numbers"_s);
                      return 1;
                  } catch (const Failure &e) {
                      return e.description().contains(u"another program"_s) ? 0 : 2;
                  }
              }),
              0);
    sqlite3_close(writer);
}

// A database file cut short by another program while it is read fails the read; the process
// carries on.
TEST(Connection, FailsAReadOfAFileCutShortMeanwhile)
{
    const QTemporaryDir folder;
    const QString path = numbersDatabase(folder.path(), u"delete"_s);
    const auto connection = Connection::openSqlite(path);
    EXPECT_THROW(connection->stream(
                     u"select * from Numbers"_s,
                     [&](const ResultTable &) { ASSERT_TRUE(QFile::resize(path, 8192)); }, 1000),
                 Failure);
}

// The database file is guarded under every spelling of its path, and so are the files SQLite
// keeps beside it, whether they exist yet or not; nothing is guarded once it is closed.
TEST(Connection, GuardsTheDatabaseAndItsSideFiles)
{
    const QTemporaryDir own;
    const QString folder = own.path();
    const QString path = folder + u"/g.sqlite"_s;
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), path));
    ASSERT_TRUE(QFile::link(folder, folder + u"/alias"_s));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                     QFile::encodeName(folder + u"/hard.sqlite"_s).constData()),
              0);
    ASSERT_TRUE(QFile::link(path + u"-wal"_s, folder + u"/to-wal"_s));
    const QStringList guarded{path,
                              folder + u"/./g.sqlite"_s,
                              folder + u"/alias/g.sqlite"_s,
                              folder + u"/hard.sqlite"_s,
                              path + u"-wal"_s,
                              path + u"-shm"_s,
                              path + u"-journal"_s,
                              folder + u"/alias/g.sqlite-journal"_s,
                              folder + u"/to-wal"_s};
    const QStringList free{path + u"-wal2"_s, path + u".bak"_s, folder + u"/hard.sqlite-wal"_s,
                           folder + u"/other.sqlite"_s};
    {
        const auto connection = Connection::openSqlite(path);
        for (const QString &p : guarded)
            EXPECT_TRUE(DatabaseFileGuard::isGuarded(p)) << p.toStdString();
        for (const QString &p : free)
            EXPECT_FALSE(DatabaseFileGuard::isGuarded(p)) << p.toStdString();
    }
    for (const QString &p : guarded)
        EXPECT_FALSE(DatabaseFileGuard::isGuarded(p)) << p.toStdString();
}
