#include "db/Connection.h"

#include "db/DatabaseFileGuard.h"
#include "db/Failure.h"
#include "db/OdbcConnection.h"
#include "db/OdbcConnectionString.h"
#include "db/OdbcDataSource.h"
#include "db/OdbcStatement.h"
#include "db/ResultTable.h"
#include "db/RolledBackTransaction.h"
#include "db/SelectListNames.h"
#include "db/SqlTokenizer.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString nextConnectionName()
{
    static QAtomicInt counter;
    return u"nvrptsales-%1"_s.arg(counter.fetchAndAddRelaxed(1) + 1);
}

QString sqliteSource()
{
    return u"SQLite"_s;
}

QString qtErrorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

// SQL Server's LEFT: the first n characters of the value as text; null in, null out; a
// negative length is an error, as on the server.
void sqlServerLeft(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 2) {
        sqlite3_result_error(context, "LEFT takes two arguments", -1);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(context, "Invalid length parameter passed to the LEFT function.", -1);
        return;
    }
    const auto *text = reinterpret_cast<const unsigned char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    int end = 0;
    sqlite3_int64 characters = 0;
    while (end < bytes && characters < n) {
        ++end;
        while (end < bytes && (text[end] & 0xC0) == 0x80) // continuation bytes of UTF-8
            ++end;
        ++characters;
    }
    sqlite3_result_text(context, reinterpret_cast<const char *>(text), end, SQLITE_TRANSIENT);
}

// Defence behind the checks of the statement text: on the embedded connection the engine
// itself allows nothing but reading tables and calling functions.
int onlyReading(void *, int action, const char *, const char *, const char *, const char *)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

// A database in WAL mode says so in bytes 18 and 19 of its header.
bool isWalDatabase(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.startsWith("SQLite format 3") && header[18] == 2 &&
           header[19] == 2;
}

bool folderIsWritable(const QString &path)
{
    return ::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK) == 0;
}

// No -wal file, or one that holds no change (a reader's or a closed writer's).
bool walIsEmpty(const QString &path)
{
    const QFileInfo wal(path + u"-wal"_s);
    return !wal.exists() || wal.size() == 0;
}

// Every connection to a database holds a lock on its lock bytes while it reads or writes, and
// one in WAL mode holds it as long as it is open; an immutable read is only sound without one.
void refuseWhileOpenElsewhere(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return; // the read itself will say why the file cannot be read
    struct flock probe
    {
    };
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0x40000000; // SQLite's pending byte, followed by the reserved and shared ones
    probe.l_len = 512;
    const bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    if (locked)
        throw Failure(u"The database file %1 is open in another program, and its folder cannot "
                      u"be written to read it consistently meanwhile; try again when it is "
                      u"closed"_s.arg(path),
                      sqliteSource());
}

// What tells one state of a file from another: device, inode, size, modification and
// change times to the nanosecond.
QByteArray fileIdentity(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return QByteArray::number(qulonglong(st.st_dev)) + ':' +
           QByteArray::number(qulonglong(st.st_ino)) + ':' +
           QByteArray::number(qlonglong(st.st_size)) + ':' +
           QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(st.st_mtim.tv_nsec)) + ':' +
           QByteArray::number(qlonglong(st.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(st.st_ctim.tv_nsec));
}

// Hands a finished copy of the rows read so far to the reader waiting for the first ones.
void offerFirstRows(const ResultTable &table, qint64 rowsRead, const Connection::FirstRows &first)
{
    if (!first.ready || rowsRead != first.count)
        return;
    auto copy = std::make_shared<ResultTable>(table);
    copy->finish();
    first.ready(std::move(copy));
}

struct StatementDeleter
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

} // namespace

