#include "host/CommandLine.h"
#include "CommandRun.h"
#include "DemoFixture.h"
#include "ScopedEnvironment.h"
#include "host/CliStatus.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using CliRun = CommandRun::Outcome;
const auto run = CommandRun::line;

} // namespace

TEST(CommandLine, QueryPrintsRowsAsCsvAndLeavesTheFileUntouched)
{
    const QString db = DemoFixture::path();
    const QByteArray before = DemoFixture::fileHash(db);

    const CliRun ok =
        run({u"query"_s, u"--db"_s, db,
             u"select TownId, TownName, 0.1 + 0.2 as x from Towns where TownId in (0, 14) "
             u"order by TownId"_s});
    EXPECT_EQ(ok.status, CliStatus::Ok) << ok.err.toStdString();
    EXPECT_EQ(ok.out, u"TownId,TownName,x\r\n0,Head Office,0.30000000000000004\r\n"
                      u"14,O'Brien's Cross,0.30000000000000004\r\n"_s);

    const CliRun failed = run({u"query"_s, u"--db"_s, db, u"select nothing from Towns"_s});
    EXPECT_EQ(failed.status, CliStatus::Failure);
    EXPECT_TRUE(failed.err.contains(u"nothing"_s));
    EXPECT_TRUE(failed.out.isEmpty());

    const CliRun writing = run({u"query"_s, u"--db"_s, db, u"delete from Sales"_s});
    EXPECT_EQ(writing.status, CliStatus::Failure);

    const CliRun missing = run({u"query"_s, u"--db"_s, db + u".missing"_s, u"select 1"_s});
    EXPECT_EQ(missing.status, CliStatus::Failure);
    EXPECT_TRUE(missing.err.contains(db + u".missing"_s));
    EXPECT_FALSE(QFileInfo::exists(db + u".missing"_s));

    EXPECT_EQ(DemoFixture::fileHash(db), before);
}

TEST(CommandLine, RefusesBadArgumentsWithStatusTwo)
{
    const QString db = DemoFixture::path();
    for (const QStringList &args :
         {QStringList{u"query"_s, u"--db"_s, db},
          QStringList{u"query"_s, u"--db"_s, db, u"--odbc"_s, u"DSN=x"_s, u"select 1"_s},
          QStringList{u"query"_s, u"--frobnicate"_s, u"select 1"_s},
          QStringList{u"query"_s, u"--db"_s}, QStringList{u"demo-db"_s},
          QStringList{u"demo-db"_s, u"x.sqlite"_s, u"--lines"_s, u"many"_s},
          QStringList{u"demo-db"_s, u"x.sqlite"_s, u"--end-date"_s, u"31/12/2026"_s},
          QStringList{u"no-such-command"_s}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, CliStatus::BadArguments) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(u"x.sqlite"_s));
}

TEST(CommandLine, HelpDescribesEveryOption)
{
    const CliRun overview = run({u"--help"_s});
    EXPECT_EQ(overview.status, CliStatus::Ok);
    EXPECT_TRUE(overview.out.contains(u"demo-db"_s));
    EXPECT_TRUE(overview.out.contains(u"query"_s));

    const CliRun query = run({u"query"_s, u"--help"_s});
    for (const QString &option : {u"--db"_s, u"--odbc"_s, u"SQL"_s})
        EXPECT_TRUE(query.out.contains(option)) << option.toStdString();
    const CliRun demo = run({u"demo-db"_s, u"--help"_s});
    for (const QString &option :
         {u"--lines"_s, u"--customers"_s, u"--end-date"_s, u"--seed"_s, u"FILE"_s})
        EXPECT_TRUE(demo.out.contains(option)) << option.toStdString();
}

TEST(CommandLine, CreatesTheDefaultDatabaseOnFirstUse)
{
    const QString home = DemoFixture::temporaryFolder() + u"/home-data"_s;
    const ScopedEnvironment data("XDG_DATA_HOME", home.toUtf8());
    const CliRun first =
        run({u"query"_s, u"select registrykey from Project_registry order by 1"_s});
    EXPECT_EQ(first.status, CliStatus::Ok) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains(u"demo"_s));
    EXPECT_EQ(first.out, u"registrykey\r\ncompanyname\r\nperiodstart\r\n"_s);
    EXPECT_TRUE(QFileInfo::exists(home + u"/nvrptsales/demo.sqlite"_s));

    const QString existing = home + u"/nvrptsales/demo.sqlite"_s;
    const CliRun again = run({u"demo-db"_s, existing});
    EXPECT_EQ(again.status, CliStatus::Failure);
    EXPECT_TRUE(again.err.contains(u"already exists"_s));
}
