#include "reports/SaleReturnRegisterReport.h"

#include "db/Recordset.h"
#include "presentation/Report.h"
#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"

using namespace Qt::StringLiterals;

const SaleReturnRegisterReport &SaleReturnRegisterReport::instance()
{
    static const SaleReturnRegisterReport definition;
    return definition;
}

SaleReturnRegisterReport::SaleReturnRegisterReport()
    : ReportDefinition(ReportKind::SaleReturnRegister, WindowDesign{},
                       {StandardFields::customer(), StandardFields::sector(),
                        StandardFields::town(), StandardFields::invoiceFrom(false),
                        StandardFields::invoiceTo(false)})
{
}

QString SaleReturnRegisterReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    return u"select sr.sectorname,t.townname,r.salereturnid,r.Salereturndate,r.saleid,c.partyname as customername "_s +
           u" ,pr.productid,pr.productname "_s +
           u" ,rb.qty,rb.bonus,rb.price,(rb.Qty*rb.Price) as Grossvalue "_s +
           u" ,(rb.Qty*((rb.Price*rb.Discratio/100)+rb.Discvalue)) as Totaldisc "_s +
           u" ,rb.Qty*((rb.Price*rb.stratio/100)+rb.stvalue) as salestax "_s +
           u" ,rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue)) as NetValue,r.SpecialDiscount,r.PaidAmount,r.ComRatio,r.ExpMinus,r.ExpPlus, Units.UnitName, rb.Multiplier "_s +
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s +
           u" join parties c on c.partyid=r.customerid join products pr on pr.productid=rb.productid "_s +
           u" join sectors sr on sr.sectorid=r.sectorid "_s +
           u" join towns t on t.townid=sr.townid INNER JOIN  Units ON pr.UnitID = Units.UnitID "_s +
           u" where 1=1 AND r.Salereturndate between '"_s +
           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
           SqlDates::literal(dialect, criteria.to) + u"'"_s +
           StandardFields::invoiceRange(criteria, u" And"_s, u"r.salereturnid"_s) +
           SalesRegisterReport::clauses(criteria) +
           u" order by r.salereturnid,sr.sectorid,t.townid,rb.productid"_s;
}

void SaleReturnRegisterReport::prepare(Report &report, const ReportCriteria &criteria,
                                       const Recordset &rows, const Connection &) const
{
    // Neither printer nor company name: the layout's own printer, and no company line.
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    // The range boxes take any text: the query reads the number each starts with ("12a" is 12),
    // the report shows them as typed.
    report.textObject(u"txtInvoice"_s)
        .SetText(StandardFields::invoiceRangeText(criteria, *rows.rows(), u"salereturnid"_s, true));
    report.Database().SetDataSource(rows);
}