std::unique_ptr<Connection> Connection::openSqlite(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(u"The database file %1 does not exist"_s.arg(path),
                      Failure::componentSource());
    if (!info.isFile())
        throw Failure(u"%1 is not a database file"_s.arg(path), Failure::componentSource());

    std::unique_ptr<Connection> c(new Connection);
    c->m_name = nextConnectionName();
    c->m_dialect = SqlDialect::Sqlite;
    c->m_dbmsName = u"SQLite"_s;
    c->m_description = info.absoluteFilePath();
    c->m_path = info.absoluteFilePath();
    c->openSqliteHandle();
    c->m_origin = {false, path};
    c->m_fileGuard = std::make_unique<DatabaseFileGuard>(c->m_path);
    return c;
}

// Opens the embedded file read-only. Every statement reads one consistent snapshot: SQLite
// takes it from the file's locks and, for a WAL database, from its -shm file, which a reader
// creates when it is missing (and leaves). Where it cannot (a folder the user may not write),
// the database is read as immutable, without locks or side files, but only while no other
// program has it open: that is checked before each statement and after its rows, and a change
// seen makes the statement fail rather than return rows from two states of the file.
void Connection::openSqliteHandle()
{
    if (!isWalDatabase(m_path)) {
        openSqliteHandleAs(false);
        return;
    }
    try {
        openSqliteHandleAs(false);
        return;
    } catch (const Failure &) {
        if (folderIsWritable(m_path))
            throw;
    }
    if (!walIsEmpty(m_path))
        throw Failure(
            u"Cannot read the database file %1: another program has changes to it "
            u"in its -wal file, and the folder cannot be written to read them"_s.arg(m_path),
            sqliteSource());
    refuseWhileOpenElsewhere(m_path);
    openSqliteHandleAs(true);
}

void Connection::openSqliteHandleAs(bool immutable)
{
    // interrupt() may reach for the handle from another thread meanwhile.
    const std::lock_guard<std::mutex> lock(m_handleMutex);
    m_sqlite = nullptr;
    m_immutable = immutable;
    m_fileIdentity = fileIdentity(m_path);
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (!db.isValid())
            db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.close();
        if (m_immutable) {
            db.setDatabaseName(QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) +
                               u"?mode=ro&immutable=1"_s);
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"_s);
        } else {
            db.setDatabaseName(m_path);
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        }
        if (!db.open())
            throw Failure(
                u"Cannot open the database file %1: %2"_s.arg(m_path, qtErrorText(db.lastError())),
                sqliteSource());
        const QVariant handle = db.driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
            throw Failure(u"The SQLite driver gave no database handle"_s, sqliteSource());
        m_sqlite = *static_cast<sqlite3 *const *>(handle.data());
    }
    // No memory map: a file cut short by another program while it is read would end the
    // process with a bus error instead of failing the statement. A larger page cache serves
    // the reports' joins.
    sqlite3_exec(m_sqlite,
                 "PRAGMA query_only = 1; PRAGMA mmap_size = 0; PRAGMA cache_size = -65536", nullptr,
                 nullptr, nullptr);
    sqlite3_create_function_v2(m_sqlite, SqlTranslator::registeredLeftName().toUtf8().constData(),
                               2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlServerLeft,
                               nullptr, nullptr, nullptr);
    sqlite3_set_authorizer(m_sqlite, onlyReading, nullptr);
    // Reading the schema proves the file is a database at all.
    char *message = nullptr;
    if (sqlite3_exec(m_sqlite, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &message) !=
        SQLITE_OK) {
        const QString why = QString::fromUtf8(message ? message : "unknown error");
        sqlite3_free(message);
        throw Failure(u"Cannot read the database file %1: %2"_s.arg(m_path, why), sqliteSource());
    }
}

void Connection::reopenIfTheFileChanged() const
{
    if (!m_immutable)
        return;
    refuseWhileOpenElsewhere(m_path);
    if (fileIdentity(m_path) == m_fileIdentity && walIsEmpty(m_path))
        return;
    // The handle is this connection's own state, not the caller's: opening afresh changes
    // what is read, never what the connection is.
    const_cast<Connection *>(this)->openSqliteHandleAs(true);
}

