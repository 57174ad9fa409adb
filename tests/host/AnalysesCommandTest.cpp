#include "CommandRun.h"
#include "DemoFixture.h"
#include "criteria/ReportCatalog.h"
#include "criteria/reports/ReportDefinition.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using CommandRun::Outcome;
using CommandRun::pdfText;
const auto run = CommandRun::report;

const QStringList period{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-05-31"_s};

// The rows the report's query gives, as the window would run it.
std::shared_ptr<const ResultTable> queryRows(const QString &name, const ReportCriteria &c)
{
    const ReportDefinition *definition =
        ReportCatalog::definition(*ReportCatalog::byCommandName(name));
    const auto db = Connection::openSqlite(DemoFixture::path());
    Recordset rows;
    rows.open(definition->query(c, db->dialect()), *db);
    return rows.rows();
}

} // namespace

TEST(AnalysesCommand, CompanyWiseSaleAsPdfAndCsv)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"company.pdf"_s);
    const QString csv = folder.filePath(u"company.csv"_s);
    const Outcome r = run(u"company-wise-sale"_s,
                          period + QStringList{u"--town"_s, u"3x"_s, u"--sector"_s, u"  "_s,
                                               u"--pdf"_s, pdf, u"--csv"_s, csv});
    ASSERT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QString town = db->execute(u"select TownName from Towns where TownId = 3"_s)->text(0, 0);
    const QString text = pdfText(pdf);
    for (const QString &expected :
         {u"Company Wise Sales"_s, u"From Date : 01/03/2026, To Date : 31/05/2026"_s,
          u"Customer: All Customers"_s, QString(u"Town: ( 3 ) "_s + town), u"Sector: All Sectors"_s,
          u"Grand total"_s, u"Net Sales"_s})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.left(600).toStdString();

    const QList<QByteArray> lines = CommandRun::csvLines(csv);
    EXPECT_EQ(lines.front(), QByteArray("CompanyID,CompanyName,SaleValue,ReturnValue,UnitName"));
    const auto rows =
        queryRows(u"company-wise-sale"_s,
                  {QDate(2026, 3, 1), QDate(2026, 5, 31), {{u"town"_s, u"3x"_s}}, {}});
    ASSERT_EQ(int(lines.size()) - 1, rows->rowCount());
    EXPECT_TRUE(lines[1].startsWith(QByteArray(rows->text(0, 0).toUtf8() + ',')));

    // A reversed period is refused with the window's message.
    const Outcome reversed =
        run(u"company-wise-sale"_s, {u"--from"_s, u"2026-05-02"_s, u"--to"_s, u"2026-05-01"_s});
    EXPECT_EQ(reversed.status, CliStatus::BadArguments);
    EXPECT_EQ(reversed.err.trimmed(), u"From date must be less than or equal to To date"_s);
    const Outcome noCompanyBox = run(u"company-wise-sale"_s, {u"--company"_s, u"11"_s});
    EXPECT_EQ(noCompanyBox.status, CliStatus::BadArguments);
}

TEST(AnalysesCommand, CompanySectorWiseSaleWantsACompany)
{
    Outcome r = run(u"company-sector-wise-sale"_s, period);
    EXPECT_EQ(r.status, CliStatus::BadArguments);
    EXPECT_EQ(r.err.trimmed(), u"Must Select a Company"_s);
    r = run(u"company-sector-wise-sale"_s, period + QStringList{u"--customer"_s, u"C0001"_s});
    EXPECT_EQ(r.status, CliStatus::BadArguments);

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"sector.pdf"_s);
    r = run(u"company-sector-wise-sale"_s,
            period + QStringList{u"--company"_s, u"11"_s, u"--pdf"_s, pdf, u"--csv"_s, u"-"_s});
    ASSERT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(
        u"ProductId,ProductName,SectorId,SectorName,NetQty,SalePrice,NetValue\r\n"_s));
    const QString text = pdfText(pdf);
    for (const QString &expected :
         {u"Company Sector Wise Sales"_s, u"Company:Crescent Agro Chemicals"_s,
          u"Sector:All Sectors"_s, u"From : 01/03/2026, To : 31/05/2026"_s, u"Sector total"_s})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();

    // No product of an unknown company: nothing found.
    r = run(u"company-sector-wise-sale"_s, period + QStringList{u"--company"_s, u"97"_s});
    EXPECT_EQ(r.status, CliStatus::NoRecord);
    EXPECT_EQ(r.err.trimmed(), u"No record found"_s);
}

TEST(AnalysesCommand, ProductWiseSalesKeepsTheQueryRowsInTheCsv)
{
    const Outcome r = run(u"product-wise-sales"_s, period + QStringList{u"--company"_s, u"12"_s});
    ASSERT_EQ(r.status, CliStatus::Ok) << r.err.toStdString();
    const QStringList lines = r.out.split(u"\r\n"_s, Qt::SkipEmptyParts);
    EXPECT_EQ(lines.front(), u"ProductID,ProductName,SaleQty,SaleBns,GrossSaleValue,ReturnQty,"
                             u"ReturnBns,NetQty,NetBns,ReturnTTLValue,NetSaleValue,SectorID,"
                             u"TownID,SectorName,TownName"_s);
    const auto rows =
        queryRows(u"product-wise-sales"_s,
                  {QDate(2026, 3, 1), QDate(2026, 5, 31), {{u"company"_s, u"12"_s}}, {}});
    ASSERT_EQ(lines.size() - 1, rows->rowCount());
    for (int row = 0; row < rows->rowCount(); ++row)
        EXPECT_TRUE(lines[row + 1].startsWith(rows->text(0, row) + u','))
            << row; // the query's order, not the layout's

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"product.pdf"_s);
    ASSERT_EQ(run(u"product-wise-sales"_s, period + QStringList{u"--pdf"_s, pdf}).status,
              CliStatus::Ok);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(u"Product Wise Sale"_s));
    EXPECT_TRUE(text.contains(u"From : 01/03/2026, To : 31/05/2026"_s));
    EXPECT_TRUE(text.contains(u"Product total"_s));

    const Outcome none =
        run(u"product-wise-sales"_s, period + QStringList{u"--company"_s, u"97"_s});
    EXPECT_EQ(none.status, CliStatus::NoRecord);
}
