// `nvrptsales report` for every report: each writes its PDF and, as CSV, exactly the rows of
// its query in the query's order; each refuses what its window refuses, with the window's
// message and the status that says why. The sales register also prints, and writes a workbook.
#include "CommandRun.h"
#include "DemoFixture.h"
#include "PrintServer.h"
#include "XlsxReader.h"
#include "db/Connection.h"
#include "db/CsvWriter.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"
#include "reports/ProductWiseSalesReport.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportDefinition.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString scalar(const QString &sql)
{
    return Connection::openSqlite(DemoFixture::path())->execute(sql)->text(0, 0);
}

// The product with the most returned lines: one both ledgers list.
QString busiestProduct()
{
    return scalar(u"select ProductId from SaleReturnsBody group by ProductId "
                  u"order by count(*) desc, ProductId limit 1"_s);
}

// The rows of the report's query as CSV, for the criteria the arguments give its boxes.
QByteArray queryRowsAsCsv(const QString &report, const QStringList &arguments)
{
    ReportCriteria c;
    for (qsizetype k = 0; k + 1 < arguments.size(); k += 2) {
        const QString key = arguments[k].mid(2), value = arguments[k + 1];
        if (key == u"from" || key == u"to")
            (key == u"from" ? c.from : c.to) = QDate::fromString(value, Qt::ISODate);
        else
            c.texts.insert(key, value);
    }
    const ReportDefinition *definition = &ReportCatalog::byCommandName(report)->definition();
    const auto db = Connection::openSqlite(DemoFixture::path());
    Recordset rows;
    rows.open(definition->query(c, db->dialect()), *db);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(CsvWriter::write(buffer, *rows.rows()));
    return buffer.data();
}

} // namespace

// Every report writes its PDF and, as CSV, exactly its query's rows for the options given
// (the texts the PDF prints are the prepared reports' test's); the product-wise sales say on
// the page which sales they leave out.
TEST(ReportCommands, WriteTheirPdfAndTheirQueryRowsAsCsv)
{
    const QStringList spring{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-05-31"_s};
    const QStringList june{u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s};
    const QStringList year{u"--from"_s, u"2025-07-01"_s, u"--to"_s, u"2026-06-30"_s};
    const QString product = busiestProduct();
    struct Case
    {
        QString report;
        QStringList arguments;
        QStringList printed = {}; // in the PDF's text, blanks made one
    };
    const std::vector<Case> cases{
        {u"sales-register"_s,
         june + QStringList{u"--invoice-from"_s, u"1"_s, u"--invoice-to"_s, u"99999"_s}},
        {u"company-wise-sale"_s,
         spring + QStringList{u"--town"_s, u"3x"_s, u"--sector"_s, u"  "_s}},
        {u"company-sector-wise-sale"_s, spring + QStringList{u"--company"_s, u"11"_s}},
        // Its criteria line and every page's foot say which sales it leaves out: the foot
        // keeps saying it where many criteria leave the line no room.
        {u"product-wise-sales"_s,
         spring + QStringList{u"--company"_s, u"12"_s},
         {ProductWiseSalesReport::instance().coverageRule(),
          u"Counted: sales billed in the customer's own sector"_s}},
        {u"sales-summary"_s, june},
        {u"sale-return-register"_s,
         year + QStringList{u"--invoice-from"_s, u"12a"_s, u"--invoice-to"_s, u"20"_s}},
        {u"sale-returns-summary"_s, year},
        {u"product-sales-ledger"_s, year + QStringList{u"--product"_s, product}},
        {u"product-sale-return-ledger"_s, year + QStringList{u"--product"_s, product}},
        {u"sales-stock-statement"_s, june + QStringList{u"--company"_s, u"12"_s}},
        {u"customer-town-sector-wise-sales"_s,
         june + QStringList{u"--town"_s, u"3"_s, u"--company"_s, u"11"_s}},
    };
    QTemporaryDir folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.report.toStdString());
        const QString pdf = folder.filePath(c.report + u".pdf"_s);
        const CommandRun::Outcome o = CommandRun::report(
            c.report, c.arguments + QStringList{u"--pdf"_s, pdf, u"--csv"_s, u"-"_s});
        ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
        const QByteArray rows = queryRowsAsCsv(c.report, c.arguments);
        EXPECT_GT(rows.count('\n'), 1);
        EXPECT_EQ(o.out.toUtf8(), rows);
        const QString text = CommandRun::pdfText(pdf).simplified();
        EXPECT_GT(text.size(), 100); // a report, not an empty page
        for (const QString &expected : c.printed)
            EXPECT_TRUE(!expected.isEmpty() && text.contains(expected)) << expected.toStdString();
    }
}

