#include "reports/CompanySectorWiseSaleReport.h"

#include "reports/IdLookup.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

WindowDesign windowDesign()
{
    WindowDesign d = ReportDefinition::twoStepWindow();
    d.busyPointerOnPreview = false;
    return d;
}

CriteriaField companyField()
{
    CriteriaField f = StandardFields::company(ChangeRule::DefaultTextWhenEmpty, 5);
    f.label = u"Company ID."_s;
    f.nameLabel = u"Company Name"_s;
    f.button = u"Btnschgroup"_s;
    f.defaultText = u"All Companies"_s;
    f.defaultTextAtLoad = false; // the name box starts empty; clearing the id writes it
    return f;
}

} // namespace

const CompanySectorWiseSaleReport &CompanySectorWiseSaleReport::instance()
{
    static const CompanySectorWiseSaleReport definition;
    return definition;
}

CompanySectorWiseSaleReport::CompanySectorWiseSaleReport()
    : ReportDefinition(
          windowDesign(),
          {companyField(), StandardFields::labelledSector(ChangeRule::DefaultTextWhenEmpty),
           PeriodComparison::field()})
{
}

const PeriodComparison::Design *CompanySectorWiseSaleReport::comparison() const
{
    // The query gives no order: the layout sorts the rows.
    static const PeriodComparison::Design design{{u"ProductId"_s, u"SectorId"_s},
                                                 {},
                                                 {u"NetQty"_s, u"NetValue"_s},
                                                 {{u"NetValue"_s, u"NetValue"_s, {}}}};
    return &design;
}

std::optional<Refusal> CompanySectorWiseSaleReport::refusal(const ReportCriteria &criteria,
                                                            ReportAction action) const
{
    // Only an empty box is missing: blanks are a company id, which then finds nothing.
    if (action == ReportAction::Preview && criteria.text(StandardFields::companyKey).isEmpty())
        return Refusal{u"Must Select a Company"_s, u"information"_s, Refusal::Icon::Information,
                       u"TxtCompanyId"_s};
    if (auto refused = periodRefusal(criteria, QString()))
        return refused;
    return comparisonRefusal(criteria);
}

QString CompanySectorWiseSaleReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    const QString from = SqlDates::literal(dialect, criteria.from);
    const QString to = SqlDates::literal(dialect, criteria.to);
    const QString sector = StandardFields::numberClause(criteria, StandardFields::sectorKey,
                                                        u" And Sectors.SectorID="_s);
    return u" SELECT Products.ProductId, Products.ProductName, Sectors.SectorId, Sectors.SectorName, ISNULL(SUM(FinalData.NetQty), 0) AS NetQty, Products.SalePrice, ISNULL(SUM(FinalData.NetValue), 0) AS "_s +
           u" NetValue FROM (SELECT ISNULL(AllSaleRet.ProductId, AllSaleRet.Productid) AS ProductId, ISNULL(AllSaleRet.CustomerId, AllSaleRet.CustomerId) AS CustomerId, isnull(SUM(AllSaleRet.TSalQty), 0) - isnull(SUM(AllSaleRet.TRetQty), "_s +
           u" 0) AS NetQty, isnull(SUM(AllSaleRet.TSalValue), 0) - isnull(SUM(AllSaleRet.TRetValue), 0) AS NetValue FROM (SELECT ProductId, Sales.CustomerId, SUM(SalesBody.Qty + SalesBody.Bonus) AS TSalQty, SUM(SalesBody.TTLValue "_s +
           u" + SalesBody.TTLSalestax) AS TSalValue, 0 AS TRetQty, 0 AS TRetValue FROM Sales INNER JOIN SalesBody ON Sales.SaleId = SalesBody.SaleId WHERE Sales.SaleDate BETWEEN '"_s +
           from + u"' and '"_s + to + u"' GROUP "_s +
           u" BY Sales.CustomerId, productid UNION ALL SELECT Productid, CustomerId, 0 AS TSalQty, 0 AS TSalValue, SUM(Qty + Bonus) AS TRetQty, SUM(TTLValue + TTLSalestax) AS TRetValue FROM SaleReturns INNER JOIN "_s +
           u" SaleReturnsBody ON SaleReturns.SaleReturnID = SaleReturnsBody.SaleReturnID WHERE SaleReturns.SaleReturnDate BETWEEN '"_s +
           from + u"' and '"_s + to +
           u"' GROUP BY SaleReturns.CustomerId, productid) AllSaleRet GROUP BY "_s +
           u" ISNULL(AllSaleRet.ProductId, AllSaleRet.Productid), ISNULL(AllSaleRet.CustomerId, AllSaleRet.CustomerId)) FinalData INNER JOIN Products ON FinalData.ProductId = Products.ProductId INNER JOIN Parties ON "_s +
           u" FinalData.CustomerId = Parties.PartyId INNER JOIN Sectors ON Parties.SectorId = Sectors.SectorId WHERE (Products.CompanyId = '"_s +
           IdLookup::quoted(criteria.text(StandardFields::companyKey)) + u"')"_s + sector +
           u" GROUP BY Products.ProductId, Products.ProductName, "_s +
           u" Sectors.SectorId, Sectors.SectorName, Products.SalePrice"_s;
}

QStringList CompanySectorWiseSaleReport::parameterTexts(const ReportCriteria &criteria)
{
    // The sector's name under its own label (not "Town:").
    return {u"Company:"_s + criteria.name(StandardFields::companyKey),
            u"Sector:"_s + criteria.name(StandardFields::sectorKey),
            u"From : "_s + shortDate(criteria.from) + u",   To : "_s + shortDate(criteria.to)};
}

void CompanySectorWiseSaleReport::prepare(Report &report, const ReportCriteria &criteria,
                                          const Recordset &rows, const Connection &) const
{
    report.SetReportTitle(u"Company Sector Wise Sales"_s);
    const QStringList texts = parameterTexts(criteria);
    for (int k = 0; k < texts.size(); ++k)
        report.ParameterFields(k + 1).AddCurrentValue(texts[k]);
    report.Database().SetDataSource(rows, 3, 1);
    report.SelectPrinter(u"Dummy Driver"_s, u"Ding Dong"_s, u"LPT1"_s);
    report.SetPaperOrientation(2);
}