// An immutable read sees whatever the file holds as each page is read: a file another program
// opened or changed meanwhile may have given rows of two states.
void Connection::checkUnchangedWhileRead() const
{
    if (!m_immutable)
        return;
    refuseWhileOpenElsewhere(m_path);
    if (fileIdentity(m_path) != m_fileIdentity || !walIsEmpty(m_path))
        throw Failure(u"The database file %1 was changed by another program while it was read; "
                      u"run the report again"_s.arg(m_path),
                      sqliteSource());
}

std::unique_ptr<Connection> Connection::openOdbc(const QString &connectionString)
{
    using DriverKind = OdbcDataSource::DriverKind;
    // A bare name is a data source's.
    const OdbcConnectionString attributes(
        connectionString.contains(u'=') ? connectionString : u"DSN="_s + connectionString);
    const OdbcDataSource source = OdbcDataSource::resolve(attributes);
    std::unique_ptr<Connection> c(new Connection);
    QString handedOver = attributes.toString();
    QString file;
    if (source.kind() == DriverKind::Sqlite) {
        // Checked here, not left to the driver: a missing file is never created.
        file = source.databaseFile();
        const QFileInfo info(file);
        if (file.isEmpty())
            throw Failure(u"The ODBC connection leads to the SQLite driver but names no database "
                          u"file"_s,
                          Failure::componentSource());
        if (!info.exists())
            throw Failure(u"The database file %1 does not exist"_s.arg(file),
                          Failure::componentSource());
        if (!info.isFile())
            throw Failure(u"%1 is not a database file"_s.arg(file), Failure::componentSource());
        file = info.absoluteFilePath();
        handedOver = OdbcDataSource::readOnly(attributes, DriverKind::Sqlite, file);
        c->m_rollBack = false;
    } else if (source.kind() == DriverKind::SqlServer) {
        handedOver = OdbcDataSource::readOnly(attributes, DriverKind::SqlServer);
    }
    c->m_odbc = std::make_unique<OdbcConnection>(handedOver);
    c->readDbmsName();
    if (c->m_dialect == SqlDialect::Sqlite && source.kind() != DriverKind::Sqlite)
        throw Failure(u"The ODBC connection leads to SQLite through a driver that was not "
                      u"recognised as SQLite's, so it cannot be opened read-only; name the "
                      u"SQLite driver or a data source that uses it"_s,
                      Failure::componentSource());
    if (c->m_dialect == SqlDialect::SqlServer && source.kind() != DriverKind::SqlServer) {
        // A data source whose driver was not recognised: connect again declaring the intent to
        // read only, which a server answers with a read-only replica where it has one.
        c->m_odbc.reset();
        c->m_odbc = std::make_unique<OdbcConnection>(
            OdbcDataSource::readOnly(attributes, DriverKind::SqlServer));
    }
    if (c->m_dialect == SqlDialect::SqlServer)
        c->checkServerLogin();
    c->m_description = c->m_dbmsName;
    c->m_origin = {true, connectionString};
    // A file database reached through its ODBC driver is guarded like the embedded one.
    c->m_fileGuard = std::make_unique<DatabaseFileGuard>(file);
    return c;
}

void Connection::readDbmsName()
{
    m_dbmsName = m_odbc->dbmsName();
    if (m_dbmsName.contains(u"SQL Server"_s, Qt::CaseInsensitive)) {
        m_dialect = SqlDialect::SqlServer;
    } else if (m_dbmsName.contains(u"SQLite"_s, Qt::CaseInsensitive)) {
        m_dialect = SqlDialect::Sqlite;
        m_left = SqlTranslator::LeftFunction::Substr; // no function can be registered
    } else {
        const QString dbms = m_dbmsName.isEmpty() ? u"an unknown database"_s : m_dbmsName;
        throw Failure(u"The ODBC connection leads to %1; the reports need Microsoft SQL Server or "
                      u"SQLite"_s.arg(dbms),
                      Failure::componentSource());
    }
}

