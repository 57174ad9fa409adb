#include "reports/ProductSalesLedgerReport.h"

#include "presentation/Report.h"
#include "reports/CompanyName.h"

using namespace Qt::StringLiterals;

const ProductSalesLedgerReport &ProductSalesLedgerReport::instance()
{
    static const ProductSalesLedgerReport definition;
    return definition;
}

ProductSalesLedgerReport::ProductSalesLedgerReport()
    : ProductLedgerReport(
          {u"select s.saleid,s.saledate,c.partyname as customername,sr.sectorname,t.townname "_s,
           u" from sales s join salesbody sb on s.saleid=sb.saleid "_s, u"s"_s, u"sb"_s,
           u"saledate"_s, u"s.saleid,s.saledate,customername"_s})
{
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
