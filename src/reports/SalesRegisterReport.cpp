#include "reports/SalesRegisterReport.h"

#include "reports/CompanyName.h"
#include "reports/IdLookup.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

// The number in an invoice box (digits only); the default when it is blank.
QString bound(const QString &typed, const QString &fallback)
{
    const QString trimmed = typed.trimmed();
    return trimmed.isEmpty() ? fallback : IdLookup::leadingNumber(trimmed);
}

} // namespace

const SalesRegisterReport &SalesRegisterReport::instance()
{
    static const SalesRegisterReport definition;
    return definition;
}

SalesRegisterReport::SalesRegisterReport()
    : ReportDefinition(ReportKind::SalesRegister, WindowDesign{},
                       {StandardFields::customer(), StandardFields::sector(),
                        StandardFields::town(ChangeRule::ClearWhenEmpty),
                        StandardFields::invoiceFrom(true), StandardFields::invoiceTo(true)})
{
}

QString SalesRegisterReport::fromBound(const ReportCriteria &criteria)
{
    return bound(criteria.text(StandardFields::invoiceFromKey), u"1"_s);
}

QString SalesRegisterReport::toBound(const ReportCriteria &criteria)
{
    return bound(criteria.text(StandardFields::invoiceToKey), u"99999"_s);
}

QString SalesRegisterReport::clauses(const ReportCriteria &criteria)
{
    return StandardFields::quotedClause(criteria, StandardFields::customerKey,
                                        u" and c.partyid='"_s) +
           StandardFields::quotedClause(criteria, StandardFields::sectorKey,
                                        u" and sr.sectorid='"_s) +
           StandardFields::quotedClause(criteria, StandardFields::townKey, u" and t.townid='"_s);
}

QString SalesRegisterReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    return u"select sr.sectorname,t.townname,s.saleid,s.saledate,c.partyname as customername "_s +
           u" ,pr.productid,pr.productname "_s +
           u" ,sb.qty,sb.bonus,sb.price,(sb.Qty*sb.Price) as Grossvalue "_s +
           u" ,(sb.Qty*((sb.Price*sb.Discratio/100)+sb.Discvalue)) as Totaldisc "_s +
           u" ,sb.Qty*((sb.Price*sb.stratio/100)+sb.stvalue) as Salestax "_s +
           u" ,sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue)) as NetValue "_s +
           u" from sales s join salesbody sb on s.saleid=sb.saleid "_s +
           u" join parties c on c.partyid=s.customerid join products pr on pr.productid=sb.productid "_s +
           u" join sectors sr on sr.sectorid=s.sectorid "_s +
           u" join towns t on t.townid=sr.townid "_s + u" where s.saleid between "_s +
           fromBound(criteria) + u" and "_s + toBound(criteria) + u" and s.saledate between '"_s +
           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
           SqlDates::literal(dialect, criteria.to) + u"'"_s + clauses(criteria) +
           u" order by s.saleid,sr.sectorid,t.townid,sb.productid"_s;
}

QString SalesRegisterReport::invoiceText(const ReportCriteria &criteria)
{
    return u"Invoiceno Between : "_s + fromBound(criteria) + u" To "_s + toBound(criteria);
}

void SalesRegisterReport::prepare(Report &report, const ReportCriteria &criteria,
                                  const Recordset &rows, const Connection &connection) const
{
    report.SelectPrinter(u"ABC"_s, u"XYZ"_s, u"LPT1"_s);
    report.SetPaperOrientation(1);
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"txtInvoice"_s).SetText(invoiceText(criteria));
    report.Database().SetDataSource(rows);
}
