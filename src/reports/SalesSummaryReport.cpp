#include "reports/SalesSummaryReport.h"

#include "reports/CompanyName.h"
#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

const SalesSummaryReport &SalesSummaryReport::instance()
{
    static const SalesSummaryReport definition;
    return definition;
}

SalesSummaryReport::SalesSummaryReport()
    : ReportDefinition(ReportKind::SalesSummary, WindowDesign{},
                       {StandardFields::customer(), StandardFields::sector(ChangeRule::Clear, 3),
                        StandardFields::town(ChangeRule::Clear, 3)})
{
}

QString SalesSummaryReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    // The received amount is the invoice's own, stored once on it: taken once per invoice
    // (its lines all carry the same value), not added up over the lines joined to it.
    return u"select s.saleid,s.saledate,c.partyname as customername,sr.sectorname,t.townname,sr.SectorId,t.townId, "_s +
           u" sum(sb.Qty*sb.Price) as Grossvalue "_s +
           u" ,sum(sb.Qty*((sb.Price*sb.Discratio/100)+sb.Discvalue)) as Totaldisc "_s +
           u" ,sum(sb.Qty*((sb.Price*sb.stratio/100)+sb.stvalue)) as Salestax "_s +
           u" ,sum(TTLValue+TTLSalestax) as NetValue,Max(s.ReceivedAmount) asReceivedAmount "_s +
           u" from sales s join salesbody sb on s.saleid=sb.saleid "_s +
           u" join parties c on c.partyid=s.customerid "_s +
           u" join sectors sr on sr.sectorid=s.sectorid "_s +
           u" join towns t on t.townid=sr.townid "_s + u" where s.saledate between '"_s +
           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
           SqlDates::literal(dialect, criteria.to) + u"'"_s +
           SalesRegisterReport::clauses(criteria) +
           u" group by s.saleid,s.saledate,c.partyname,sr.sectorname,t.townname,sr.SectorId,t.townId "_s +
           u" order by s.saleid,sr.sectorname,t.townname"_s;
}

void SalesSummaryReport::prepare(Report &report, const ReportCriteria &criteria,
                                 const Recordset &rows, const Connection &connection) const
{
    report.SelectPrinter(u"AD"_s, u"AEEL"_s, u"LPT1"_s);
    report.SetPaperOrientation(2);
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.Database().SetDataSource(rows);
}
