#include "HostileSql.h"
#include "db/Connection.h"
#include "db/Criterion.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "db/SqlTokenizer.h"
#include "db/SqlTranslator.h"
#include "presentation/Expression.h"
#include "presentation/LayoutParser.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

// Random and hostile input for the parsers that read what a user or a file supplies: the SQL
// translation (and the drivers behind it), the result set criterion, the computed column and the layout file. Each runs
// for a bounded time with a fixed seed (NVR_FUZZ_SECONDS and NVR_FUZZ_SEED change them); a
// crash, an exception other than Failure, or a statement accepted that could write fails.

namespace {

// Calls `attempt` with one random generator until the time is up; returns the attempts.
int forAWhile(const std::function<void(std::mt19937 &)> &attempt)
{
    const int seconds = qEnvironmentVariableIntValue("NVR_FUZZ_SECONDS");
    const QByteArray seed = qgetenv("NVR_FUZZ_SEED");
    std::mt19937 rng(seed.isEmpty() ? 20261206u : seed.toUInt());
    QElapsedTimer timer;
    timer.start();
    int attempts = 0;
    for (;
         timer.elapsed() < (seconds > 0 ? seconds : 2) * 1000 && !testing::Test::HasFatalFailure();
         ++attempts)
        attempt(rng);
    return attempts;
}

// Pieces of both dialects' lexical forms, joined at random: every comment and quote form,
// their halves, parameters, keywords, joins, nesting and odd characters.
const QStringList &sqlPieces()
{
    static const QStringList pieces{
        u"select "_s, u"SELECT * "_s, u"with x as ("_s, u"WITH RECURSIVE n(i) AS ("_s, u" from "_s,
        u"Towns"_s, u" t "_s, u" join "_s, u" left outer join "_s, u" cross join "_s, u" on "_s,
        u" where "_s, u" and "_s, u" or "_s, u" union all "_s, u" group by "_s, u" order by "_s,
        u"ISNULL("_s, u"LEFT("_s, u"count(*)"_s, u"TownId"_s, u"a.b"_s, u", "_s, u"("_s, u")"_s,
        u"(("_s, u"))"_s, u";"_s, u"/*"_s, u"*/"_s, u"/* /* */"_s, u"--"_s, u"\n"_s, u"\r"_s,
        u"'"_s, u"''"_s, u"N'x'"_s, u"'it''s'"_s, u"\""_s, u"\"q\"\""_s, u"["_s, u"]"_s, u"]]"_s,
        u"`"_s, u"``"_s, u"?"_s, u"?7"_s, u":a"_s, u"$5"_s, u"@x"_s, u"@@version"_s, u"#t"_s,
        u"::"_s, u"||"_s, u"{"_s, u"}"_s, u"0x1F"_s, u"1e9"_s, u"1AND"_s, u".5"_s, u"1."_s,
        u" delete "_s, u" insert into "_s, u" update "_s, u" drop table "_s, u" attach "_s,
        u" pragma "_s, u" vacuum "_s, u" exec "_s, u" values "_s, u" into "_s, u" replace "_s,
        u"replace("_s, u" = "_s, u" <> "_s, u" !< "_s, u"+"_s, u"-"_s, u"*"_s, u"/"_s, u"%"_s,
        u"\u00a0"_s, u"\u2028"_s, u"\u00e6"_s, u"\U0001F600"_s, QString(QChar(0)), u"\t"_s, u" "_s,
        u"  "_s, u" as "_s, u" case when 1 then 2 else 3 end "_s};
    return pieces;
}

int between(std::mt19937 &rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

QString randomSql(std::mt19937 &rng, const QString &folder)
{
    const auto piece = [&] { return sqlPieces()[between(rng, 0, int(sqlPieces().size()) - 1)]; };
    QString sql;
    switch (between(rng, 0, 6)) {
    case 6: // writes hidden in comments, quotes and escape sequences, pieces put in between
        sql = HostileSql::random(rng, folder);
        for (int i = between(rng, 0, 2); i > 0; --i)
            sql.insert(between(rng, 0, int(sql.size())), piece());
        break;
    case 0: { // nesting and chains of joins beyond any real query
        const int depth = between(rng, 1, 3000);
        sql = u"select "_s + QString(depth, u'(') + u"1"_s + QString(depth, u')') + u" from A"_s;
        for (int i = between(rng, 0, 1500); i > 0; --i)
            sql += (i % 3 == 0) ? u" join B on 1=1"_s : u" join C"_s;
        break;
    }
    case 1: // raw characters
        for (int i = between(rng, 0, 200); i > 0; --i)
            sql += QChar(char16_t(between(rng, 0, 0x2FFF)));
        break;
    case 2:
    case 3: { // a reading statement with pieces put in between its words
        static const QStringList statements{
            u"select TownId, TownName from Towns where TownId = 1 order by TownName"_s,
            u"with x as (select a from A) select * from x join t on t.a = x.a"_s,
            u"select ISNULL(a, 0) as n, LEFT(b, 2) from A join B join C on C.a = B.a on B.a = A.a"_s,
            u"select count(*) from t where a in (select a from A union all select b from B)"_s,
            u"(select a from A) union (select a from B)"_s};
        sql = statements[between(rng, 0, int(statements.size()) - 1)];
        for (int i = between(rng, 1, 3); i > 0; --i) {
            const qsizetype at = sql.indexOf(u' ', between(rng, 0, int(sql.size())));
            sql.insert(at < 0 ? sql.size() : at, piece());
        }
        break;
    }
    default: // pieces joined at random, a few or many thousands
        sql = u"select "_s;
        for (int i = between(rng, 1, between(rng, 0, 3) == 0 ? 20000 : 40); i > 0; --i)
            sql += piece();
    }
    return sql;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small database, so that accepted statements can be run and shown to write nothing.
QString makeDatabase(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(u"fuzz.sqlite"_s);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE Towns (TownId INTEGER PRIMARY KEY, TownName TEXT);"
                 "CREATE TABLE A (a, b); CREATE TABLE B (a, b); CREATE TABLE C (a, b);"
                 "CREATE TABLE t (a, b); INSERT INTO Towns VALUES (1, 'Ashford'), (2, 'Zeal');"
                 "INSERT INTO A VALUES (1, 2); INSERT INTO t VALUES ('x', 3);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

// Whether SQLite itself would let the statement change anything: prepared on a connection that
// may write, a statement that only reads says so.
bool sqliteWouldOnlyRead(sqlite3 *db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &statement, &tail) != SQLITE_OK)
        return true; // not a statement at all
    const bool readOnly = !statement || sqlite3_stmt_readonly(statement);
    sqlite3_finalize(statement);
    return readOnly;
}

} // namespace

TEST(Fuzz, SqlTranslationAcceptsOnlyReadingStatements)
{
    QTemporaryDir folder;
    const QString path = makeDatabase(folder);
    const QByteArray before = contents(path);
    const QStringList entries = QDir(folder.path()).entryList(QDir::Files);
    const auto connection = Connection::openSqlite(path);
    // The same statements through the SQLite ODBC driver, which rewrites escape sequences.
    const auto odbc = Connection::openOdbc(u"Driver=SQLite3;Database="_s + path);
    std::vector<QString> accepted;
    const int runs = forAWhile([&](std::mt19937 &rng) {
        const QString sql = randomSql(rng, folder.path());
        for (SqlDialect dialect : {SqlDialect::Sqlite, SqlDialect::SqlServer}) {
            // Every character belongs to exactly one token, in either dialect.
            try {
                qsizetype next = 0;
                for (const SqlToken &t : SqlTokenizer::tokenize(sql, dialect)) {
                    ASSERT_EQ(t.start, next) << sql.left(300).toStdString();
                    ASSERT_GT(t.length, 0);
                    next = t.start + t.length;
                }
                ASSERT_EQ(next, sql.size());
            } catch (const Failure &) {
            }
            try {
                const TranslatedSql translated = SqlTranslator::translate(sql, dialect);
                if (dialect == SqlDialect::Sqlite) {
                    accepted.push_back(translated.text);
                    for (const Connection *c : {connection.get(), odbc.get()}) {
                        try {
                            (void)c->execute(sql);
                        } catch (const Failure &) {
                        }
                    }
                }
            } catch (const Failure &) {
            }
        }
    });
    // Prepared only, on a connection that could write, after every read above.
    sqlite3 *writable = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &writable), SQLITE_OK);
    for (const QString &sql : accepted)
        EXPECT_TRUE(sqliteWouldOnlyRead(writable, sql)) << sql.left(300).toStdString();
    sqlite3_close(writable);
    EXPECT_TRUE(contents(path) == before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), entries);
    std::cout << runs << " statements, " << accepted.size() << " accepted for SQLite\n";
}

