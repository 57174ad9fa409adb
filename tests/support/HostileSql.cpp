#include "HostileSql.h"

using namespace Qt::StringLiterals;

namespace {

QStringList writes(const QString &folder)
{
    return {u"COMMIT"_s,
            u"DELETE FROM Towns"_s,
            u"COMMIT; DELETE FROM Towns"_s,
            u"INSERT INTO Towns (TownId, TownName) VALUES (990, 'x')"_s,
            u"ATTACH DATABASE '%1/attached.sqlite' AS a"_s.arg(folder),
            u"VACUUM INTO '%1/copy.sqlite'"_s.arg(folder),
            u"PRAGMA journal_mode = WAL"_s,
            u"PRAGMA user_version = 7"_s,
            u"CREATE TABLE Made (a)"_s,
            u"SELECT 2; DROP TABLE Towns"_s};
}

// %1 the write, %2 an escape's opening, %3 its closing.
const QStringList &disguises()
{
    static const QStringList d{
        u" --%2\nSELECT 1 AS a, 'x\n; %1; --' AS b --%3"_s,
        u"SELECT 1 AS a /* %2 */ ; %1 /* %3 */"_s,
        u"%2 SELECT 1 AS a %3; %1"_s,
        u"SELECT 1 AS a; %1"_s,
        u"SELECT 1 AS a /* /* */ ; %1 -- */"_s,
        u"SELECT \"%2\" AS a --%3\n; %1"_s,
        u"SELECT [a%2] FROM Towns --%3\n; %1"_s,
        u"SELECT 1 AS a, '%2' AS b; %1; SELECT '%3' AS c"_s,
        u"SELECT 1 AS a --%2\n%1 --%3"_s,
        u"%1"_s,
        u"SELECT 1 AS a %2%1%3"_s,
        u"SELECT %2 1 AS a, '%3'; %1; --' AS b"_s,
        u"SELECT 1 AS a -- '%2\n; %1; -- %3'"_s,
    };
    return d;
}

const QStringList &escapes()
{
    static const QStringList e{u"{d "_s,       u"{fn "_s,     u"{oj "_s, u"{call "_s,
                               u"{?= call "_s, u"{escape "_s, u"{"_s};
    return e;
}

QString compose(QString disguise, const QString &write, const QString &escape)
{
    return disguise.replace(u"%2"_s, escape).replace(u"%3"_s, u"}"_s).replace(u"%1"_s, write);
}

} // namespace

namespace HostileSql {

QStringList all(const QString &folder)
{
    // The escapes in turn: each disguise meets every escape across the writes, and every write
    // meets every escape across the disguises, without the product of all three.
    const QStringList w = writes(folder);
    QStringList statements;
    for (qsizetype k = 0; k < w.size(); ++k)
        for (qsizetype d = 0; d < disguises().size(); ++d)
            statements.append(compose(disguises()[d], w[k], escapes()[(k + d) % escapes().size()]));
    return statements;
}

QString random(std::mt19937 &rng, const QString &folder)
{
    const QStringList w = writes(folder);
    auto pick = [&rng](const QStringList &list) {
        return list[std::uniform_int_distribution<int>(0, int(list.size()) - 1)(rng)];
    };
    QString statement = compose(pick(disguises()), pick(w), pick(escapes()));
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0)
        statement += compose(pick(disguises()), pick(w), pick(escapes()));
    return statement;
}

} // namespace HostileSql