// A box's length or a box the window lacks is a bad argument (2), and so is what the window
// refuses before its query; what the query does not find is status 1. The window's message
// says which.
TEST(ReportCommands, RefuseWhatTheirWindowsRefuse)
{
    const QStringList spring{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-05-31"_s};
    const QStringList backwards{u"--from"_s, u"2026-06-30"_s, u"--to"_s, u"2026-06-01"_s};
    const QString product = busiestProduct();
    const QString reversed = u"From date must be less than or equal to To date"_s;
    const QString noRecord = u"No record exists."_s, noneFound = u"No record found"_s;
    const int bad = CliStatus::BadArguments, none = CliStatus::NoRecord;
    struct Case
    {
        QStringList reports;
        QStringList arguments;
        int status;
        QString message{}; // the whole message, or an option problem it contains
    };
    const QStringList listings{u"sales-register"_s, u"sales-summary"_s, u"sale-return-register"_s,
                               u"sale-returns-summary"_s};
    const QStringList summaries{u"sales-summary"_s, u"sale-returns-summary"_s};
    const QStringList ledgers{u"product-sales-ledger"_s, u"product-sale-return-ledger"_s};
    const QStringList cts{u"customer-town-sector-wise-sales"_s};
    const std::vector<Case> cases{
        {{u"company-wise-sale"_s, u"sales-stock-statement"_s}, backwards, bad, reversed},
        {{u"company-wise-sale"_s, u"sales-register"_s},
         {u"--company"_s, u"11"_s},
         bad,
         u"has no company box"_s},
        {{u"company-sector-wise-sale"_s}, spring, bad, u"Must Select a Company"_s},
        {{u"company-sector-wise-sale"_s, u"product-wise-sales"_s},
         spring + QStringList{u"--company"_s, u"97"_s},
         none,
         noneFound},
        {listings, {u"--customer"_s, u"O'Ha"_s}, none, noRecord},
        {listings, {u"--customer"_s, u"C00011"_s}, bad, u"--customer takes at most 5 characters"_s},
        {listings + cts, {u"--product"_s, u"11001"_s}, bad, u"has no product box"_s},
        // The summaries' sector and town boxes hold three characters, the register's five.
        {summaries + cts, {u"--sector"_s, u"1234"_s}, bad},
        {summaries, {u"--invoice-from"_s, u"1"_s}, bad, u"has no invoice-from box"_s},
        // The registers' range boxes take nine digits (what they list: LongInvoiceNumbers).
        {{u"sales-register"_s, u"sale-return-register"_s},
         {u"--invoice-to"_s, u"1000000000"_s},
         bad,
         u"--invoice-to takes at most 9 characters"_s},
        {{u"sale-return-register"_s}, {u"--town"_s, u"1234"_s}, none, noRecord},
        {{u"sale-return-register"_s},
         {u"--invoice-from"_s, u"40"_s, u"--invoice-to"_s, u"3x"_s},
         none,
         noRecord},
        {ledgers, {}, bad, u"Enter Product Code."_s},
        {ledgers, {u"--product"_s, u"ZZ'9"_s}, bad, u"Product Code doesn't exist."_s},
        {ledgers, {u"--company"_s, u"11"_s, u"--product"_s, product}, bad, u"has no company box"_s},
        {{u"sales-stock-statement"_s}, {u"--company"_s, u"12345678901"_s}, bad},
        // An id that is no number is one literal: nothing found, no failure.
        {{u"sales-stock-statement"_s}, {u"--company"_s, u"1' or '1"_s}, none, noRecord},
        {cts, {u"--town"_s, u"0"_s}, none, noRecord}, // town 0 is never listed
    };
    for (const Case &c : cases) {
        for (const QString &report : c.reports) {
            SCOPED_TRACE(report.toStdString() + " " + c.arguments.join(u' ').toStdString());
            const CommandRun::Outcome o = CommandRun::report(report, c.arguments);
            EXPECT_EQ(o.status, c.status) << o.err.toStdString();
            if (c.message.startsWith(u"--"_s) || c.message.startsWith(u"has no"_s))
                EXPECT_TRUE(o.err.contains(c.message)) << o.err.toStdString();
            else if (!c.message.isEmpty())
                EXPECT_EQ(o.err.trimmed(), c.message);
            else
                EXPECT_FALSE(o.err.isEmpty());
        }
    }
}

// A job is on the queue when the command returns, on the default printer or a named one; a
// missing printer, a queue that takes no jobs, or no print server at all fail with the reason.
TEST(ReportCommands, PrintOneJobOrFailWithThePrintersReason)
{
    const QStringList days{u"--from"_s, u"2026-06-25"_s, u"--to"_s, u"2026-06-30"_s, u"--print"_s};
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"CUPS_SERVER"_s, u"127.0.0.1:9"_s); // no print server listens there
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(NVR_EXECUTABLE),
            QStringList{u"report"_s, u"sales-register"_s, u"--db"_s, DemoFixture::path()} + days);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), CliStatus::Failure);
    EXPECT_TRUE(
        QString::fromLocal8Bit(p.readAllStandardError()).contains(u"No printer is installed"_s));

    QString why;
    if (!PrintServer::ready(&why))
        GTEST_SKIP() << why.toStdString();
    const qsizetype before = PrintServer::jobs().size();
    for (const QStringList &printer : {QStringList{}, QStringList{PrintServer::printer}}) {
        const CommandRun::Outcome o = CommandRun::report(u"sales-register"_s, days + printer);
        ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty());
    }
    EXPECT_EQ(PrintServer::jobs().size(), before + 2);
    EXPECT_TRUE(PrintServer::waitUntilIdle());

    const qsizetype rejectedBefore = PrintServer::jobs(PrintServer::rejectingPrinter).size();
    const std::pair<QString, QStringList> refusals[] = {
        {u"NoSuchPrinter"_s, {u"NoSuchPrinter"_s}},
        {PrintServer::rejectingPrinter,
         {PrintServer::rejectingPrinter, PrintServer::rejectingReason}}};
    for (const auto &[printer, reasons] : refusals) {
        const CommandRun::Outcome o =
            CommandRun::report(u"sales-register"_s, days + QStringList{printer});
        EXPECT_EQ(o.status, CliStatus::Failure);
        for (const QString &reason : reasons)
            EXPECT_TRUE(o.err.contains(reason)) << o.err.toStdString();
    }
    EXPECT_EQ(PrintServer::jobs().size(), before + 2);
    EXPECT_EQ(PrintServer::jobs(PrintServer::rejectingPrinter).size(), rejectedBefore);
}