// The other parsers fail with a Failure or not at all, deep nesting included.
TEST(Fuzz, CriterionParserFailsCleanly)
{
    ResultTable table(QStringList{u"TownId"_s, u"TownName"_s});
    table.appendInteger(0, 1);
    table.appendText(1, "O'Hara");
    table.appendNull(0);
    table.appendText(1, "Zeal");
    table.finish();
    static const QStringList pieces{
        u"TownId"_s, u"townname"_s, u"[TownName]"_s, u"\"TownId\""_s, u"Region"_s, u" = "_s,
        u" <> "_s, u" < "_s, u" >= "_s, u" like "_s, u" not like "_s, u" is "_s, u" not "_s,
        u" null"_s, u" and "_s, u" or "_s, u"("_s, u")"_s, u"'O''Ha%'"_s, u"'"_s, u"''"_s,
        u"'%*%*%*%*%*%*%*%*%*%*%*%*a'"_s, u"1"_s, u"-2.5e3"_s, u"1e400"_s, u"#1/2/2026#"_s, u"/*"_s,
        u"*/"_s, u"--"_s, u"\n"_s, u"@x"_s, u"?"_s, u"\u00e6"_s};
    forAWhile([&](std::mt19937 &rng) {
        const int depth = between(rng, 0, 5000);
        QString text = QString(depth, u'(');
        for (int i = between(rng, 1, between(rng, 0, 9) == 0 ? 5000 : 12); i > 0; --i)
            text += pieces[between(rng, 0, int(pieces.size()) - 1)];
        text += QString(depth, u')');
        try {
            const Criterion c = Criterion::parse(text, table);
            for (int row = 0; row < table.rowCount(); ++row)
                (void)c.matches(table, row);
        } catch (const Failure &) {
        }
    });
}

