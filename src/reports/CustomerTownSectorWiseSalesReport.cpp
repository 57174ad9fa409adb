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
    return {StandardFields::town(ChangeRule::Clear, 3),
            StandardFields::sector(ChangeRule::Clear, 3), customer, company,
            PeriodComparison::field()};
}

} // namespace

const CustomerTownSectorWiseSalesReport &CustomerTownSectorWiseSalesReport::instance()
{
    static const CustomerTownSectorWiseSalesReport definition;
    return definition;
}

CustomerTownSectorWiseSalesReport::CustomerTownSectorWiseSalesReport()
    : ReportDefinition(WindowDesign{}, windowFields())
{
}

const PeriodComparison::Design *CustomerTownSectorWiseSalesReport::comparison() const
{
    static const PeriodComparison::Design design{
        {u"townid"_s, u"sectorid"_s, u"customerid"_s},
        {u"townname"_s, u"sectorname"_s, u"customername"_s},
        {u"SalesValue"_s, u"ReturnsValue"_s},
        {{u"NetSales"_s, u"SalesValue"_s, u"ReturnsValue"_s}}};
    return &design;
}

std::optional<Refusal> CustomerTownSectorWiseSalesReport::refusal(const ReportCriteria &criteria,
                                                                 ReportAction) const
{
    return comparisonRefusal(criteria);
}

QString CustomerTownSectorWiseSalesReport::conditions(const ReportCriteria &criteria,
                                                      const QString &lines)
{
    using namespace StandardFields;
    // The company is the first two characters of the product id, compared as text: a typed
    // company id is one literal, never SQL of its own.
    return u" and t.TownID <> 0 "_s + quotedClause(criteria, townKey, u" and t.townid='"_s) +
           quotedClause(criteria, sectorKey, u" and sr.sectorid='"_s) +
           quotedClause(criteria, customerKey, u" and c.partyid='"_s) +
           quotedClause(criteria, companyKey, u" and Left("_s + lines + u".productId,2) ='"_s);
}

QString CustomerTownSectorWiseSalesReport::query(const ReportCriteria &criteria,
                                                 SqlDialect dialect) const
{
    // Sale lines and return lines are gathered apart and summed together, so that no line is
    // paired with another: each sale line of the period once, under the sale's own customer,
    // sector and town, and each line of a return against such a sale, in the sale's sector,
    // once in the same row, whatever the return's own date or party.
    const QString sale =
        u"select t.townid,t.townname,sr.sectorid,sr.sectorname,c.partyid as customerid,c.partyname as customername "_s;
    const QString fromSales = u" from towns t join sectors sr on t.townid=sr.townid "_s +
                              u" join sales s on s.sectorid=sr.sectorid "_s +
                              u" join parties c on c.partyid=s.customerid "_s;
    const QString period = u" where s.saledate between '"_s +
                           SqlDates::literal(dialect, criteria.from) + u"' and '"_s +
                           SqlDates::literal(dialect, criteria.to) + u"' "_s;
    return u"select townid,townname,sectorid,sectorname,customerid,customername "_s +
           u" ,sum(SalesValue) as SalesValue,sum(ReturnsValue) as ReturnsValue,null as CompanyID "_s +
           u" from ("_s + sale +
           u" ,sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue)) as SalesValue,null as ReturnsValue "_s +
           fromSales + u" join salesbody sb on s.saleid=sb.saleid "_s + period +
           conditions(criteria, u"sb"_s) + u" union all "_s + sale +
           u" ,null as SalesValue,rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue)) as ReturnsValue "_s +
           fromSales + u" join salereturns r on r.saleid=s.saleid and r.sectorid=sr.sectorid "_s +
           u" join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s + period +
           conditions(criteria, u"rb"_s) + u") lines "_s +
           u" group by townid,townname,sectorid,sectorname,customerid,customername "_s +
           u" order by townname,sectorname,customername"_s;
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
