#include "reports/CustomerTownSectorWiseSalesReport.h"

#include "reports/CompanyName.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

std::vector<CriteriaField> windowFields()
{
    CriteriaField customer = StandardFields::customer();
    customer.lookupStart = u"Select Parties.* FROM Parties  Where IsCustomer=1 "_s;
    CriteriaField company = StandardFields::company(ChangeRule::Clear, 3);
    company.button = u"BtnSchCopmany"_s;
    company.f1 = false; // the company is picked with its button only
    return {StandardFields::town(ChangeRule::Clear, 3), StandardFields::sector(ChangeRule::Clear, 3),
            customer, company};
}

} // namespace

const CustomerTownSectorWiseSalesReport &CustomerTownSectorWiseSalesReport::instance()
{
    static const CustomerTownSectorWiseSalesReport definition;
    return definition;
}

CustomerTownSectorWiseSalesReport::CustomerTownSectorWiseSalesReport()
    : ReportDefinition(ReportKind::CustomerTownSectorWiseSales, WindowDesign{}, windowFields())
{
}

QString CustomerTownSectorWiseSalesReport::conditions(const ReportCriteria &criteria)
{
    using namespace StandardFields;
    // The company is the first two characters of the product id, compared as text: a typed
    // company id is one literal, never SQL of its own.
    return u" and t.TownID <> 0 "_s + quotedClause(criteria, townKey, u" and t.townid='"_s) +
           quotedClause(criteria, sectorKey, u" and sr.sectorid='"_s) +
           quotedClause(criteria, customerKey, u" and c.partyid='"_s) +
           quotedClause(criteria, companyKey, u" and Left(Sb.productId,2) ='"_s);
}

QString CustomerTownSectorWiseSalesReport::query(const ReportCriteria &criteria,
                                                 SqlDialect dialect) const
{
    return u"select t.townid,t.townname,sr.sectorid,sr.sectorname,c.partyid as customerid,c.partyname as customername "_s +
           u" ,sum(sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue))) as SalesValue "_s +
           u" ,sum(rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue))) as ReturnsValue,Companies.CompanyID "_s +
           u" from towns t join sectors sr on t.townid=sr.townid "_s +
           u" join sales s on s.sectorid=sr.sectorid "_s +
           u" join salesbody sb on s.saleid=sb.saleid "_s +
           u" left join salereturns r on r.saleid=s.saleid and r.sectorid=sr.sectorid "_s +
           u" left join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s +
           u" join parties c on c.partyid=s.customerid or c.partyid=r.customerid LEFT OUTER JOIN Companies ON rb.ProductID = Companies.CompanyID "_s +
           u" where 1=1 And((s.saledate between '"_s + SqlDates::literal(dialect, criteria.from) +
           u"' and '"_s + SqlDates::literal(dialect, criteria.to) + u"') "_s +
           conditions(criteria) + u")"_s +
           u" group by t.townid,t.townname,sr.sectorid,sr.sectorname,c.partyid,c.partyname,Companies.CompanyID "_s +
           u" order by t.townname,sr.sectorname,c.partyname"_s;
}

QString CustomerTownSectorWiseSalesReport::companyText(const ReportCriteria &criteria)
{
    return u"Company Name:"_s + criteria.name(StandardFields::companyKey).trimmed();
}

void CustomerTownSectorWiseSalesReport::prepare(Report &report, const ReportCriteria &criteria,
                                                const Recordset &rows,
                                                const Connection &connection) const
{
    // The layout's own printer and paper stay as they are.
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.ParameterFields(1).AddCurrentValue(companyText(criteria));
    report.Database().SetDataSource(rows, 3, 1);
}