// A reader's login should not be able to write: the checks and the rolled-back transaction
// are defences, the login is the guarantee. The connection still opens; the user is told.
void Connection::checkServerLogin()
{
    static const QString canWrite = [] {
        QStringList tests;
        for (const char *permission : {"INSERT", "UPDATE", "DELETE"})
            tests.append(u"HAS_PERMS_BY_NAME(DB_NAME(), 'DATABASE', '%1') = 1 OR EXISTS (SELECT 1 "
                         u"FROM sys.objects o WHERE o.type IN ('U', 'V') AND HAS_PERMS_BY_NAME("
                         u"QUOTENAME(SCHEMA_NAME(o.schema_id)) + '.' + QUOTENAME(o.name), "
                         u"'OBJECT', '%1') = 1)"_s.arg(QLatin1StringView(permission)));
        return u"SELECT CASE WHEN "_s + tests.join(u" OR "_s) + u" THEN 1 ELSE 0 END AS w"_s;
    }();
    try {
        const RolledBackTransaction transaction(*m_odbc, m_dbmsName);
        OdbcStatement statement(m_odbc->handle(), canWrite, m_dbmsName);
        ResultTable answer(statement.columnNames());
        const bool fetched = statement.fetchInto(answer);
        answer.finish();
        if (fetched && answer.number(0, 0) != 0)
            m_warning = u"The database login can insert, update or delete rows; the reports only "
                        u"read, so give them a login that can only read (db_datareader)"_s;
    } catch (const Failure &e) {
        m_warning = u"Cannot tell whether the database login can write: %1"_s.arg(e.description());
    }
}

std::unique_ptr<Connection> Connection::open(const Origin &origin)
{
    return origin.odbc ? openOdbc(origin.target) : openSqlite(origin.target);
}

void Connection::interrupt() const
{
    const std::lock_guard<std::mutex> lock(m_handleMutex);
    if (m_sqlite)
        sqlite3_interrupt(m_sqlite);
}

Connection::~Connection()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

TranslatedSql Connection::translate(const QString &sql) const
{
    return SqlTranslator::translate(sql, m_dialect, m_left);
}

std::shared_ptr<const ResultTable> Connection::execute(const QString &sql) const
{
    return execute(sql, FirstRows{});
}

std::shared_ptr<const ResultTable> Connection::execute(const QString &sql,
                                                       const FirstRows &firstRows) const
{
    const TranslatedSql translated = translate(sql);
    if (!m_odbc) {
        reopenIfTheFileChanged();
        return executeSqlite(translated, firstRows);
    }
    return executeOdbc(translated, firstRows);
}

void Connection::stream(const QString &sql, const RowBatches &receive, int batchRows) const
{
    const TranslatedSql translated = translate(sql);
    const int batch = std::max(batchRows, 1);
    if (!m_odbc) {
        reopenIfTheFileChanged();
        (void)executeSqlite(translated, FirstRows{}, &receive, batch);
    } else {
        (void)executeOdbc(translated, FirstRows{}, &receive, batch);
    }
}

namespace {

// After each row read: hands a full batch on and starts the next one.
void passBatchOn(std::shared_ptr<ResultTable> &table, int &pending,
                 const Connection::RowBatches *receive, int batchRows)
{
    if (!receive || ++pending < batchRows)
        return;
    table->finish();
    (*receive)(*table);
    table = std::make_shared<ResultTable>(table->columnNames());
    pending = 0;
}

// At the end: the last rows, or the columns alone when there were none.
void passRestOn(const ResultTable &table, int pending, bool anyPassed,
                const Connection::RowBatches *receive)
{
    if (receive && (pending > 0 || !anyPassed))
        (*receive)(table);
}

} // namespace

