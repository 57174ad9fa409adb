#include "AnalysesFixture.h"
#include "DemoFixture.h"
#include "reports/ReportCatalog.h"
#include "reports/HeadlessReport.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "host/DemoDatabase.h"
#include "presentation/Report.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

// Each report as its window hands it over, built without the window on a machine whose
// language is not English: the texts it writes into its layout (dates in English month
// names), its parameter fields, and every row of its query bound.
TEST(PreparedReports, WriteTheirTextsAndParameters)
{
    const auto demo = Connection::openSqlite(DemoFixture::path());
    auto scalar = [&](const QString &sql) { return demo->execute(sql)->text(0, 0); };
    const QString company = DemoDatabase::companyName();
    const QString town = scalar(u"select TownName from Towns where TownId = 3"_s);
    // The product with the most returned lines: one both ledgers list over the year.
    const QString product = scalar(u"select ProductId from SaleReturnsBody group by ProductId "
                                   u"order by count(*) desc, ProductId limit 1"_s);
    const QDate yearStart(2025, 7, 1), yearEnd(2026, 6, 30);
    const QString productText =
        u"Product : "_s + product + u"   "_s +
        scalar(u"select ProductName from Products where ProductId = '"_s + product + u"'"_s);
    const QDate from = AnalysesFixture::from(), to = AnalysesFixture::to();
    // An open range names the highest number listed.
    const QString highestSale = scalar(
        u"select max(s.SaleId) from Sales s join Sectors sr on sr.SectorId = s.SectorId where "
        u"sr.TownId = 3 and s.SaleDate between '2026-03-01' and '2026-05-31'"_s);
    const QString highestReturn = scalar(u"select max(SaleReturnID) from SaleReturns where "
                                         u"SaleReturnDate between '2025-07-01' and '2026-02-28'"_s);
    struct Case
    {
        ReportKind kind;
        bool analyses; // on the analyses' copy of the demo company
        ReportCriteria criteria;
        std::map<QString, QString> texts; // text object: its text
        QStringList parameters = {};
    };
    auto dates = [](const QString &from, const QString &to) -> QString {
        return u"Date Between : "_s + from + u" To "_s + to;
    };
    const std::vector<Case> cases{
        {ReportKind::SalesRegister,
         false,
         {from, to, {{u"town"_s, u"3"_s}, {u"invoice-from"_s, u"10"_s}}, {}},
         {{u"txtCompName"_s, company},
          {u"txtInvoice"_s, u"Invoiceno Between : 10 To "_s + highestSale}}},
        {ReportKind::SalesSummary,
         false,
         {QDate(2026, 3, 5), to, {}, {}},
         {{u"txtCompName"_s, company}, {u"txtDate"_s, dates(u"05-Mar-2026"_s, u"31-May-2026"_s)}}},
        {ReportKind::SaleReturnRegister,
         false,
         {QDate(2025, 7, 1), QDate(2026, 2, 28), {{u"invoice-from"_s, u"2a"_s}}, {}},
         {{u"txtDate"_s, dates(u"01-Jul-2025"_s, u"28-Feb-2026"_s)},
          {u"txtInvoice"_s, u"Invoiceno Between : 2a To "_s + highestReturn}}},
        {ReportKind::SaleReturnsSummary,
         false,
         {QDate(2025, 7, 1), QDate(2026, 3, 9), {}, {}},
         {{u"txtDate"_s, dates(u"01-Jul-2025"_s, u"09-Mar-2026"_s)}}},
        {ReportKind::CompanyWiseSale,
         true,
         {from, to, {{u"town"_s, u"0003"_s}}, {}},
         {},
         {u"From Date : 01/03/2026,   To Date : 31/05/2026"_s, u"Customer: All Customers"_s,
          u"Town: ( 3 ) "_s + town, u"Sector: All Sectors"_s}},
        {ReportKind::CompanySectorWiseSale,
         true,
         {from, to, {{u"company"_s, u"11"_s}}, {}},
         {},
         {u"Company:Crescent Agro Chemicals"_s, u"Sector:All Sectors"_s,
          u"From : 01/03/2026,   To : 31/05/2026"_s}},
        {ReportKind::ProductWiseSales,
         true,
         {from, to, {{u"company"_s, u"11"_s}}, {}},
         {},
         {u"From : 01/03/2026,   To : 31/05/2026"_s}},
        {ReportKind::CustomerTownSectorWiseSales,
         false,
         {QDate(2026, 6, 1),
          QDate(2026, 6, 30),
          {{u"town"_s, u"3"_s}, {u"company"_s, u"12"_s}},
          {}},
         {{u"txtCompName"_s, company}, {u"txtDate"_s, dates(u"01-Jun-2026"_s, u"30-Jun-2026"_s)}},
         {u"Company Name:"_s +
          scalar(u"select CompanyName from Companies where CompanyId = 12"_s)}},
        {ReportKind::ProductSalesLedger,
         false,
         {yearStart, yearEnd, {{u"product"_s, product}}, {}},
         {{u"txtProduct"_s, productText},
          {u"txtDate"_s, dates(u"01-Jul-2025"_s, u"30-Jun-2026"_s)},
          {u"txtCompName"_s, company}}},
        {ReportKind::ProductSaleReturnLedger,
         false,
         {from, to, {{u"product"_s, product}}, {}},
         {{u"txtProduct"_s, productText},
          {u"txtDate"_s, dates(u"01-Mar-2026"_s, u"31-May-2026"_s)}}},
        {ReportKind::SalesStockStatement,
         false,
         {QDate(2026, 4, 1), QDate(2026, 4, 30), {{u"company"_s, u"11"_s}}, {}},
         {{u"txtCompName"_s, company}, {u"txtDate"_s, dates(u"01-Apr-2026"_s, u"30-Apr-2026"_s)}}},
    };
    const auto analyses = Connection::openSqlite(AnalysesFixture::path());
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const Case &c : cases) {
        const ReportEntry &entry = ReportCatalog::entry(c.kind);
        SCOPED_TRACE(entry.commandName.toStdString());
        const Connection &db = c.analyses ? *analyses : *demo;
        HeadlessReport built(*ReportCatalog::definition(entry), c.criteria, db);
        ASSERT_EQ(built.build(ReportAction::Print), HeadlessReport::Outcome::Built)
            << built.message().text.toStdString();
        Report &report = *built.report();
        EXPECT_EQ(report.layout().name, entry.layout);
        EXPECT_EQ(built.sqlText(),
                  ReportCatalog::definition(entry)->query(built.criteria(), db.dialect()));
        EXPECT_EQ(report.rowCount(), built.rows().recordCount());
        // The layout's own texts ("txt...") are all written, none left as designed; every
        // page header names the company.
        std::map<QString, QString> texts = c.texts;
        texts.emplace(u"txtPageCompany"_s, company);
        QStringList written, own;
        for (const auto &[object, text] : texts) {
            EXPECT_EQ(report.textObject(object).text(), text) << object.toStdString();
            written.append(object);
        }
        for (const auto &o : report.objects()) {
            if (o->kind() == ReportObject::Kind::Text && o->Name().startsWith(u"txt"_s))
                own.append(o->Name());
        }
        own.sort();
        EXPECT_EQ(own, written);
        QStringList parameters;
        for (int k = 1; k <= report.parameterFieldCount(); ++k)
            parameters.append(report.parameterValue(k));
        EXPECT_EQ(parameters, c.parameters);
    }
    QLocale::setDefault(before);
}
