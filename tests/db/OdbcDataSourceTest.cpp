#include "db/OdbcDataSource.h"
#include "DemoFixture.h"
#include "ScopedEnvironment.h"
#include "db/Connection.h"
#include "db/DatabaseFileGuard.h"
#include "db/Failure.h"
#include "db/OdbcConnectionString.h"
#include "db/ResultTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <sql.h>
#include <sqlext.h>

using namespace Qt::StringLiterals;

// Connection strings read as unixODBC's driver manager reads them, held to the driver manager
// itself; data sources and driver entries of any name that load the SQLite driver.

namespace {

// Whether the driver manager connects with the string exactly as given.
bool driverManagerConnects(const QString &connectionString)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    QByteArray text = connectionString.toUtf8();
    SQLCHAR out[2048];
    SQLSMALLINT length = 0;
    const bool connected =
        SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR *>(text.data()),
                                       SQL_NTS, out, sizeof out, &length, SQL_DRIVER_NOPROMPT));
    if (connected)
        SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return connected;
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

void triesEveryRoute(const QString &folder)
{
    const QString missing = folder + u"/missing.sqlite"_s;
    const QString copy = folder + u"/sales.sqlite"_s;
    const QString renamed = folder + u"/libreader.so"_s;
    const QStringList before = QDir(folder).entryList(QDir::Files);
    const auto fill = [&](QString text) {
        return text.replace(u"%1"_s, missing).replace(u"%2"_s, copy).replace(u"%3"_s, renamed);
    };
    const QString refused[] = {
        u"Driver=NoSuchDriver;Driver=SQLite3;Database=%1"_s,
        u"DRIVER=SQLite3;NoCreat=0;driver=SQLite3;Database=%1"_s,
        u"Driver=Reader;Database=%1"_s,
        u"Driver={%3};Database=%1"_s,
        u"DSN=Missing"_s,
        u"DSN=NoSuchSource;DSN=Missing"_s,
        u"DSN=ByLibrary"_s,
        u"DSN=Sales;Database=%1"_s,
        u"DSN=Sales;Driver=SQLite3"_s,
        u"Driver=;Database=%2"_s,
    };
    for (const QString &text : refused) {
        const QString connection = fill(text);
        EXPECT_THROW((void)Connection::openOdbc(connection), Failure) << connection.toStdString();
        EXPECT_FALSE(QFileInfo::exists(missing)) << connection.toStdString();
    }
    // The driver would take the first Database and create it; the last one is read.
    for (const QString &text : {u"DSN=Sales"_s, u"Driver=Reader;Database=%2"_s,
                                u"Driver=SQLite3;Database=%1;Database=%2"_s}) {
        const QString connection = fill(text);
        SCOPED_TRACE(connection.toStdString());
        const auto odbc = Connection::openOdbc(connection);
        EXPECT_GT(odbc->execute(u"select count(*) as n from Towns"_s)->number(0, 0), 0);
        for (const QString &output : QStringList{copy, copy + u"-wal"_s, copy + u"-journal"_s})
            EXPECT_TRUE(DatabaseFileGuard::isGuarded(output)) << output.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), before);
}

} // namespace

// The driver manager takes the last of a key given twice (the SQLite driver the first); a
// string is read the driver manager's way and handed on with every key once.
TEST(OdbcDataSource, ReadsConnectionStringsAsTheDriverManager)
{
    const QString database = DemoFixture::path();
    const struct
    {
        QString text;
        QString driver; // as read
        bool connects;  // by the driver manager, given the string as it stands
    } cases[] = {
        {u"Driver=NoSuchDriver;Driver=SQLite3;Database=%1"_s, u"SQLite3"_s, true},
        {u"Driver=SQLite3;Driver=NoSuchDriver;Database=%1"_s, u"NoSuchDriver"_s, false},
        {u"driver=NoSuchDriver;DRIVER={SQLite3};Database=%1"_s, u"SQLite3"_s, true},
        {u"  Driver=SQLite3;Database=%1"_s, u"SQLite3"_s, true},
        {u"Driver =SQLite3;Database=%1"_s, QString(), false},
        {u"Driver= SQLite3;Database=%1"_s, u" SQLite3"_s, false},
        {u"Driver={SQLite3}ignored;Database=%1"_s, u"SQLite3"_s, true},
        {u"Driver={No;Such}};Driver=SQLite3};Database=%1"_s, u"No;Such};Driver=SQLite3"_s, false},
    };
    for (const auto &c : cases) {
        const QString text = c.text.arg(database);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(driverManagerConnects(text), c.connects);
        const OdbcConnectionString read(text);
        EXPECT_EQ(read.value(u"driver"_s), c.driver);
        EXPECT_EQ(OdbcConnectionString(read.toString()).value(u"DRIVER"_s), c.driver);
    }
}

