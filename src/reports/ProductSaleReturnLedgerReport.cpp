#include "reports/ProductSaleReturnLedgerReport.h"

#include "presentation/Report.h"

using namespace Qt::StringLiterals;

const ProductSaleReturnLedgerReport &ProductSaleReturnLedgerReport::instance()
{
    static const ProductSaleReturnLedgerReport definition;
    return definition;
}

ProductSaleReturnLedgerReport::ProductSaleReturnLedgerReport()
    : ProductLedgerReport(
          {u"select r.salereturnid,r.SaleReturnDate,r.saleid,c.partyname as customername,sr.sectorname,t.townname "_s,
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s,
           u"r"_s, u"rb"_s, u"r.SaleReturnDate"_s,
           u"r.salereturnid,r.SaleReturnDate,customername"_s})
{
}

void ProductSaleReturnLedgerReport::prepare(Report &report, const ReportCriteria &criteria,
                                            const Recordset &rows, const Connection &) const
{
    // Neither printer nor company name: the layout keeps its own printer and paper.
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.textObject(u"txtProduct"_s).SetText(productText(criteria));
    report.Database().SetDataSource(rows);
}
