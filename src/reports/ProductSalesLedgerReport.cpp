#include "reports/ProductSalesLedgerReport.h"

#include "reports/CompanyName.h"
#include "reports/IdLookup.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

const ProductSalesLedgerReport &ProductSalesLedgerReport::instance()
{
    static const ProductSalesLedgerReport definition;
    return definition;
}

ProductSalesLedgerReport::ProductSalesLedgerReport()
    : ProductLedgerReport(ReportKind::ProductSalesLedger)
{
}

QString ProductSalesLedgerReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    // Ordered by the select list's customer name: the parties table has a party name only.
    return u"select s.saleid,s.saledate,c.partyname as customername,sr.sectorname,t.townname "_s +
           u" ,sb.qty,sb.bonus,sb.price,(sb.Qty*sb.Price) as Grossvalue "_s +
           u" ,sb.Qty*((sb.Price*sb.Discratio/100)+sb.Discvalue) as Totaldisc "_s +
           u" ,sb.Qty*((sb.Price*sb.stratio/100)+sb.stvalue) as Salestax "_s +
           u" ,sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue)) as NetValue "_s +
           u" from sales s join salesbody sb on s.saleid=sb.saleid "_s +
           u" join parties c on c.partyid=s.customerid "_s +
           u" join sectors sr on sr.sectorid=s.sectorid "_s +
           u" join towns t on t.townid=sr.townid "_s + u" where saledate between '"_s +
           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
           SqlDates::literal(dialect, criteria.to) + u"'"_s +
           u" and sb.productid='"_s +
           IdLookup::quoted(criteria.text(StandardFields::productKey)) + u"' "_s +
           u" order by s.saleid,s.saledate,customername"_s;
}

void ProductSalesLedgerReport::prepare(Report &report, const ReportCriteria &criteria,
                                       const Recordset &rows, const Connection &connection) const
{
    report.SelectPrinter(u"AD"_s, u"AEEL"_s, u"LPT1"_s);
    report.SetPaperOrientation(2);
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.textObject(u"txtProduct"_s).SetText(productText(criteria));
    report.Database().SetDataSource(rows);
}
