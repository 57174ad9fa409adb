#include "reports/ProductWiseSalesReport.h"

#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

// DtpFrom and DtpTo; built in two steps; Enter thrown away once it has moved the focus.
WindowDesign windowDesign()
{
    WindowDesign d = ReportDefinition::twoStepWindow();
    d.emptyFocus = u"txtCustomerID"_s; // after "No record found" in Preview
    return d;
}

// The company box has no F1; its button is BtnSchCompany.
CriteriaField companyField()
{
    CriteriaField f = StandardFields::company(ChangeRule::DefaultTextAlways, 5);
    f.label = u"Company ID."_s;
    f.nameLabel = u"Company Name"_s;
    f.defaultText = u"All Companies"_s;
    f.f1 = false;
    return f;
}

CriteriaField customerField()
{
    CriteriaField f = StandardFields::labelledCustomer(
        ChangeRule::DefaultTextAlways, u" Select * FROM Parties where IsCustomer =1  "_s);
    f.button = u"Btnschgroup"_s;
    return f;
}

} // namespace

const ProductWiseSalesReport &ProductWiseSalesReport::instance()
{
    static const ProductWiseSalesReport definition;
    return definition;
}

ProductWiseSalesReport::ProductWiseSalesReport()
    : ReportDefinition(windowDesign(),
                       {companyField(), customerField(),
                        StandardFields::labelledTown(ChangeRule::DefaultTextWhenEmpty),
                        StandardFields::labelledSector(ChangeRule::DefaultTextWhenEmpty),
                        PeriodComparison::field()})
{
}

const PeriodComparison::Design *ProductWiseSalesReport::comparison() const
{
    // The query gives no order: the layout sorts the rows.
    static const PeriodComparison::Design design{
        {u"ProductID"_s, u"SectorID"_s},
        {},
        {u"SaleQty"_s, u"SaleBns"_s, u"GrossSaleValue"_s, u"ReturnQty"_s, u"ReturnBns"_s,
         u"NetQty"_s, u"NetBns"_s, u"ReturnTTLValue"_s, u"NetSaleValue"_s},
        {{u"NetQty"_s, u"NetQty"_s, {}}, {u"NetSaleValue"_s, u"NetSaleValue"_s, {}}}};
    return &design;
}

std::optional<Refusal> ProductWiseSalesReport::refusal(const ReportCriteria &criteria,
                                                       ReportAction) const
{
    if (auto refused = periodRefusal(criteria, design().fromControl))
        return refused;
    return comparisonRefusal(criteria);
}

QString ProductWiseSalesReport::filter(const ReportCriteria &criteria)
{
    using namespace StandardFields;
    return quotedClause(criteria, companyKey, u"  And Left(SalesBody.ProductID,2)='"_s, u"' "_s) +
           quotedClause(criteria, customerKey, u"  And Sales.CustomerId='"_s, u"' "_s) +
           numberClause(criteria, townKey, u"  And Towns.TownId= "_s) +
           numberClause(criteria, sectorKey, u"  And Sectors.SectorId= "_s);
}

QString ProductWiseSalesReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    // Returns are summed per sale and product over all their dates and parties, and attached
    // to the first line of that product on the sale only: a product on two lines of an invoice
    // has its returns counted once. The period and the filter select the sales.
    return u" SELECT SalesBody.ProductID, Products.ProductName,SUM(SalesBody.Qty) AS SaleQty, SUM(SalesBody.Bonus) AS SaleBns, SUM(SalesBody.TTLValue) + SUM(SalesBody.TTLSalesTax) AS GrossSaleValue,ISNULL(SUM(SaleReturns.Qty), "_s +
           u" 0) AS ReturnQty,ISNULL(SUM(SaleReturns.Bonus), 0) AS ReturnBns,SUM(SalesBody.Qty) - ISNULL(SUM(SaleReturns.Qty), 0) AS NetQty, SUM(SalesBody.Bonus)- ISNULL(SUM(SaleReturns.Bonus), 0) AS NetBns,ISNULL(SUM(SaleReturns.TTLValue), "_s +
           u" 0)+ ISNULL(SUM(SaleReturns.TTLSalestax), 0) AS ReturnTTLValue, (SUM(SalesBody.TTLValue)+ SUM(SalesBody.TTLSalesTax))- (ISNULL(SUM(SaleReturns.TTLValue), 0)+ ISNULL(SUM(SaleReturns.TTLSalestax), 0)) AS "_s +
           u" NetSaleValue, Sectors.SectorID, Sectors.TownID, Sectors.SectorName, Towns.TownName FROM Parties INNER JOIN Products INNER JOIN SalesBody ON Products.ProductID = SalesBody.ProductID INNER JOIN Sales ON "_s +
           u" SalesBody.SaleID = Sales.SaleID INNER JOIN ChartOfAccounts ON Sales.CustomerID = ChartOfAccounts.AccountNo ON Parties.PartyID = ChartOfAccounts.AccountNo INNER JOIN Sectors ON Parties.SectorID = Sectors.SectorID "_s +
           u" AND Sales.SectorID = Sectors.SectorID INNER JOIN Towns ON Sectors.TownID = Towns.TownID LEFT OUTER JOIN (SELECT SaleReturns.SaleId, SaleReturnsBody.ProductId,SUM(SaleReturnsBody.Qty) "_s +
           u" AS Qty,SUM(SaleReturnsBody.Bonus) AS Bonus, SUM(SaleReturnsBody.TTLValue) AS TTLValue,SUM(SaleReturnsBody.TTLSalestax)AS TTLSalestax FROM SaleReturnsBody INNER JOIN SaleReturns ON SaleReturnsBody.SaleReturnID "_s +
           u" = SaleReturns.SaleReturnID "_s +
           u" Group by SaleReturns.SaleId, SaleReturnsBody.ProductId) SaleReturns ON SalesBody.SaleId = SaleReturns.SaleId "_s +
           u" AND SalesBody.ProductId = SaleReturns.ProductId "_s +
           u" AND SalesBody.SrNo = (SELECT MIN(FirstLine.SrNo) FROM SalesBody FirstLine WHERE FirstLine.SaleId = SalesBody.SaleId AND FirstLine.ProductId = SalesBody.ProductId) "_s +
           u" WHERE 1=1 "_s + filter(criteria) + u"AND (Sales.SaleDate BETWEEN '"_s +
           SqlDates::literal(dialect, criteria.from) + u"'AND'"_s +
           SqlDates::literal(dialect, criteria.to) +
           u"') GROUP BY SalesBody.ProductID, Products.ProductName, "_s +
           u" Sectors.SectorID, Sectors.TownID, Sectors.SectorName, Towns.TownName "_s;
}

QString ProductWiseSalesReport::coverageRule() const
{
    return u"Only sales billed in the customer's own sector"_s;
}

QString ProductWiseSalesReport::periodText(const ReportCriteria &criteria)
{
    return u"From : "_s + shortDate(criteria.from) + u",   To : "_s + shortDate(criteria.to);
}

void ProductWiseSalesReport::prepare(Report &report, const ReportCriteria &criteria,
                                     const Recordset &rows, const Connection &) const
{
    // The company, customer, town and sector chosen are not printed (but the criteria line
    // names them).
    report.SetReportTitle(u"Product Wise Sale"_s);
    report.ParameterFields(1).AddCurrentValue(periodText(criteria));
    report.Database().SetDataSource(rows, 3, 1);
    report.SelectPrinter(u"Dummy Driver"_s, u"Ding Dong"_s, u"LPT1"_s);
    report.SetPaperOrientation(1);
}
