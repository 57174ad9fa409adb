#include "reports/SaleReturnsSummaryReport.h"

#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

const SaleReturnsSummaryReport &SaleReturnsSummaryReport::instance()
{
    static const SaleReturnsSummaryReport definition;
    return definition;
}

// The boxes of the sales summary's window.
SaleReturnsSummaryReport::SaleReturnsSummaryReport()
    : ReportDefinition(ReportKind::SaleReturnsSummary, WindowDesign{},
                       {StandardFields::customer(), StandardFields::sector(ChangeRule::Clear, 3),
                        StandardFields::town(ChangeRule::Clear, 3)})
{
}

QString SaleReturnsSummaryReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    return u"select r.salereturnid,r.Salereturndate,r.saleid,c.partyname as customername,sr.sectorname,t.townname "_s +
           u" ,sum(rb.Qty*rb.Price) as Grossvalue "_s +
           u" ,sum(rb.Qty*((rb.Price*rb.Discratio/100)+rb.Discvalue)) as Totaldisc "_s +
           u" ,sum(rb.Qty*((rb.Price*rb.stratio/100)+rb.stvalue)) as Salestax "_s +
           u" ,sum(rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue))) as NetValue,T.TownId,Sr.SectorId "_s +
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s +
           u" join parties c on c.partyid=r.customerid "_s +
           u" join sectors sr on sr.sectorid=r.sectorid "_s +
           u" join towns t on t.townid=sr.townid "_s + u" where r.Salereturndate between '"_s +
           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
           SqlDates::literal(dialect, criteria.to) + u"'"_s +
           SalesRegisterReport::clauses(criteria) +
           u" group by r.salereturnid,r.Salereturndate,r.saleid,c.partyname,sr.sectorname,t.townname,T.TownId,Sr.SectorId "_s +
           u" order by r.salereturnid,sr.sectorname,t.townname"_s;
}

void SaleReturnsSummaryReport::prepare(Report &report, const ReportCriteria &criteria,
                                       const Recordset &rows, const Connection &) const
{
    // Neither printer nor company name: the layout's own printer, and no company line.
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.Database().SetDataSource(rows);
}
