#include "CommandRun.h"
#include "DemoFixture.h"
#include "PrintServer.h"
#include "criteria/ReportCatalog.h"
#include "criteria/reports/ReportDefinition.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"
#include "host/DemoDatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using CommandRun::Outcome;
using CommandRun::pdfText;

Outcome report(const QStringList &arguments)
{
    return CommandRun::report(u"sales-register"_s, arguments);
}

} // namespace

TEST(ReportCommand, WritesTheSalesRegisterAsPdfAndCsv)
{
    QTemporaryDir folder;
    const QByteArray before = DemoFixture::fileHash(DemoFixture::path());
    const QString pdf = folder.filePath(u"register.pdf"_s);
    const QString csv = folder.filePath(u"register.csv"_s);
    const Outcome o = report({u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s, u"--pdf"_s,
                              pdf, u"--csv"_s, csv});
    ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();

    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(DemoDatabase::companyName()));
    EXPECT_TRUE(text.contains(u"Sales Register"_s));
    EXPECT_TRUE(text.contains(u"Invoiceno Between : 1 To 99999"_s));
    EXPECT_TRUE(text.contains(u"Invoice total"_s));
    EXPECT_TRUE(text.contains(u"Grand total"_s));
    EXPECT_TRUE(text.contains(u"Page 1 of"_s));

    // The CSV is the report's result set: the rows of the query, with its column names.
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const int lines =
        int(connection
                ->execute(u"select count(*) from Sales s join SalesBody sb on sb.SaleId = s.SaleId "
                          u"where s.SaleDate between '2026-06-01' and '2026-06-30'"_s)
                ->number(0, 0));
    const QList<QByteArray> rows = CommandRun::csvLines(csv);
    EXPECT_EQ(rows.front(),
              QByteArray("sectorname,townname,saleid,saledate,customername,productid,"
                         "productname,qty,bonus,price,Grossvalue,Totaldisc,Salestax,NetValue"));
    EXPECT_EQ(int(rows.size()) - 1, lines);

    // Without a file, the rows go to standard output.
    const Outcome piped = report(
        {u"--from"_s, u"2025-07-01"_s, u"--to"_s, u"2025-07-31"_s, u"--invoice-to"_s, u"7"_s});
    EXPECT_EQ(piped.status, CliStatus::Ok);
    EXPECT_TRUE(piped.out.startsWith(u"sectorname,townname,saleid"_s));
    EXPECT_EQ(DemoFixture::fileHash(DemoFixture::path()), before);
}

TEST(ReportCommand, NothingFoundIsStatusOneAndBadArgumentsStatusTwo)
{
    Outcome o = report({u"--invoice-from"_s, u"90000"_s, u"--invoice-to"_s, u"90010"_s});
    EXPECT_EQ(o.status, CliStatus::NoRecord);
    EXPECT_EQ(o.err.trimmed(), u"No record exists."_s);

    // An apostrophe in an id is part of one literal: it finds nothing, the query does not fail.
    o = report({u"--customer"_s, u"O'Ha"_s});
    EXPECT_EQ(o.status, CliStatus::NoRecord) << o.err.toStdString();

    for (const QStringList &bad :
         {QStringList{u"--customer"_s, u"C00011"_s}, QStringList{u"--town"_s, u"123456"_s},
          QStringList{u"--invoice-from"_s, u"12a"_s}, QStringList{u"--invoice-to"_s, u"1.5"_s},
          QStringList{u"--invoice-to"_s, u"123456"_s}, QStringList{u"--company"_s, u"11"_s},
          QStringList{u"--from"_s, u"01/06/2026"_s}}) {
        const Outcome refused = report(bad);
        EXPECT_EQ(refused.status, CliStatus::BadArguments) << bad.join(u' ').toStdString();
        EXPECT_FALSE(refused.err.isEmpty());
    }

    EXPECT_EQ(CommandRun::line({u"report"_s, u"no-such-report"_s}).status, CliStatus::BadArguments);
}

