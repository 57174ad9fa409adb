// `nvrptsales report` for the sales summary, the sale return register and the sale returns
// summary: their options, refusals, messages and outputs.
#include "CommandRun.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"
#include "host/DemoDatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using CommandRun::csvLines;
using CommandRun::Outcome;
using CommandRun::pdfText;
const auto run = CommandRun::report;

int scalar(const QString &sql)
{
    return int(Connection::openSqlite(DemoFixture::path())->execute(sql)->number(0, 0));
}

} // namespace

TEST(ListingCommands, SalesSummaryAsPdfAndCsv)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"summary.pdf"_s), csv = folder.filePath(u"summary.csv"_s);
    const Outcome o = run(u"sales-summary"_s, {u"--from"_s, u"2026-06-01"_s, u"--to"_s,
                                               u"2026-06-30"_s, u"--pdf"_s, pdf, u"--csv"_s, csv});
    ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(DemoDatabase::companyName()));
    EXPECT_TRUE(text.contains(u"Sales Summary"_s));
    EXPECT_TRUE(text.contains(u"Date Between : 01-Jun-2026 To 30-Jun-2026"_s));
    EXPECT_TRUE(text.contains(u"Grand total"_s));

    const QList<QByteArray> lines = csvLines(csv);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), QByteArray("saleid,saledate,customername,sectorname,townname,"
                                        "SectorId,townId,Grossvalue,Totaldisc,Salestax,"
                                        "NetValue,asReceivedAmount"));
    EXPECT_EQ(lines.size() - 1,
              scalar(u"select count(distinct s.SaleId) from Sales s join SalesBody sb on "
                     u"sb.SaleId = s.SaleId where s.SaleDate between '2026-06-01' and "
                     u"'2026-06-30'"_s));
}

TEST(ListingCommands, SaleReturnRegisterTakesItsRangeAsTyped)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"returns.pdf"_s), csv = folder.filePath(u"returns.csv"_s);
    const Outcome o =
        run(u"sale-return-register"_s,
            {u"--from"_s, u"2025-07-01"_s, u"--to"_s, u"2026-06-30"_s, u"--invoice-from"_s,
             u"12a"_s, u"--invoice-to"_s, u"20"_s, u"--pdf"_s, pdf, u"--csv"_s, csv});
    ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"Invoiceno Between : 12a To 20"_s));
    EXPECT_TRUE(text.contains(u"Date Between : 01-Jul-2025 To 30-Jun-2026"_s));
    EXPECT_FALSE(text.contains(DemoDatabase::companyName()));

    const QList<QByteArray> lines = csvLines(csv);
    ASSERT_GT(lines.size(), 1);
    EXPECT_TRUE(lines.front().startsWith("sectorname,townname,salereturnid,Salereturndate,saleid"));
    EXPECT_TRUE(lines.front().endsWith(",UnitName,Multiplier"));
    EXPECT_EQ(lines.size() - 1,
              scalar(u"select count(*) from SaleReturnsBody where SaleReturnID between 12 and "
                     u"20"_s));
    for (qsizetype k = 1; k < lines.size(); ++k) {
        const int id = lines[k].split(',')[2].toInt();
        EXPECT_GE(id, 12);
        EXPECT_LE(id, 20);
    }
}

TEST(ListingCommands, SaleReturnsSummaryToStandardOutput)
{
    const Outcome o =
        run(u"sale-returns-summary"_s, {u"--from"_s, u"2025-07-01"_s, u"--to"_s, u"2026-06-30"_s});
    ASSERT_EQ(o.status, CliStatus::Ok) << o.err.toStdString();
    const QStringList lines = o.out.trimmed().split(u'\n');
    EXPECT_EQ(lines.front().trimmed(),
              u"salereturnid,Salereturndate,saleid,customername,sectorname,townname,Grossvalue,"
              u"Totaldisc,Salestax,NetValue,TownId,SectorId"_s);
    EXPECT_EQ(lines.size() - 1, scalar(u"select count(*) from SaleReturns"_s));

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"returns-summary.pdf"_s);
    ASSERT_EQ(
        run(u"sale-returns-summary"_s, {u"--from"_s, u"2025-07-01"_s, u"--pdf"_s, pdf}).status,
        CliStatus::Ok);
    EXPECT_TRUE(pdfText(pdf).contains(u"Sale Returns Summary"_s));
}

// The windows' refusals: a box's length, a box the window does not have; nothing found is
// status 1 with the window's message.
TEST(ListingCommands, RefusalsAndEmptyResults)
{
    for (const QString &name :
         {u"sales-summary"_s, u"sale-return-register"_s, u"sale-returns-summary"_s}) {
        SCOPED_TRACE(name.toStdString());
        Outcome o = run(name, {u"--customer"_s, u"O'Ha"_s});
        EXPECT_EQ(o.status, CliStatus::NoRecord) << o.err.toStdString();
        EXPECT_EQ(o.err.trimmed(), u"No record exists."_s);
        o = run(name, {u"--customer"_s, u"C00011"_s});
        EXPECT_EQ(o.status, CliStatus::BadArguments);
        EXPECT_TRUE(o.err.contains(u"--customer takes at most 5 characters"_s))
            << o.err.toStdString();
        o = run(name, {u"--product"_s, u"11001"_s});
        EXPECT_EQ(o.status, CliStatus::BadArguments);
        EXPECT_TRUE(o.err.contains(u"has no product box"_s)) << o.err.toStdString();
    }
    // The summaries' sector and town boxes hold three characters, the register's five.
    for (const QString &name : {u"sales-summary"_s, u"sale-returns-summary"_s}) {
        EXPECT_EQ(run(name, {u"--sector"_s, u"1234"_s}).status, CliStatus::BadArguments);
        EXPECT_EQ(run(name, {u"--town"_s, u"1234"_s}).status, CliStatus::BadArguments);
        const Outcome o = run(name, {u"--invoice-from"_s, u"1"_s});
        EXPECT_EQ(o.status, CliStatus::BadArguments);
        EXPECT_TRUE(o.err.contains(u"has no invoice-from box"_s)) << o.err.toStdString();
    }
    EXPECT_EQ(run(u"sale-return-register"_s, {u"--town"_s, u"1234"_s}).status, CliStatus::NoRecord);
    EXPECT_EQ(run(u"sale-return-register"_s, {u"--invoice-to"_s, u"123456"_s}).status,
              CliStatus::BadArguments);
    const Outcome empty =
        run(u"sale-return-register"_s, {u"--invoice-from"_s, u"40"_s, u"--invoice-to"_s, u"3x"_s});
    EXPECT_EQ(empty.status, CliStatus::NoRecord);
    EXPECT_EQ(empty.err.trimmed(), u"No record exists."_s);

    // The help gives each box's length.
    const QString help = CommandRun::line({u"report"_s, u"--help"_s}).out;
    EXPECT_TRUE(help.contains(u"  sales-summary\n      Sales Summary: --customer ID (5), "
                              u"--sector ID (3), --town ID (3)\n"_s))
        << help.toStdString();
    EXPECT_TRUE(help.contains(u"--invoice-from N (5), --invoice-to N (5)\n"_s));
}
