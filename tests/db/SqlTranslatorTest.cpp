#include "db/SqlTranslator.h"
#include "db/Failure.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString toSqlite(const QString &sql)
{
    return SqlTranslator::translate(sql, SqlDialect::Sqlite).text;
}

QString refusal(const QString &sql, SqlDialect dialect = SqlDialect::Sqlite)
{
    try {
        (void)SqlTranslator::translate(sql, dialect);
    } catch (const Failure &e) {
        EXPECT_EQ(e.source(), Failure::translationSource());
        return e.description();
    }
    return QString();
}

constexpr SqlDialect bothDialects[] = {SqlDialect::Sqlite, SqlDialect::SqlServer};

} // namespace

// SQL Server text as SQLite must read it; literals and quoted names keep their text.
TEST(SqlTranslator, TranslatesToSqliteOrRefusesWithTheReason)
{
    const QString untouched = u"select 'isnull( LEFT(x,1) a JOIN b JOIN c ON 1 ON 2 O''Hara', "
                              u"\"LEFT(\", [isnull(], `x y`, `a``b` from t"_s;
    const QString leftDeep = u"select * from a join b on a.x=b.x left outer join (select y from c "
                             u"join d on c.k=d.k) e on e.y=b.y where a.z in (select z from f)"_s;
    const std::pair<QString, QString> translations[] = {
        {u"select isnull(a, 0), IsNull(b,1) from t"_s,
         u"select IFNULL(a, 0), IFNULL(b,1) from t"_s},
        {u"select LEFT(p.Id, 2) from p"_s, u"select nvr_left(p.Id, 2) from p"_s},
        {u"select * from t where name = N'Ali'"_s, u"select * from t where name = 'Ali'"_s},
        // SQL Server reads "1AND" as a number and a word.
        {u"select * from t where TownId= 1AND (x=2)"_s,
         u"select * from t where TownId= 1 AND (x=2)"_s},
        {u"select 1.5e3 as n from t"_s, u"select 1.5e3 as n from t"_s},
        {untouched, untouched},
        {leftDeep, leftDeep},
        // Right-nested joins are bracketed, to any depth; inside a group they are left-deep.
        {u"select * from A INNER JOIN B INNER JOIN C ON c1 = 1 ON c2 = 2"_s,
         u"select * from A INNER JOIN (B INNER JOIN C ON c1 = 1) ON c2 = 2"_s},
        {u"select * from A join B join C join D on d=1 on c=1 on b=1"_s,
         u"select * from A join (B join (C join D on d=1) on c=1) on b=1"_s},
        {u"select * from A join B join C on c1=1 join D on c2=1 on c3=1"_s,
         u"select * from A join (B join C on c1=1 join D on c2=1) on c3=1"_s},
        {u"select * from (select * from P join Q join R on r=1 on q=1) x"_s,
         u"select * from (select * from P join (Q join R on r=1) on q=1) x"_s},
    };
    for (const auto &[sql, expected] : translations)
        EXPECT_EQ(toSqlite(sql), expected) << sql.toStdString();
    EXPECT_EQ(SqlTranslator::translate(u"select Left(p.id,2) as c from p"_s, SqlDialect::Sqlite,
                                       SqlTranslator::LeftFunction::Substr)
                  .text,
              u"select substr(p.id, 1,2) as c from p"_s);

    const std::pair<QString, QString> refusals[] = {
        {u"select GETDATE() from t"_s, u"GETDATE"_s},
        {u"select len(name) from t"_s, u"len"_s},
        {u"select top 5 * from t"_s, u"TOP"_s},
        {u"select 'a' + name from t"_s, u"'+'"_s},
        {u"select * from t where Left(id,2) =01"_s, u"number"_s},
        {u"select * from t where 11 = LEFT(id, 2)"_s, u"number"_s},
        {u"select * from a join b"_s, u"ON"_s},
        {u"select * from a on x = 1"_s, u"ON"_s},
        {u"select (a from t"_s, u"parenthes"_s},
        {u"select a) from t"_s, u"parenthes"_s},
        {u"select 'open from t"_s, u"Unterminated"_s},
        {u"select * from t cross apply f(t.x)"_s, u"APPLY"_s},
        {u"select * from t where a = #x"_s, u"#x"_s},
        {u"select * from t where a=b@x"_s, u"@x"_s},
    };
    for (const auto &[sql, why] : refusals)
        EXPECT_TRUE(refusal(sql).contains(why)) << sql.toStdString();

    // On SQL Server a reading statement runs as written, but for its comments.
    EXPECT_EQ(SqlTranslator::translate(
                  u"select top 3 isnull(a,0), LEFT(b, 2) from A join B join C on x=1 on y=2"_s,
                  SqlDialect::SqlServer)
                  .text,
              u"select top 3 isnull(a,0), LEFT(b, 2) from A join B join C on x=1 on y=2"_s);
}

