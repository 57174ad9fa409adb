#include "CommandRun.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using CommandRun::Outcome;
const auto nvrptsales = CommandRun::report;

// The text of a PDF with runs of blanks made one, as pdftotext lays them out freely.
QString pdfText(const QString &path)
{
    return CommandRun::pdfText(path).simplified();
}

} // namespace

// The ledgers refuse, with their windows' messages and status 2, a missing code and one that
// its look-up does not find; a code that exists builds the ledger.
TEST(LedgerAndStatementCommand, LedgersNeedAProductThatExists)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QString product = db->execute(u"select ProductId from SaleReturnsBody group by ProductId "
                                        u"order by count(*) desc, ProductId limit 1"_s)
                                ->text(0, 0);
    for (const QString &ledger : {u"product-sales-ledger"_s, u"product-sale-return-ledger"_s}) {
        Outcome r = nvrptsales(ledger, {});
        EXPECT_EQ(r.status, CliStatus::BadArguments);
        EXPECT_EQ(r.err.trimmed(), u"Enter Product Code."_s);
        r = nvrptsales(ledger, {u"--product"_s, u"ZZ'9"_s});
        EXPECT_EQ(r.status, CliStatus::BadArguments);
        EXPECT_EQ(r.err.trimmed(), u"Product Code doesn't exist."_s);
        r = nvrptsales(ledger, {u"--product"_s, u"12345678901"_s}); // longer than its box
        EXPECT_EQ(r.status, CliStatus::BadArguments);
        r = nvrptsales(ledger, {u"--company"_s, u"11"_s, u"--product"_s, product});
        EXPECT_EQ(r.status, CliStatus::BadArguments);
        EXPECT_TRUE(r.err.contains(u"has no company box"_s)) << r.err.toStdString();

        r = nvrptsales(ledger, {u"--from"_s, u"2025-07-01"_s, u"--to"_s, u"2026-06-30"_s,
                                u"--product"_s, product});
        ASSERT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
        const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_GT(lines.size(), 1);
        EXPECT_TRUE(
            lines.front().trimmed().endsWith(u",customername,sectorname,townname,qty,bonus,price,"
                                             u"Grossvalue,Totaldisc,Salestax,NetValue"_s))
            << lines.front().toStdString();
    }
}

TEST(LedgerAndStatementCommand, StatementRefusesABackwardPeriodAndWritesItsPdf)
{
    Outcome r = nvrptsales(u"sales-stock-statement"_s,
                           {u"--from"_s, u"2026-06-30"_s, u"--to"_s, u"2026-06-01"_s});
    EXPECT_EQ(r.status, CliStatus::BadArguments);
    EXPECT_EQ(r.err.trimmed(), u"From date must be less than or equal to To date"_s);
    r = nvrptsales(u"sales-stock-statement"_s, {u"--company"_s, u"12345678901"_s});
    EXPECT_EQ(r.status, CliStatus::BadArguments);
    // A company id that is no number is one literal: nothing found, no failure.
    r = nvrptsales(u"sales-stock-statement"_s, {u"--company"_s, u"1' or '1"_s});
    EXPECT_EQ(r.status, CliStatus::NoRecord) << r.err.toStdString();
    EXPECT_EQ(r.err.trimmed(), u"No record exists."_s);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"stock.pdf"_s);
    r = nvrptsales(u"sales-stock-statement"_s,
                   {u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s, u"--company"_s,
                    u"12"_s, u"--pdf"_s, pdf});
    ASSERT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"Date Between : 01-Jun-2026 To 30-Jun-2026"_s));
    EXPECT_TRUE(text.contains(u"Closing Value"_s));
    EXPECT_TRUE(text.contains(u"Company 12"_s)); // the criteria line
}

TEST(LedgerAndStatementCommand, CustomerTownSectorWiseSalesTakesItsFourBoxes)
{
    Outcome r = nvrptsales(u"customer-town-sector-wise-sales"_s, {u"--town"_s, u"0"_s});
    EXPECT_EQ(r.status, CliStatus::NoRecord); // town 0 is never listed
    EXPECT_EQ(r.err.trimmed(), u"No record exists."_s);
    r = nvrptsales(u"customer-town-sector-wise-sales"_s, {u"--company"_s, u"1;'"_s});
    EXPECT_EQ(r.status, CliStatus::NoRecord) << r.err.toStdString();
    r = nvrptsales(u"customer-town-sector-wise-sales"_s, {u"--sector"_s, u"1234"_s});
    EXPECT_EQ(r.status, CliStatus::BadArguments); // three characters, as its box
    r = nvrptsales(u"customer-town-sector-wise-sales"_s, {u"--product"_s, u"11001"_s});
    EXPECT_EQ(r.status, CliStatus::BadArguments);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"cts.pdf"_s);
    r = nvrptsales(u"customer-town-sector-wise-sales"_s,
                   {u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s, u"--town"_s, u"3"_s,
                    u"--company"_s, u"11"_s, u"--pdf"_s, pdf, u"--csv"_s, u"-"_s});
    ASSERT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
    EXPECT_EQ(r.out.section(u'\n', 0, 0).trimmed(),
              u"townid,townname,sectorid,sectorname,customerid,customername,SalesValue,"
              u"ReturnsValue,CompanyID"_s);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"Company Name:Crescent Agro Chemicals"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Town total"_s));
}