TEST(Fuzz, ExpressionParserFailsCleanly)
{
    static const char *const pieces[] = {"a", "Qty", "[x y]", "\"q\"", "1",  "2.5e3",
                                         "(", ")",   "+",     "-",     "*",  "/",
                                         " ", "'",   "@x",    "?",     "--", "/*"};
    forAWhile([&](std::mt19937 &rng) {
        const int depth = between(rng, 0, 3000);
        QString text = QString(depth, u'(');
        for (int i = between(rng, 1, 400); i > 0; --i)
            text += QLatin1StringView(pieces[between(rng, 0, 17)]);
        text += QString(depth, u')');
        try {
            (void)Expression::parse(text).evaluate([](int i) { return double(i); });
        } catch (const Failure &) {
        }
    });
}

TEST(Fuzz, LayoutParserFailsCleanly)
{
    QDir builtIn(u":/layouts"_s);
    QList<QByteArray> layouts;
    for (const QString &name : builtIn.entryList({u"*.json"_s}, QDir::Files)) {
        QFile file(builtIn.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        layouts.append(file.readAll());
    }
    ASSERT_FALSE(layouts.isEmpty());
    static const QByteArray numbers[] = {"1e300", "-1e300",     "1e308",      "-0",
                                         "0",     "1e-300",     "2147483648", "-2147483649",
                                         "0.5",   "99999999999"};
    forAWhile([&](std::mt19937 &rng) {
        QByteArray json = layouts[between(rng, 0, int(layouts.size()) - 1)];
        for (int m = between(rng, 1, 6); m > 0 && !json.isEmpty(); --m) {
            const int at = between(rng, 0, int(json.size()) - 1);
            const int depth = between(rng, 1, 3000);
            switch (between(rng, 0, 4)) {
            case 0: { // a number made extreme
                const qsizetype digit = json.indexOf(char('0' + between(rng, 0, 9)), at);
                qsizetype end = digit;
                while (end >= 0 && end < json.size() &&
                       (std::isdigit(json[end]) || json[end] == '.'))
                    ++end;
                if (digit >= 0)
                    json.replace(digit, end - digit, numbers[between(rng, 0, 9)]);
                break;
            }
            case 1:
                json[at] = char(between(rng, 0, 255));
                break;
            case 2:
                json.truncate(at);
                break;
            case 3:
                json.insert(at, QByteArray(depth, '[') + QByteArray(depth, ']'));
                break;
            default: { // a computed column nested deep
                const qsizetype expr = json.indexOf("\"expression\": \"");
                if (expr >= 0)
                    json.insert(expr + 15,
                                QByteArray(depth, '(') + "1" + QByteArray(depth, ')') + "+");
            }
            }
        }
        try {
            (void)LayoutParser::parse(json, u"fuzz.json"_s);
        } catch (const Failure &) {
        }
    });
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