// What reaches a driver is made of the checked tokens alone: no comment (a driver may rewrite
// an escape sequence inside one), no closing ";", no "{" but inside a string literal.
TEST(SqlTranslator, RendersOnlyWhatWasChecked)
{
    const std::pair<QString, QString> rendered[] = {
        {u"select 1 as a --{d\n, 'x' as b /* {fn */ from t;"_s,
         u"select 1 as a  \n, 'x' as b   from t"_s},
        {u" --{d\nSELECT 1 AS a, 'x\n; DELETE FROM t; --' AS b --}"_s,
         u"  \nSELECT 1 AS a, 'x\n; DELETE FROM t; --' AS b  "_s},
        {u"select '{d 2020-01-01}' as s;  "_s, u"select '{d 2020-01-01}' as s  "_s},
    };
    const QStringList escapes{
        u"select {d '2020-01-01'} as d"_s, u"select 1 as a }"_s, u"select \"{d x}\" from t"_s,
        u"select [a{] from t"_s,           u"{call p}"_s,        u"select {fn ucase('a')} as u"_s};
    for (SqlDialect dialect : bothDialects) {
        for (const auto &[sql, expected] : rendered)
            EXPECT_EQ(SqlTranslator::translate(sql, dialect).text, expected) << sql.toStdString();
        for (const QString &sql : escapes)
            EXPECT_TRUE(refusal(sql, dialect).contains(u"escape"_s)) << sql.toStdString();
    }
    EXPECT_TRUE(refusal(u"select `{` from t"_s).contains(u"escape"_s));
    // Comments nest on SQL Server only.
    EXPECT_EQ(
        SqlTranslator::translate(u"select 1 /* a /* b */ c */ as x"_s, SqlDialect::SqlServer).text,
        u"select 1   as x"_s);
}