// Reads straight from SQLite's statement: every value keeps the type SQLite gives it, and a
// million-row register is read without a variant per cell.
std::shared_ptr<const ResultTable> Connection::executeSqlite(const TranslatedSql &sql,
                                                             const FirstRows &firstRows,
                                                             const RowBatches *receive,
                                                             int batchRows) const
{
    const QByteArray utf8 = sql.text.toUtf8();
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_sqlite, utf8.constData(), int(utf8.size()), &raw, &tail) != SQLITE_OK)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(m_sqlite)), sqliteSource());
    std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
    if (!statement)
        throw Failure(u"The statement is empty"_s, sqliteSource());
    // SQLite prepares the first statement and leaves the rest: anything but comments after it
    // would be dropped without a word.
    const QString rest = QString::fromUtf8(tail, utf8.constData() + utf8.size() - tail);
    for (const SqlToken &t : SqlTokenizer::tokenize(rest, SqlDialect::Sqlite)) {
        if (t.isSignificant() && QStringView(rest).mid(t.start, t.length) != u";")
            throw Failure(u"Only one statement can be run at a time"_s,
                          Failure::translationSource());
    }
    if (!sqlite3_stmt_readonly(statement.get()))
        throw Failure(u"Only reading statements can be run"_s, Failure::translationSource());

    const int columns = sqlite3_column_count(statement.get());
    QStringList engineNames;
    for (int c = 0; c < columns; ++c)
        engineNames.append(QString::fromUtf8(sqlite3_column_name(statement.get(), c)));
    auto table =
        std::make_shared<ResultTable>(SelectListNames::resolve(sql.selectNames, engineNames));

    int rc;
    qint64 rowsRead = 0; // a streamed statement may pass any number
    int pending = 0;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement.get(), c)) {
            case SQLITE_INTEGER:
                table->appendInteger(c, sqlite3_column_int64(statement.get(), c));
                break;
            case SQLITE_FLOAT:
                table->appendReal(c, sqlite3_column_double(statement.get(), c));
                break;
            case SQLITE_NULL:
                table->appendNull(c);
                break;
            default: {
                const auto *text =
                    reinterpret_cast<const char *>(sqlite3_column_text(statement.get(), c));
                const int bytes = sqlite3_column_bytes(statement.get(), c);
                table->appendText(c, std::string_view(text, size_t(bytes)));
                break;
            }
            }
        }
        offerFirstRows(*table, ++rowsRead, firstRows);
        if (receive && pending + 1 >= batchRows)
            checkUnchangedWhileRead();
        passBatchOn(table, pending, receive, batchRows);
    }
    if (rc != SQLITE_DONE)
        throw Failure(QString::fromUtf8(sqlite3_errmsg(m_sqlite)), sqliteSource());
    checkUnchangedWhileRead();
    table->finish();
    passRestOn(*table, pending, rowsRead > pending, receive);
    return table;
}

std::shared_ptr<const ResultTable> Connection::executeOdbc(const TranslatedSql &sql,
                                                           const FirstRows &firstRows,
                                                           const RowBatches *receive,
                                                           int batchRows) const
{
    const QString source = m_dbmsName.isEmpty() ? u"ODBC"_s : m_dbmsName;
    // Declared before the statement, so that the statement is finished before the rollback.
    std::optional<RolledBackTransaction> transaction;
    if (m_rollBack)
        transaction.emplace(*m_odbc, source);
    OdbcStatement statement(m_odbc->handle(), sql.text, source);
    if (statement.columnNames().isEmpty())
        throw Failure(u"The statement returned no rows to read"_s, source);
    auto table = std::make_shared<ResultTable>(
        SelectListNames::resolve(sql.selectNames, statement.columnNames()));
    qint64 rowsRead = 0; // a streamed statement may pass any number
    int pending = 0;
    while (statement.fetchInto(*table)) {
        offerFirstRows(*table, ++rowsRead, firstRows);
        passBatchOn(table, pending, receive, batchRows);
    }
    table->finish();
    passRestOn(*table, pending, rowsRead > pending, receive);
    return table;
}
