#include "DemoFixture.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/LayoutLibrary.h"
#include "presentation/PageRenderer.h"
#include "presentation/Report.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Expectation
{
    QString layout;
    QString sql;
    QStringList textObjects;
    int parameters;
    int orientation; // as the report's window sets it, or the layout's own
};

} // namespace

// Each report's layout takes exactly its report's result columns, text objects and parameter
// fields, and makes pages from the demo company's data.
TEST(BuiltInLayouts, BindRenderAndExportEachReport)
{
    const QString from = u"2026-01-01"_s, to = u"2026-06-30"_s;
    const auto connection = Connection::openSqlite(DemoFixture::path());
    // A product that was both sold and returned in the period, for the two ledgers.
    const QString product = connection
                                ->execute(u"select min(rb.ProductId) from SaleReturnsBody rb join "
                                          u"SaleReturns r on r.SaleReturnID = "
                                          u"rb.SaleReturnID where r.SaleReturnDate between '"_s +
                                          from + u"' and '"_s + to + u"'"_s)
                                ->text(0, 0);
    ASSERT_FALSE(product.isEmpty());
    const std::vector<Expectation> expectations = {
        {u"crpSalesRegisterIW"_s,
         ReferenceQueries::salesRegister(from, to, {}),
         {u"txtCompName"_s, u"txtInvoice"_s},
         0,
         1},
        {u"crpSalesSummary"_s,
         ReferenceQueries::salesSummary(from, to, {}),
         {u"txtCompName"_s, u"txtDate"_s},
         0,
         2},
        {u"crpSaleReturnsRegisterIW"_s,
         ReferenceQueries::saleReturnRegister(from, to,
                                              u" And r.salereturnid between 1 and 99999"_s, {}),
         {u"txtDate"_s, u"txtInvoice"_s},
         0,
         2},
        {u"crpSaleReturnsSummary"_s,
         ReferenceQueries::saleReturnsSummary(from, to, {}),
         {u"txtDate"_s},
         0,
         2},
        {u"CrpCompanyWiseSale"_s, ReferenceQueries::companyWiseSale(from, to, {}), {}, 4, 1},
        {u"CrpCompanySectorWiseSale"_s,
         ReferenceQueries::companySectorWiseSale(from, to, u"11"_s, {}),
         {},
         3,
         2},
        {u"crpSalesCTSwise"_s,
         ReferenceQueries::customerTownSectorWiseSales(from, to, u" and t.TownID <> 0 "_s),
         {u"txtCompName"_s, u"txtDate"_s},
         1,
         1},
        {u"CrpProductWiseSale"_s, ReferenceQueries::productWiseSales(from, to, {}), {}, 1, 1},
        {u"CrpProductSalesLedger"_s,
         ReferenceQueries::productSalesLedger(from, to, product),
         {u"txtCompName"_s, u"txtDate"_s, u"txtProduct"_s},
         0,
         2},
        {u"crpSaleReturnsLedger"_s,
         ReferenceQueries::productSaleReturnLedger(from, to, product),
         {u"txtDate"_s, u"txtProduct"_s},
         0,
         2},
        {u"crpSalesStockStatement"_s,
         ReferenceQueries::salesStockStatement(from, to, {}),
         {u"txtCompName"_s, u"txtDate"_s},
         0,
         1},
    };
    QStringList names;
    for (const Expectation &e : expectations)
        names.append(e.layout);
    names.sort(Qt::CaseSensitive);
    QStringList builtIn = LayoutLibrary::builtInNames();
    builtIn.sort(Qt::CaseSensitive);
    EXPECT_EQ(builtIn, names);

    QTemporaryDir folder;
    for (const Expectation &e : expectations) {
        SCOPED_TRACE(e.layout.toStdString());
        auto report = Report::fromLayout(e.layout);
        QStringList texts;
        for (const auto &o : report->objects()) {
            if (o->kind() == ReportObject::Kind::Text && o->Name().startsWith(u"txt"_s))
                texts.append(o->Name());
        }
        texts.sort();
        QStringList expected = e.textObjects;
        expected.sort();
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(report->parameterFieldCount(), e.parameters);
        EXPECT_EQ(report->PaperOrientation(), e.orientation);
        for (const QString &t : e.textObjects)
            report->textObject(t).SetText(t + u" text"_s);
        for (int k = 1; k <= e.parameters; ++k)
            report->ParameterFields(k).AddCurrentValue(u"parameter %1"_s.arg(k));

        Recordset rs;
        rs.open(e.sql, *connection);
        ASSERT_GT(rs.recordCount(), 0);
        report->Database().SetDataSource(rs, 3, 1);
        ASSERT_GT(report->pageCount(), 0);
        const PageContent first = report->page(0);
        int fromRows = 0;
        for (const PageItem &item : first.items)
            fromRows += report->objects()[size_t(item.object)]->layout().type == ObjectType::Field;
        EXPECT_GT(fromRows, 3);

        QImage image(500, 700, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PageRenderer(*report, painter, 500.0 / report->pageSize().width()).render(first);
        painter.end();
        EXPECT_TRUE(report->exportPdf(folder.filePath(e.layout + u".pdf"_s)));
    }
}
