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

} // namespace

TEST(SqlTranslator, RewritesSqlServerFunctionsAndLiteralForms)
{
    EXPECT_EQ(toSqlite(u"select isnull(a, 0), IsNull(b,1) from t"_s),
              u"select IFNULL(a, 0), IFNULL(b,1) from t"_s);
    EXPECT_EQ(toSqlite(u"select LEFT(SalesBody.ProductId, 2) from SalesBody"_s),
              u"select nvr_left(SalesBody.ProductId, 2) from SalesBody"_s);
    EXPECT_EQ(SqlTranslator::translate(u"select Left(p.id,2) as c from p"_s, SqlDialect::Sqlite,
                                       SqlTranslator::LeftFunction::Substr)
                  .text,
              u"select substr(p.id, 1,2) as c from p"_s);
    EXPECT_EQ(toSqlite(u"select * from t where name = N'Ali'"_s),
              u"select * from t where name = 'Ali'"_s);
    // SQL Server reads "1AND" as a number and a word; SQLite refuses it unless separated.
    EXPECT_EQ(toSqlite(u"select * from Towns where TownId= 1AND (x=2)"_s),
              u"select * from Towns where TownId= 1 AND (x=2)"_s);
    EXPECT_EQ(toSqlite(u"select 1.5e3 as n, 2 as m from t"_s),
              u"select 1.5e3 as n, 2 as m from t"_s);
}

TEST(SqlTranslator, LeavesLiteralsQuotedNamesAndCommentsUntouched)
{
    const QString sql = u"select 'isnull( LEFT(x,1) a JOIN b JOIN c ON 1 ON 2 O''Hara', "
                        u"\"LEFT(\", [isnull(] -- isnull( LEFT(\n"
                        u"/* a JOIN b JOIN c ON x ON y /* nested */ */ from t"_s;
    EXPECT_EQ(toSqlite(sql), sql);
}

TEST(SqlTranslator, BracketsRightNestedJoinsToAnyDepth)
{
    EXPECT_EQ(toSqlite(u"select * from A INNER JOIN B INNER JOIN C ON c1 = 1 ON c2 = 2"_s),
              u"select * from A INNER JOIN (B INNER JOIN C ON c1 = 1) ON c2 = 2"_s);
    EXPECT_EQ(toSqlite(u"select * from A join B join C join D on d=1 on c=1 on b=1"_s),
              u"select * from A join (B join (C join D on d=1) on c=1) on b=1"_s);
    // Inside a nested group the joins are left-deep: (B J C ON c1) J D ON c2, then ON c3.
    EXPECT_EQ(toSqlite(u"select * from A join B join C on c1=1 join D on c2=1 on c3=1"_s),
              u"select * from A join (B join C on c1=1 join D on c2=1) on c3=1"_s);
    // Plain left-deep joins, derived tables and subqueries keep their text.
    const QString leftDeep = u"select * from a join b on a.x=b.x left outer join (select y from c "
                             u"join d on c.k=d.k) e on e.y=b.y where a.z in (select z from f)"_s;
    EXPECT_EQ(toSqlite(leftDeep), leftDeep);
    // A nested group inside a derived table is bracketed there.
    EXPECT_EQ(toSqlite(u"select * from (select * from P join Q join R on r=1 on q=1) x"_s),
              u"select * from (select * from P join (Q join R on r=1) on q=1) x"_s);
}

TEST(SqlTranslator, RefusesWhatItCannotTranslateFaithfully)
{
    EXPECT_TRUE(refusal(u"select GETDATE() from t"_s).contains(u"GETDATE"_s));
    EXPECT_TRUE(refusal(u"select len(name) from t"_s).contains(u"len"_s));
    EXPECT_TRUE(refusal(u"select top 5 * from t"_s).contains(u"TOP"_s));
    EXPECT_TRUE(refusal(u"select 'a' + name from t"_s).contains(u"'+'"_s));
    EXPECT_TRUE(refusal(u"select * from t where Left(id,2) =01"_s).contains(u"number"_s));
    EXPECT_TRUE(refusal(u"select * from t where 11 = LEFT(id, 2)"_s).contains(u"number"_s));
    EXPECT_TRUE(refusal(u"select * from a join b"_s).contains(u"ON"_s));
    EXPECT_TRUE(refusal(u"select * from a on x = 1"_s).contains(u"ON"_s));
    EXPECT_TRUE(refusal(u"select (a from t"_s).contains(u"parenthes"_s));
    EXPECT_TRUE(refusal(u"select a) from t"_s).contains(u"parenthes"_s));
    EXPECT_TRUE(refusal(u"select 'open from t"_s).contains(u"Unterminated"_s));
    EXPECT_TRUE(refusal(u"select @x"_s).contains(u"@x"_s));
    EXPECT_TRUE(refusal(u"select * from t cross apply f(t.x)"_s).contains(u"APPLY"_s));
}

TEST(SqlTranslator, RunsOnlyOneReadingStatementInEitherDialect)
{
    for (SqlDialect dialect : {SqlDialect::Sqlite, SqlDialect::SqlServer}) {
        EXPECT_FALSE(refusal(u"delete from Sales"_s, dialect).isEmpty());
        EXPECT_FALSE(refusal(u"select * into Copy from Sales"_s, dialect).isEmpty());
        EXPECT_FALSE(refusal(u"select 1; drop table Sales"_s, dialect).isEmpty());
        EXPECT_FALSE(refusal(u"with x as (select 1 as a) delete from Sales"_s, dialect).isEmpty());
        EXPECT_FALSE(refusal(u"exec sp_who"_s, dialect).isEmpty());
        EXPECT_FALSE(refusal(u""_s, dialect).isEmpty());
    }
    // On SQL Server a reading statement runs exactly as written.
    const QString sql =
        u"select top 3 isnull(a,0), LEFT(b, 2) from A join B join C on x=1 on y=2;"_s;
    EXPECT_EQ(SqlTranslator::translate(sql, SqlDialect::SqlServer).text, sql);
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
