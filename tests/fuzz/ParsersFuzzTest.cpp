#include "db/Connection.h"
#include "db/Criterion.h"
#include "db/Failure.h"
#include "db/ResultTable.h"
#include "db/SqlTokenizer.h"
#include "db/SqlTranslator.h"
#include "presentation/Expression.h"
#include "presentation/LayoutParser.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

// Random and hostile input for the three parsers that read what a user or a file supplies:
// the SQL translation, the result set criterion and the layout file. Each runs for a bounded
// time with a fixed seed (NVR_FUZZ_SECONDS and NVR_FUZZ_SEED change them); a crash, an
// exception other than Failure, or a statement accepted that could write fails the test.

namespace {

int seconds()
{
    const int given = qEnvironmentVariableIntValue("NVR_FUZZ_SECONDS");
    return given > 0 ? given : 2;
}

std::mt19937 generator()
{
    const QByteArray seed = qgetenv("NVR_FUZZ_SEED");
    return std::mt19937(seed.isEmpty() ? 20261206u : seed.toUInt());
}

// Pieces of both dialects' lexical forms, joined at random: every comment and quote form,
// their halves, parameters, keywords, joins, nesting and odd characters.
const QStringList &sqlPieces()
{
    static const QStringList pieces{
        u"select "_s, u"SELECT * "_s, u"with x as ("_s, u"WITH RECURSIVE n(i) AS ("_s,
        u" from "_s, u"Towns"_s, u" t "_s, u" join "_s, u" left outer join "_s, u" cross join "_s,
        u" on "_s, u" where "_s, u" and "_s, u" or "_s, u" union all "_s, u" group by "_s,
        u" order by "_s, u"ISNULL("_s, u"LEFT("_s, u"count(*)"_s, u"TownId"_s, u"a.b"_s, u", "_s,
        u"("_s, u")"_s, u"(("_s, u"))"_s, u";"_s, u"/*"_s, u"*/"_s, u"/* /* */"_s, u"--"_s,
        u"\n"_s, u"\r"_s, u"'"_s, u"''"_s, u"N'x'"_s, u"'it''s'"_s, u"\""_s, u"\"q\"\""_s,
        u"["_s, u"]"_s, u"]]"_s, u"`"_s, u"``"_s, u"?"_s, u"?7"_s, u":a"_s, u"$5"_s, u"@x"_s,
        u"@@version"_s, u"#t"_s, u"::"_s, u"||"_s, u"{"_s, u"}"_s, u"0x1F"_s, u"1e9"_s, u"1AND"_s,
        u".5"_s, u"1."_s, u" delete "_s, u" insert into "_s, u" update "_s, u" drop table "_s,
        u" attach "_s, u" pragma "_s, u" vacuum "_s, u" exec "_s, u" values "_s, u" into "_s,
        u" replace "_s, u"replace("_s, u" = "_s, u" <> "_s, u" !< "_s, u"+"_s, u"-"_s, u"*"_s,
        u"/"_s, u"%"_s, u"\u00a0"_s, u"\u2028"_s, u"\u00e6"_s, u"\U0001F600"_s, QString(QChar(0)),
        u"\t"_s, u" "_s, u"  "_s, u" as "_s, u" case when 1 then 2 else 3 end "_s};
    return pieces;
}

QString randomSql(std::mt19937 &rng)
{
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> piece(0, int(sqlPieces().size()) - 1);
    QString sql;
    switch (kind(rng)) {
    case 0: { // deep nesting
        const int depth = std::uniform_int_distribution<int>(1, 3000)(rng);
        sql = u"select "_s + QString(depth, u'(') + u"1"_s + QString(depth, u')') + u" as x"_s;
        break;
    }
    case 1: { // long chains of joins
        sql = u"select * from A"_s;
        const int n = std::uniform_int_distribution<int>(1, 1500)(rng);
        for (int i = 0; i < n; ++i)
            sql += (i % 3 == 0) ? u" join B on 1=1"_s : u" join C"_s;
        break;
    }
    case 2: { // a long input
        const int n = std::uniform_int_distribution<int>(2000, 20000)(rng);
        for (int i = 0; i < n; ++i)
            sql += sqlPieces()[piece(rng)];
        break;
    }
    case 3: { // raw characters
        const int n = std::uniform_int_distribution<int>(0, 200)(rng);
        std::uniform_int_distribution<int> ch(0, 0x2FFF);
        for (int i = 0; i < n; ++i)
            sql += QChar(char16_t(ch(rng)));
        break;
    }
    case 4:
    case 5:
    case 6: { // a reading statement with pieces put in between its words
        static const QStringList statements{
            u"select TownId, TownName from Towns where TownId = 1 order by TownName"_s,
            u"with x as (select a from A) select * from x join t on t.a = x.a"_s,
            u"select ISNULL(a, 0) as n, LEFT(b, 2) from A join B join C on C.a = B.a on B.a = A.a"_s,
            u"select count(*) from t where a in (select a from A union all select b from B)"_s,
            u"(select a from A) union (select a from B)"_s};
        sql = statements[std::uniform_int_distribution<int>(0, int(statements.size()) - 1)(rng)];
        const int n = std::uniform_int_distribution<int>(1, 3)(rng);
        for (int i = 0; i < n; ++i) {
            qsizetype at = std::uniform_int_distribution<qsizetype>(0, sql.size())(rng);
            at = sql.indexOf(u' ', at);
            sql.insert(at < 0 ? sql.size() : at, sqlPieces()[piece(rng)]);
        }
        break;
    }
    default: {
        const int n = std::uniform_int_distribution<int>(1, 40)(rng);
        sql = u"select "_s;
        for (int i = 0; i < n; ++i)
            sql += sqlPieces()[piece(rng)];
    }
    }
    return sql;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
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
    const QByteArray before = fileHash(path);
    const QStringList entries = QDir(folder.path()).entryList(QDir::Files);
    const auto connection = Connection::openSqlite(path);

    std::mt19937 rng = generator();
    QElapsedTimer timer;
    timer.start();
    int runs = 0, accepted = 0;
    std::vector<QString> acceptedSql;
    while (timer.elapsed() < seconds() * 1000) {
        const QString sql = randomSql(rng);
        ++runs;
        for (SqlDialect dialect : {SqlDialect::Sqlite, SqlDialect::SqlServer}) {
            // Every character belongs to exactly one token, in either dialect.
            try {
                const auto tokens = SqlTokenizer::tokenize(sql, dialect);
                qsizetype next = 0;
                for (const SqlToken &t : tokens) {
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
                    ++accepted;
                    acceptedSql.push_back(translated.text);
                    try {
                        (void)connection->execute(sql);
                    } catch (const Failure &) {
                    }
                }
            } catch (const Failure &) {
            } catch (const std::exception &e) {
                FAIL() << "unexpected exception " << e.what() << " for "
                       << sql.left(300).toStdString();
            }
        }
    }
    // Prepared only, on a connection that could write, after every read above.
    sqlite3 *writable = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &writable), SQLITE_OK);
    for (const QString &sql : acceptedSql)
        EXPECT_TRUE(sqliteWouldOnlyRead(writable, sql)) << sql.left(300).toStdString();
    sqlite3_close(writable);
    EXPECT_EQ(fileHash(path), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), entries);
    std::cout << runs << " statements, " << accepted << " accepted for SQLite\n";
}

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
        u"'%*%*%*%*%*%*%*%*%*%*%*%*a'"_s, u"1"_s, u"-2.5e3"_s, u"1e400"_s, u"#1/2/2026#"_s,
        u"/*"_s, u"*/"_s, u"--"_s, u"\n"_s, u"@x"_s, u"?"_s, u"\u00e6"_s};
    std::mt19937 rng = generator();
    std::uniform_int_distribution<int> piece(0, int(pieces.size()) - 1);
    QElapsedTimer timer;
    timer.start();
    int parsed = 0;
    while (timer.elapsed() < seconds() * 1000) {
        QString text;
        const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
        if (kind == 0) {
            const int depth = std::uniform_int_distribution<int>(1, 5000)(rng);
            text = QString(depth, u'(') + u"TownId = 1"_s + QString(depth, u')');
        } else {
            const int n = std::uniform_int_distribution<int>(1, kind == 1 ? 5000 : 12)(rng);
            for (int i = 0; i < n; ++i)
                text += pieces[piece(rng)];
        }
        try {
            const Criterion c = Criterion::parse(text, table);
            for (int row = 0; row < table.rowCount(); ++row)
                (void)c.matches(table, row);
            ++parsed;
        } catch (const Failure &) {
        }
    }
    std::cout << parsed << " criteria parsed\n";
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
    static const QByteArray numbers[] = {"1e300", "-1e300", "1e308", "-0", "0", "1e-300",
                                         "2147483648", "-2147483649", "0.5", "99999999999"};
    std::mt19937 rng = generator();
    QElapsedTimer timer;
    timer.start();
    int parsed = 0;
    while (timer.elapsed() < seconds() * 1000) {
        QByteArray json = layouts[std::uniform_int_distribution<qsizetype>(
            0, layouts.size() - 1)(rng)];
        const int mutations = std::uniform_int_distribution<int>(1, 6)(rng);
        for (int m = 0; m < mutations && !json.isEmpty(); ++m) {
            const qsizetype at = std::uniform_int_distribution<qsizetype>(0, json.size() - 1)(rng);
            switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
            case 0: // a number replaced by an extreme one
            {
                const qsizetype digit = json.indexOf(QByteArrayView("0123456789").sliced(
                                                         std::uniform_int_distribution<int>(0, 9)(rng), 1),
                                                     at);
                if (digit >= 0) {
                    qsizetype end = digit;
                    while (end < json.size() && (std::isdigit(json[end]) || json[end] == '.'))
                        ++end;
                    json.replace(digit, end - digit, numbers[std::uniform_int_distribution<int>(0, 9)(rng)]);
                }
                break;
            }
            case 1:
                json[at] = char(std::uniform_int_distribution<int>(0, 255)(rng));
                break;
            case 2:
                json.truncate(at);
                break;
            case 3:
                json.remove(at, std::uniform_int_distribution<int>(1, 40)(rng));
                break;
            case 4: { // deep nesting
                const int depth = std::uniform_int_distribution<int>(1, 3000)(rng);
                json.insert(at, QByteArray(depth, '[') + QByteArray(depth, ']'));
                break;
            }
            case 5: { // a computed column nested deep
                const int depth = std::uniform_int_distribution<int>(1, 3000)(rng);
                const qsizetype expr = json.indexOf("\"expression\": \"");
                if (expr >= 0)
                    json.insert(expr + 15, QByteArray(depth, '(') + "1" + QByteArray(depth, ')') + "+");
                break;
            }
            default:
                json.insert(at, json.mid(std::uniform_int_distribution<qsizetype>(0, json.size() - 1)(rng), 50));
            }
        }
        try {
            (void)LayoutParser::parse(json, u"fuzz.json"_s);
            ++parsed;
        } catch (const Failure &) {
        }
    }
    std::cout << parsed << " layouts parsed\n";
}

TEST(Fuzz, ExpressionParserFailsCleanly)
{
    static const char *const pieces[] = {"a", "Qty", "[x y]", "\"q\"", "1", "2.5e3", "(", ")",
                                         "+", "-", "*", "/", " ", "'", "@x", "?", "--", "/*"};
    std::mt19937 rng = generator();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < seconds() * 1000) {
        QString text;
        const int n = std::uniform_int_distribution<int>(1, 400)(rng);
        for (int i = 0; i < n; ++i)
            text += QLatin1StringView(pieces[std::uniform_int_distribution<int>(0, 17)(rng)]);
        try {
            const Expression e = Expression::parse(text);
            (void)e.evaluate([](int i) { return double(i); });
        } catch (const Failure &) {
        }
    }
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