// Where the system has no printer at all, printing fails and says so.
TEST(ReportCommand, PrintingWithoutAnyPrinterFailsClearly)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"CUPS_SERVER"_s, u"127.0.0.1:9"_s); // no print server listens there
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(NVR_EXECUTABLE),
            {u"report"_s, u"sales-register"_s, u"--db"_s, DemoFixture::path(), u"--from"_s,
             u"2026-06-25"_s, u"--print"_s});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), CliStatus::Failure);
    EXPECT_TRUE(
        QString::fromLocal8Bit(p.readAllStandardError()).contains(u"No printer is installed"_s));
}

TEST(ReportCommand, PrintsOneJobOrFailsWithThePrintersReason)
{
    QString why;
    if (!PrintServer::ready(&why))
        GTEST_SKIP() << why.toStdString();
    const qsizetype before = PrintServer::jobs().size();
    const Outcome o =
        report({u"--from"_s, u"2026-06-25"_s, u"--to"_s, u"2026-06-30"_s, u"--print"_s});
    ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
    EXPECT_TRUE(o.out.isEmpty());
    // The job is on the queue when the command returns: exactly one.
    EXPECT_EQ(PrintServer::jobs().size(), before + 1);

    const Outcome named = report({u"--from"_s, u"2026-06-25"_s, u"--to"_s, u"2026-06-30"_s,
                                  u"--print"_s, PrintServer::printer});
    ASSERT_EQ(named.status, CliStatus::Ok) << named.err.toStdString();
    EXPECT_EQ(PrintServer::jobs().size(), before + 2);

    const Outcome missing = report({u"--print"_s, u"NoSuchPrinter"_s});
    EXPECT_EQ(missing.status, CliStatus::Failure);
    EXPECT_TRUE(missing.err.contains(u"NoSuchPrinter"_s));
    EXPECT_EQ(PrintServer::jobs().size(), before + 2);
    EXPECT_TRUE(PrintServer::waitUntilIdle());

    // A queue that takes no jobs: no job, status 3, and the printer's own reason.
    const qsizetype rejectedBefore = PrintServer::jobs(PrintServer::rejectingPrinter).size();
    const Outcome rejected = report({u"--from"_s, u"2026-06-25"_s, u"--to"_s, u"2026-06-30"_s,
                                     u"--print"_s, PrintServer::rejectingPrinter});
    EXPECT_EQ(rejected.status, CliStatus::Failure);
    EXPECT_TRUE(rejected.err.contains(PrintServer::rejectingPrinter)) << rejected.err.toStdString();
    EXPECT_TRUE(rejected.err.contains(PrintServer::rejectingReason)) << rejected.err.toStdString();
    EXPECT_EQ(PrintServer::jobs(PrintServer::rejectingPrinter).size(), rejectedBefore);
}

// The help is made from the reports' definitions: every report that can be built is listed
// with the options of its boxes, and an option its window has no box for is refused.
TEST(ReportCommand, HelpListsEachBuildableReportWithItsBoxes)
{
    const Outcome help = CommandRun::line({u"report"_s, u"--help"_s});
    ASSERT_EQ(help.status, CliStatus::Ok);
    const QString &out = help.out;
    for (const ReportEntry &entry : ReportCatalog::entries()) {
        const ReportDefinition *definition = ReportCatalog::definition(entry);
        if (!definition)
            continue;
        const qsizetype at = out.indexOf(u"  "_s + entry.commandName + u"\n"_s);
        ASSERT_GE(at, 0) << entry.commandName.toStdString();
        const QString line = out.mid(at).section(u'\n', 1, 1);
        for (const CriteriaField &field : definition->fields())
            EXPECT_TRUE(line.contains(u"--"_s + field.key + u" "_s))
                << entry.commandName.toStdString() << " " << field.key.toStdString();
    }
    // Each box with its length.
    EXPECT_TRUE(out.contains(u"  sales-summary\n      Sales Summary: --customer ID (5), "
                             u"--sector ID (3), --town ID (3)\n"_s))
        << out.toStdString();
    EXPECT_TRUE(out.contains(u"--invoice-from N (5), --invoice-to N (5)\n"_s));
    const Outcome refused = report({u"--product"_s, u"01001"_s});
    EXPECT_EQ(refused.status, CliStatus::BadArguments);
    EXPECT_TRUE(refused.err.contains(u"has no product box"_s)) << refused.err.toStdString();
}