// The workbook holds a total row per invoice and a grand total equal to the period's gross;
// nothing found writes no file, and a folder that is missing is a failure.
TEST(ReportCommands, WriteTheWorkbookOnlyWhenThereIsSomethingToShow)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"register.xlsx"_s);
    const QStringList june{u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s};
    const CommandRun::Outcome o =
        CommandRun::report(u"sales-register"_s, june + QStringList{u"--xlsx"_s, path});
    ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
    const XlsxReader book(path);
    ASSERT_TRUE(book.isValid());
    ASSERT_EQ(book.sheets().size(), 1u);
    const auto expected =
        Connection::openSqlite(DemoFixture::path())
            ->execute(
                u"select count(distinct s.SaleId), sum(b.Qty * b.Price) from SalesBody b, Sales s "
                u"where b.SaleId = s.SaleId and s.SaleDate >= '2026-06-01' and s.SaleDate <= '2026-06-30'"_s);
    int invoiceTotals = 0;
    double grandTotal = -1;
    for (const auto &[r, row] : book.sheets().front().rows) {
        const QString first = row.cells.empty() ? QString() : row.cells.begin()->second.value;
        if (first.startsWith(u"Invoice total "_s))
            ++invoiceTotals;
        else if (first == u"Grand total")
            grandTotal = row.cells.at(10).number();
    }
    EXPECT_GT(invoiceTotals, 10);
    EXPECT_EQ(invoiceTotals, int(expected->number(0, 0)));
    EXPECT_NEAR(grandTotal, expected->number(1, 0), 1e-6 * expected->number(1, 0));

    const QString none = folder.filePath(u"none.xlsx"_s);
    EXPECT_EQ(CommandRun::report(u"sales-register"_s,
                                 june + QStringList{u"--invoice-from"_s, u"900"_s,
                                                    u"--invoice-to"_s, u"100"_s, u"--xlsx"_s, none})
                  .status,
              CliStatus::NoRecord);
    EXPECT_FALSE(QFile::exists(none));
    EXPECT_EQ(
        CommandRun::report(u"sales-register"_s, {u"--xlsx"_s, folder.filePath(u"missing/x.xlsx"_s)})
            .status,
        CliStatus::Failure);
}