// A missing file is never created, whatever route leads to the SQLite driver: a driver named
// twice, a driver entry or a data source of another name, a library named by its path; a
// file reached through a data source is guarded like any other. The driver manager reads
// where its configuration is once per process, so the routes are tried in a process of their
// own, started with a configuration of the test's.
TEST(OdbcDataSource, NeverCreatesAFileThroughAnyRouteToTheSqliteDriver)
{
    const QByteArray given = qgetenv("NVR_TEST_ODBC_FOLDER");
    if (!given.isEmpty()) {
        triesEveryRoute(QFile::decodeName(given));
        return;
    }
    const QTemporaryDir folder;
    const QString library =
        OdbcDataSource::resolve(OdbcConnectionString(u"Driver=SQLite3"_s)).driverLibrary();
    ASSERT_TRUE(QFileInfo(library).isAbsolute() && QFileInfo(library).isFile())
        << library.toStdString();
    const QString renamed = folder.filePath(u"libreader.so"_s); // a copy, not a link
    ASSERT_TRUE(QFile::copy(library, renamed));
    const QString copy = folder.filePath(u"sales.sqlite"_s);
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), copy));
    const QString missing = folder.filePath(u"missing.sqlite"_s);
    writeFile(folder.filePath(u"odbcinst.ini"_s),
              u"[SQLite3]\nDriver=%1\n\n[Reader]\nDriver=%2\n"_s.arg(library, renamed));
    writeFile(folder.filePath(u"none.ini"_s), QString()); // the driver manager would create it
    writeFile(folder.filePath(u"odbc.ini"_s),
              u"[Sales]\nDriver=Reader\nDatabase=%1\n\n[Missing]\nDriver=Reader\nDatabase=%2\n\n"
              u"[ByLibrary]\nDriver=%3\nDatabase=%2\n"_s.arg(copy, missing, renamed));

    QProcess routes;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"ODBCSYSINI"_s, folder.path());
    environment.insert(u"ODBCINI"_s, folder.filePath(u"none.ini"_s));
    environment.insert(u"NVR_TEST_ODBC_FOLDER"_s, folder.path());
    routes.setProcessEnvironment(environment);
    routes.setProcessChannelMode(QProcess::MergedChannels);
    routes.start(
        QFileInfo(u"/proc/self/exe"_s).symLinkTarget(),
        {u"--gtest_filter=OdbcDataSource.NeverCreatesAFileThroughAnyRouteToTheSqliteDriver"_s});
    ASSERT_TRUE(routes.waitForFinished(120000));
    EXPECT_EQ(routes.exitCode(), 0) << routes.readAll().toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
}

// The attributes that keep a connection read-only are set whatever the user gave, once.
TEST(OdbcDataSource, SetsTheReadOnlyAttributesOfItsDriver)
{
    using Kind = OdbcDataSource::DriverKind;
    const OdbcConnectionString server(OdbcDataSource::readOnly(
        OdbcConnectionString(u"DRIVER={ODBC Driver 18 for SQL Server};Server=db1;PWD={a;b}}c};"
                             u"ApplicationIntent=ReadWrite"_s),
        Kind::SqlServer));
    EXPECT_EQ(server.value(u"APPLICATIONINTENT"_s), u"ReadOnly"_s);
    EXPECT_EQ(server.value(u"pwd"_s), u"a;b}c"_s);
    EXPECT_EQ(server.toString().count(u"pplicationIntent"_s, Qt::CaseInsensitive), 1);

    const QString file = u"/data/a;b {c}/sales #1.sqlite"_s;
    const QString sqlite = OdbcDataSource::readOnly(
        OdbcConnectionString(u"Driver=SQLite3;NoCreat=0;Database=/x/y.db;nocreat=0"_s),
        Kind::Sqlite, file);
    const OdbcConnectionString read(sqlite);
    EXPECT_EQ(read.value(u"NOCREAT"_s), u"1"_s);
    EXPECT_EQ(sqlite.count(u"nocreat"_s, Qt::CaseInsensitive), 1);
    EXPECT_EQ(sqlite.count(u"database"_s, Qt::CaseInsensitive), 1);
    EXPECT_EQ(read.value(u"ApplicationIntent"_s), QString());
    const QUrl uri(read.value(u"Database"_s));
    EXPECT_EQ(uri.toLocalFile(), file);
    EXPECT_EQ(uri.query(), u"mode=ro"_s);
    EXPECT_FALSE(read.value(u"Database"_s).contains(u';'));
}
