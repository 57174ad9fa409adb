#include "LayoutQueries.h"

#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "reports/MonthlySalesReport.h"

using namespace Qt::StringLiterals;

namespace LayoutQueries {

std::vector<std::pair<QString, QString>> all(const Connection &db, const QString &from,
                                             const QString &to)
{
    const QString product =
        db.execute(u"select min(rb.ProductId) from SaleReturnsBody rb join SaleReturns r on "
                   u"r.SaleReturnID = rb.SaleReturnID where r.SaleReturnDate between '"_s +
                   from + u"' and '"_s + to + u"'"_s)
            ->text(0, 0);
    using namespace ReferenceQueries;
    return {
        {u"crpSalesRegisterIW"_s, salesRegister(from, to, {})},
        {u"crpSalesSummary"_s, salesSummary(from, to, {})},
        {u"crpSaleReturnsRegisterIW"_s,
         saleReturnRegister(from, to, u" And r.salereturnid between 1 and 99999"_s, {})},
        {u"crpSaleReturnsSummary"_s, saleReturnsSummary(from, to, {})},
        {u"CrpCompanyWiseSale"_s, companyWiseSale(from, to, {})},
        {u"CrpCompanySectorWiseSale"_s, companySectorWiseSale(from, to, u"11"_s, {})},
        {u"crpSalesCTSwise"_s, customerTownSectorWiseSales(from, to, u" and t.TownID <> 0 "_s)},
        {u"CrpProductWiseSale"_s, productWiseSales(from, to, {})},
        {u"crpMonthlySales"_s,
         MonthlySalesReport::instance().query({QDate::fromString(from, u"yyyy-MM-dd"_s),
                                               QDate::fromString(to, u"yyyy-MM-dd"_s), {}, {}},
                                              db.dialect())},
        {u"CrpProductSalesLedger"_s, productSalesLedger(from, to, product)},
        {u"crpSaleReturnsLedger"_s, productSaleReturnLedger(from, to, product)},
        {u"crpSalesStockStatement"_s, salesStockStatement(from, to, {})},
    };
}

} // namespace LayoutQueries
