#include "reports/SalesRegisterReport.h"

#include "db/Recordset.h"
#include "presentation/Report.h"
#include "reports/CompanyName.h"
#include "reports/StandardFields.h"

using namespace Qt::StringLiterals;

const SalesRegisterReport &SalesRegisterReport::instance()
{
    static const SalesRegisterReport definition;
    return definition;
}

SalesRegisterReport::SalesRegisterReport()
    : ReportDefinition(WindowDesign{},
                       {StandardFields::customer(), StandardFields::sector(),
                        StandardFields::town(ChangeRule::ClearWhenEmpty),
                        StandardFields::invoiceFrom(true), StandardFields::invoiceTo(true)})
{
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
           u" join towns t on t.townid=sr.townid "_s +
           StandardFields::invoiceRange(criteria, u" where"_s, u"s.saleid"_s) +
           u" and s.saledate between '"_s + SqlDates::literal(dialect, criteria.from) +
           u"' and '"_s + SqlDates::literal(dialect, criteria.to) + u"'"_s + clauses(criteria) +
           StandardFields::quotedClause(criteria, StandardFields::companyKey,
                                        u" and LEFT(pr.productid, 2)='"_s) +
           StandardFields::quotedClause(criteria, StandardFields::productKey,
                                        u" and pr.productid='"_s) +
           u" order by s.saleid,sr.sectorid,t.townid,sb.productid"_s;
}

QStringList SalesRegisterReport::drillCriteria(const ReportCriteria &criteria) const
{
    QStringList parts;
    for (const auto &[key, caption] : {std::pair{StandardFields::companyKey, u"Company"_s},
                                       std::pair{StandardFields::productKey, u"Product"_s}}) {
        if (criteria.given(key))
            parts.append(caption + u' ' + criteria.text(key).trimmed());
    }
    return parts;
}

void SalesRegisterReport::prepare(Report &report, const ReportCriteria &criteria,
                                  const Recordset &rows, const Connection &connection) const
{
    report.SelectPrinter(u"ABC"_s, u"XYZ"_s, u"LPT1"_s);
    report.SetPaperOrientation(1);
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"txtInvoice"_s)
        .SetText(StandardFields::invoiceRangeText(criteria, *rows.rows(), u"saleid"_s, false));
    report.Database().SetDataSource(rows);
}
