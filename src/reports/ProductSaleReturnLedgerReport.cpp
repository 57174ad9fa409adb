#include "reports/ProductSaleReturnLedgerReport.h"

#include "reports/IdLookup.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

const ProductSaleReturnLedgerReport &ProductSaleReturnLedgerReport::instance()
{
    static const ProductSaleReturnLedgerReport definition;
    return definition;
}

ProductSaleReturnLedgerReport::ProductSaleReturnLedgerReport()
    : ProductLedgerReport(ReportKind::ProductSaleReturnLedger)
{
}

QString ProductSaleReturnLedgerReport::query(const ReportCriteria &criteria,
                                             SqlDialect dialect) const
{
    // Ordered by the select list's customer name: the parties table has a party name only.
    return u"select r.salereturnid,r.SaleReturnDate,r.saleid,c.partyname as customername,sr.sectorname,t.townname "_s +
           u" ,rb.qty,rb.bonus,rb.price,(rb.Qty*rb.Price) as Grossvalue "_s +
           u" ,rb.Qty*((rb.Price*rb.Discratio/100)+rb.Discvalue) as Totaldisc "_s +
           u" ,rb.Qty*((rb.Price*rb.stratio/100)+rb.stvalue) as Salestax "_s +
           u" ,rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue)) as NetValue "_s +
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s +
           u" join parties c on c.partyid=r.customerid "_s +
           u" join sectors sr on sr.sectorid=r.sectorid "_s +
           u" join towns t on t.townid=sr.townid "_s + u" where r.SaleReturnDate between '"_s +
           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
           SqlDates::literal(dialect, criteria.to) + u"'"_s +
           u" and rb.productid='"_s +
           IdLookup::quoted(criteria.text(StandardFields::productKey)) + u"' "_s +
           u" order by r.salereturnid,r.SaleReturnDate,customername"_s;
}

void ProductSaleReturnLedgerReport::prepare(Report &report, const ReportCriteria &criteria,
                                            const Recordset &rows, const Connection &) const
{
    // Neither printer nor company name: the layout keeps its own printer and paper.
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.textObject(u"txtProduct"_s).SetText(productText(criteria));
    report.Database().SetDataSource(rows);
}
