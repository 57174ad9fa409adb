#include "host/CommandLine.h"
#include "CommandRun.h"
#include "DemoFixture.h"
#include "db/Failure.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportDefinition.h"
#include "host/CliStatus.h"
#include "host/Command.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using namespace Qt::StringLiterals;

// The command line run in process: what each exit status means, and what it refuses.

namespace {

using CommandRun::Outcome;
const auto run = CommandRun::line;

// A command whose work throws whatever it is given.
class Throwing : public Command
{
public:
    explicit Throwing(std::function<void()> work) : m_work(std::move(work)) {}
    QString name() const override { return u"throwing"_s; }
    QString summary() const override { return {}; }
    QString synopsis() const override { return {}; }
    QString description() const override { return {}; }

protected:
    void configure(QCommandLineParser &) override {}
    int execute(const QCommandLineParser &, QTextStream &, QTextStream &) override
    {
        m_work();
        return CliStatus::Ok;
    }

private:
    std::function<void()> m_work;
};

} // namespace

TEST(CommandLine, ExitStatusesSayWhatHappened)
{
    const QString db = DemoFixture::path();
    const QByteArray before = DemoFixture::fileHash(db);
    const Outcome ok = run({u"query"_s, u"--db"_s, db,
                            u"select TownId, TownName, 0.1 + 0.2 as x from Towns "
                            u"where TownId in (0, 14) order by TownId"_s});
    EXPECT_EQ(ok.status, CliStatus::Ok) << ok.err.toStdString();
    EXPECT_EQ(ok.out, u"TownId,TownName,x\r\n0,Head Office,0.3\r\n"
                      u"14,O'Brien's Cross,0.3\r\n"_s);
    EXPECT_EQ(run({u"query"_s, u"--db"_s, db, u"select TownId from Towns where 1 = 0"_s}).out,
              u"TownId\r\n"_s);

    const Outcome none = CommandRun::report(
        u"sales-register"_s, {u"--invoice-from"_s, u"90000"_s, u"--invoice-to"_s, u"90010"_s});
    EXPECT_EQ(none.status, CliStatus::NoRecord);
    EXPECT_EQ(none.err.trimmed(), u"No record exists."_s);

    const QString missing = db + u".missing"_s;
    const std::pair<QStringList, QString> failures[] = {
        {{u"query"_s, u"--db"_s, db, u"select nothing from Towns"_s}, u"nothing"_s},
        {{u"query"_s, u"--db"_s, db, u"delete from Sales"_s}, {}},
        {{u"query"_s, u"--db"_s, missing, u"select 1"_s}, missing},
        {{u"demo-db"_s, db}, u"already exists"_s}};
    for (const auto &[arguments, reason] : failures) {
        const Outcome failed = run(arguments);
        EXPECT_EQ(failed.status, CliStatus::Failure) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(failed.err.contains(reason)) << failed.err.toStdString();
        EXPECT_TRUE(failed.out.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(DemoFixture::fileHash(db), before);
}

// Bad arguments are status 2, refused before anything is read or written: among them every
// output that would land on the database, however it is named.
TEST(CommandLine, RefusesBadArgumentsBeforeTouchingAnything)
{
    const QString db = DemoFixture::path();
    QTemporaryDir folder;
    const QString link = folder.filePath(u"report.pdf"_s);
    ASSERT_TRUE(QFile::link(db, link));
    const QString dotted = QFileInfo(db).path() + u"/./"_s + QFileInfo(db).fileName();
    const QByteArray before = DemoFixture::fileHash(db);
    const QStringList june{u"report"_s, u"sales-register"_s, u"--db"_s, db,
                           u"--from"_s, u"2026-06-29"_s,     u"--to"_s, u"2026-06-30"_s};
    const QStringList sales{u"report"_s, u"sales-register"_s, u"--db"_s, db};
    const QString database = u"database"_s;
    const std::pair<QStringList, QString> cases[] = {
        // the arguments, and part of the reason
        {{u"query"_s, u"--db"_s, db}, {}},
        {{u"query"_s, u"--db"_s, db, u"--odbc"_s, u"DSN=x"_s, u"select 1"_s}, {}},
        {{u"query"_s, u"--frobnicate"_s, u"select 1"_s}, {}},
        {{u"query"_s, u"--db"_s}, {}},
        {{u"query"_s, u"--db"_s, db, u"--db"_s, db, u"select 1"_s}, u"more than once"_s},
        {{u"demo-db"_s}, {}},
        {{u"demo-db"_s, u"x.sqlite"_s, u"--lines"_s, u"many"_s}, {}},
        {{u"demo-db"_s, u"x.sqlite"_s, u"--end-date"_s, u"31/12/2026"_s}, {}},
        {{u"no-such-command"_s}, {}},
        {{u"report"_s, u"no-such-report"_s}, {}},
        {june + QStringList{u"--town"_s, u"123456"_s}, u"--town"_s},
        {june + QStringList{u"--invoice-from"_s, u"12a"_s}, {}},
        {june + QStringList{u"--invoice-to"_s, u"1.5"_s}, {}},
        {june + QStringList{u"--from"_s, u"01/06/2026"_s}, {}},
        {sales + QStringList{u"--from"_s, u"-0001-01-01"_s}, u"1753-01-01"_s},
        {sales + QStringList{u"--from"_s, u"1752-12-31"_s}, u"1753-01-01"_s},
        {sales + QStringList{u"--from"_s, u"+2026-01-01"_s}, u"1753-01-01"_s},
        {sales + QStringList{u"--from"_s, u"10000-01-01"_s}, u"9999-12-31"_s},
        {sales + QStringList{u"--from"_s, u"2026-6-29"_s}, {}},
        {{u"demo-db"_s, u"x.sqlite"_s, u"--end-date"_s, u"1753-06-30"_s}, u"1754-01-01"_s},
        {{u"demo-db"_s, u"x.sqlite"_s, u"--end-date"_s, u"-2026-06-30"_s}, {}},
        {june + QStringList{u"--to"_s, u"2026-06-30"_s}, {}},
        {june + QStringList{u"--db"_s, db}, {}},
        {june + QStringList{u"--csv"_s, u"-"_s, u"--csv"_s, u"-"_s}, {}},
        {june + QStringList{u"--pdf"_s, QString()}, {}},
        {june + QStringList{u"--csv"_s, QString()}, {}},
        {june + QStringList{u"--csv"_s, db}, database},
        {june + QStringList{u"--xlsx"_s, db}, database},
        {june + QStringList{u"--pdf"_s, link}, database},
        {june + QStringList{u"--csv"_s, dotted}, database},
    };
    for (const auto &[arguments, reason] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const Outcome r = run(arguments);
        EXPECT_EQ(r.status, CliStatus::BadArguments);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();
    }
    // The ends of the range themselves are periods like any other.
    for (const QStringList &ends : {QStringList{u"--from"_s, u"1753-01-01"_s, u"--to"_s, u"1753-01-31"_s},
                                    QStringList{u"--from"_s, u"9999-12-01"_s, u"--to"_s, u"9999-12-31"_s}}) {
        const Outcome r = run(sales + ends);
        EXPECT_EQ(r.status, CliStatus::NoRecord) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(u"x.sqlite"_s));
    EXPECT_EQ(DemoFixture::fileHash(db), before);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

// Whatever a command throws ends it with status 3 and a reason, never with an abort.
TEST(CommandLine, AnythingACommandThrowsIsAFailureWithItsReason)
{
    const std::pair<std::function<void()>, QString> cases[] = {
        {[] { throw std::length_error("text exceeds 4 GiB"); }, u"text exceeds 4 GiB"_s},
        {[] { throw std::out_of_range("no such page"); }, u"no such page"_s},
        {[] { throw std::bad_alloc(); }, u"out of memory"_s},
        {[] { throw Failure(u"The server went away"_s, u"ODBC"_s); }, u"The server went away (ODBC)"_s},
        {[] { throw 42; }, u"unexpected failure"_s},
    };
    for (const auto &[work, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        std::vector<std::unique_ptr<Command>> commands;
        commands.push_back(std::make_unique<Throwing>(work));
        CommandLine line(std::move(commands));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        EXPECT_EQ(line.run({u"throwing"_s}, outStream, errStream), CliStatus::Failure);
        errStream.flush();
        EXPECT_TRUE(err.startsWith(u"nvrptsales throwing: "_s)) << err.toStdString();
        EXPECT_TRUE(err.contains(reason)) << err.toStdString();
    }
}

// The help is made from the reports' definitions: every report that can be built is listed
// with the options of its boxes and their lengths.
TEST(CommandLine, ReportHelpListsEachBuildableReportWithItsBoxes)
{
    const Outcome help = run({u"report"_s, u"--help"_s});
    ASSERT_EQ(help.status, CliStatus::Ok);
    for (const ReportEntry &entry : ReportCatalog::entries()) {
        const ReportDefinition *definition = &entry.definition();
        const qsizetype at = help.out.indexOf(u"  "_s + entry.commandName + u"\n"_s);
        ASSERT_GE(at, 0) << entry.commandName.toStdString();
        const QString line = help.out.mid(at).section(u'\n', 1, 1);
        for (const CriteriaField &field : definition->fields())
            EXPECT_TRUE(line.contains(u"--"_s + field.key + u" "_s))
                << entry.commandName.toStdString() << " " << field.key.toStdString();
    }
    EXPECT_TRUE(help.out.contains(u"  sales-summary\n      Sales Summary: --customer ID (5), "
                                  u"--sector ID (3), --town ID (3)\n"_s))
        << help.out.toStdString();
}