// Only one SELECT is accepted, by its shape, read as the engine that runs it reads it: SQLite
// ends a comment at the first "*/" and [name] at the first "]", SQL Server nests comments and
// runs statements one after another without semicolons.
TEST(SqlTranslator, AcceptsOnlyOneReadingStatementInEitherDialect)
{
    const QStringList refusedInBoth{
        u""_s,
        u"delete from Sales"_s,
        u"select * into Copy from Sales"_s,
        u"select 1; drop table Sales"_s,
        u"exec sp_who"_s,
        u"select 1 select 2"_s,
        u"select a from t update t set a = 1"_s,
        u"select 1 x receive * from q"_s,
        u"select 1 from t with x as (select 1) select 2"_s,
        u"with x as (select 1 as a) delete from Sales"_s,
        u"with x as (select 1) (select 2) select 3"_s,
        u"values (1)"_s,
        u"select 1 {call sp_who}"_s,
        u"begin tran select 1"_s,
        u"select * from t for update"_s,
        u"select * from t option (recompile)"_s,
        u"select 1 set nocount on"_s,
        u"select 1 /* never closed"_s,
        u"select 1; vacuum into '/tmp/copy.db'"_s,
        u"attach database '/tmp/x.db' as x"_s,
        u"pragma journal_mode=WAL"_s,
        u"select 1 -- \n; delete from t"_s,
        u"select * from t /* */ ; /* */ select 2"_s,
        u"select 1 ; (select 2)"_s,
        u"(select 1); (select 2)"_s,
        u"select 1;;"_s};
    const QStringList refusedBySqlite{
        u"WITH x AS (SELECT 1 /* /* */) DELETE FROM towns WHERE 1 -- */ ) SELECT 1"_s,
        u"select [a]]; delete from t --] from t"_s, u"select `a;` from t; delete from t"_s};
    const QStringList acceptedInBoth{
        u"(select a from t) union all (select b from u)"_s,
        u"with x (a) as (select 1), y as (select a from x) select * from y"_s,
        u"select * from t where a in (select a from u) and exists (select 1 from v)"_s,
        u"select a from t except select a from u intersect select a from v"_s,
        u"/* a */ select [x;y], \"delete\" -- drop\nfrom t; -- end"_s,
        u"select '?', ':a', \"$5\", [@x] -- ?\nfrom t"_s};
    for (SqlDialect dialect : bothDialects) {
        for (const QString &sql : refusedInBoth)
            EXPECT_FALSE(refusal(sql, dialect).isEmpty()) << sql.toStdString();
        for (const QString &sql : acceptedInBoth)
            EXPECT_EQ(refusal(sql, dialect), QString()) << sql.toStdString();
        // SQLite runs ?, :a and $name as NULL, SQL Server reads $5 as money and @x as a
        // variable: none can be given a value here.
        for (const QString &p : {u"?"_s, u"?1"_s, u":a"_s, u"$5"_s, u"@x"_s, u"$name"_s}) {
            const QString why = refusal(u"select * from Towns where TownId = "_s + p, dialect);
            EXPECT_TRUE(why.contains(p) && why.contains(u"arameter"_s)) << why.toStdString();
        }
    }
    for (const QString &sql : refusedBySqlite)
        EXPECT_FALSE(refusal(sql).isEmpty()) << sql.toStdString();
    // A line comment ends at a carriage return too.
    EXPECT_FALSE(refusal(u"select 1 --\rdelete from t"_s, SqlDialect::SqlServer).isEmpty());
    EXPECT_EQ(refusal(u"with recursive n(i) as (select 1 union all select i + 1 from n "
                      u"where i < 3) select i from n"_s),
              QString());
}

TEST(SqlTranslator, NamesResultColumnsAsTheQueryWritesThem)
{
    auto names = [](const QString &sql) {
        return SqlTranslator::translate(sql, SqlDialect::Sqlite).selectNames;
    };
    EXPECT_EQ(names(u"SELECT SalesBody.ProductID, x as NetValue, Sum(s.R) asReceivedAmount, "
                    u"[Town Name], t.*, a+b, CASE WHEN a=1 THEN 2 END Flag, 0 UnitName "
                    u"from t union all select 1,2,3,4,5,6,7,8 from u"_s),
              (QStringList{u"ProductID"_s, u"NetValue"_s, u"asReceivedAmount"_s, u"Town Name"_s,
                           u"*"_s, u""_s, u"Flag"_s, u"UnitName"_s}));
    EXPECT_EQ(names(u"with c as (select 1 as z) select distinct z as Zed from c"_s),
              QStringList{u"Zed"_s});
}

// Nesting beyond any real query is refused with a message, not by running out of stack.
TEST(SqlTranslator, RefusesNestingDeeperThanItsLimit)
{
    const int depth = 100000;
    QString joins = u"select * from A0"_s;
    for (int i = 1; i < depth / 10; ++i)
        joins += u" join A%1"_s.arg(i);
    for (SqlDialect dialect : bothDialects) {
        const QString parentheses =
            u"select "_s + QString(depth, u'(') + u"1"_s + QString(depth, u')') + u" as x"_s;
        EXPECT_TRUE(refusal(parentheses, dialect).contains(u"deep"_s));
    }
    EXPECT_TRUE(refusal(joins).contains(u"deep"_s));
    const QString fine = u"select "_s + QString(50, u'(') + u"1"_s + QString(50, u')') + u" as x"_s;
    EXPECT_EQ(toSqlite(fine), fine);
}
