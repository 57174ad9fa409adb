#include "reports/CompanyWiseSaleReport.h"

#include "reports/IdLookup.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

const QString crlf = u"\r\n"_s;

// "Town: ( 12 ) Glenarm", or "Town: All Towns" while the box is blank.
QString chosen(const ReportCriteria &criteria, const QString &key, const QString &label,
               const QString &id, const QString &all)
{
    if (!criteria.given(key))
        return label + u": "_s + all;
    return label + u": ( "_s + id + u" ) "_s + criteria.name(key).trimmed();
}

// DtpFrom and DtpTo; built in two steps; Enter thrown away once it has moved the focus.
WindowDesign windowDesign()
{
    WindowDesign d = ReportDefinition::twoStepWindow();
    d.emptyFocus = u"txtCustomerID"_s; // after "No record found" in Preview
    return d;
}

CriteriaField customerField()
{
    CriteriaField f = StandardFields::labelledCustomer(
        ChangeRule::DefaultTextAlways, u" Select * FROM Parties where IsCustomer = 1 "_s);
    return f;
}

} // namespace

const CompanyWiseSaleReport &CompanyWiseSaleReport::instance()
{
    static const CompanyWiseSaleReport definition;
    return definition;
}

CompanyWiseSaleReport::CompanyWiseSaleReport()
    : ReportDefinition(windowDesign(),
                       {customerField(),
                        StandardFields::labelledTown(ChangeRule::DefaultTextAlways),
                        StandardFields::labelledSector(ChangeRule::DefaultTextAlways),
                        PeriodComparison::field()})
{
}

const PeriodComparison::Design *CompanyWiseSaleReport::comparison() const
{
    static const PeriodComparison::Design design{
        {u"CompanyID"_s},
        {u"CompanyID"_s},
        {u"SaleValue"_s, u"ReturnValue"_s},
        {{u"NetSales"_s, u"SaleValue"_s, u"ReturnValue"_s}}};
    return &design;
}

std::optional<Refusal> CompanyWiseSaleReport::refusal(const ReportCriteria &criteria,
                                                      ReportAction) const
{
    if (auto refused = periodRefusal(criteria, design().fromControl))
        return refused;
    return comparisonRefusal(criteria);
}

QString CompanyWiseSaleReport::filter(const ReportCriteria &criteria)
{
    // CustomerId is the sale's customer in the sales branch and the return's in the other.
    const QString customer = StandardFields::quotedClause(criteria, StandardFields::customerKey,
                                                          u" And CustomerId='"_s, u"' "_s);
    return customer +
           StandardFields::numberClause(criteria, StandardFields::townKey,
                                        u" And  Towns.TownId= "_s) +
           StandardFields::numberClause(criteria, StandardFields::sectorKey,
                                        u" And Sectors.SectorId= "_s);
}

QString CompanyWiseSaleReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    const QString from = SqlDates::literal(dialect, criteria.from);
    const QString to = SqlDates::literal(dialect, criteria.to);
    const QString f = filter(criteria);
    // No branch of units: its 0 in the text columns makes SQL Server type them as numbers and
    // refuse the query for the first product id or unit name that is not one. UnitName stays
    // a column, 0 on every row, for the layout and any reader of the columns.
    return u"SELECT AllData.CompanyID, Companies.CompanyName, isnull(sum(AllData.SaleValue),0) as SaleValue, isnull(sum(AllData.ReturnValue),0) as ReturnValue,UnitName "_s +
           crlf +
           u" FROM (SELECT LEFT(SalesBody.ProductId, 2) AS CompanyID, Sales.CustomerId, SUM(SalesBody.TTLValue + SalesBody.TTLSalestax) AS SaleValue, 0 as ReturnValue,0 as UnitName "_s +
           crlf + u" FROM Sectors INNER JOIN Towns ON Sectors.TownId = Towns.TownId "_s + crlf +
           u" INNER JOIN  Parties ON Sectors.SectorId = Parties.SectorId "_s + crlf +
           u" INNER JOIN Sales INNER JOIN SalesBody ON Sales.SaleId = SalesBody.SaleId ON Parties.PartyId = Sales.CustomerId "_s +
           crlf + u" Where Sales.SaleDate BETWEEN '"_s + from + u"' and '"_s + to + u"' "_s + f +
           crlf + u" GROUP BY LEFT(SalesBody.ProductId, 2), Sales.CustomerId "_s + crlf +
           u" Union All "_s + crlf +
           u" SELECT LEFT(SaleReturnsBody.ProductId, 2) AS CompanyID, SaleReturns.CustomerId, 0 as SalesValue, SUM(SaleReturnsBody.TTLValue + SaleReturnsBody.TTLSalestax) As Returnvalue,0 as UnitName "_s +
           crlf + u" FROM Sectors INNER JOIN Parties ON Sectors.SectorId = Parties.SectorId "_s +
           crlf + u" INNER JOIN Towns ON Towns.TownId = Sectors.TownId "_s + crlf +
           u" INNER JOIN SaleReturns INNER JOIN SaleReturnsBody ON SaleReturns.SaleReturnID = SaleReturnsBody.SaleReturnID ON Parties.PartyId = SaleReturns.CustomerId "_s +
           crlf + u" Where SaleReturns.SaleReturnDate BETWEEN '"_s + from + u"' and '"_s + to +
           u"' "_s + f + crlf +
           u" GROUP BY LEFT(SaleReturnsBody.ProductId, 2), SaleReturns.CustomerId "_s +
           u") AllData "_s + crlf +
           u" INNER JOIN Companies ON Companies.CompanyID=AllData.CompanyID "_s + crlf +
           u" Group By AllData.CompanyID, Companies.CompanyName,UnitName Order By AllData.CompanyID"_s;
}

QStringList CompanyWiseSaleReport::parameterTexts(const ReportCriteria &criteria)
{
    using namespace StandardFields;
    return {u"From Date : "_s + shortDate(criteria.from) + u",   To Date : "_s +
                shortDate(criteria.to),
            chosen(criteria, customerKey, u"Customer"_s, criteria.text(customerKey).trimmed(),
                   u"All Customers"_s),
            chosen(criteria, townKey, u"Town"_s, IdLookup::leadingNumber(criteria.text(townKey)),
                   u"All Towns"_s),
            chosen(criteria, sectorKey, u"Sector"_s,
                   IdLookup::leadingNumber(criteria.text(sectorKey)), u"All Sectors"_s)};
}

void CompanyWiseSaleReport::prepare(Report &report, const ReportCriteria &criteria,
                                    const Recordset &rows, const Connection &) const
{
    report.SetReportTitle(u"Company Wise Sales"_s);
    const QStringList texts = parameterTexts(criteria);
    for (int k = 0; k < texts.size(); ++k)
        report.ParameterFields(k + 1).AddCurrentValue(texts[k]);
    report.Database().SetDataSource(rows, 3, 1);
    report.SelectPrinter(u"Dummy Driver"_s, u"Ding Dong"_s, u"LPT1"_s);
    report.SetPaperOrientation(1);
}
