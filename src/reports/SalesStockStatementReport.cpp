#include "reports/SalesStockStatementReport.h"

#include "reports/CompanyName.h"
#include "reports/StandardFields.h"
#include "presentation/Report.h"

using namespace Qt::StringLiterals;

namespace {

CriteriaField companyField()
{
    CriteriaField company = StandardFields::company(ChangeRule::Clear, 10);
    company.control = u"TxtCompanyCode"_s;
    return company;
}

} // namespace

const SalesStockStatementReport &SalesStockStatementReport::instance()
{
    static const SalesStockStatementReport definition;
    return definition;
}

SalesStockStatementReport::SalesStockStatementReport()
    : ReportDefinition(ReportKind::SalesStockStatement, WindowDesign{}, {companyField()})
{
}

std::optional<Refusal> SalesStockStatementReport::refusal(const ReportCriteria &criteria,
                                                          ReportAction action) const
{
    if (action != ReportAction::Preview)
        return std::nullopt;
    return periodRefusal(criteria, QString());
}

QString SalesStockStatementReport::query(const ReportCriteria &criteria, SqlDialect dialect) const
{
    const QString from = SqlDates::literal(dialect, criteria.from);
    const QString to = SqlDates::literal(dialect, criteria.to);
    // The opening branch adds the opening stock to every movement before From; the others
    // take the movements of the period. The average cost of a product whose current stock
    // adds up to nothing is no division by zero but 0.
    return u"  SELECT Companies.CompanyId, Companies.CompanyName, Products.productid, Products.productname, isnull(CStock.AvgCost,0) as AvgCost, SUM(opqty) AS opQty, SUM(opb) AS OpB, SUM(pQty) AS pQty, SUM(PBon) AS "_s +
           u" PBon, SUM(PREQty) AS PreQty, SUM(PREtB) As PREtB, SUM(isnull(SaleQty, 0)) AS SaleQty, SUM(SaleB) AS SaleBon, SUM(SaleRetQty) AS SRetQty, SUM(SaleREtB) AS SRetBonus, SUM(eqty) AS eQty, SUM(cqty) AS CQty, "_s +
           u" SUM(VCQty) As VCQty FROM ( SELECT bt.productid, 0 AS opqty, 0 AS opb, isnull(bt.qty,0) AS pQty, isnull(bt.bonus,0) AS PBon, 0 AS PREQty, 0 AS PREtB, 0 AS SaleQty, 0 AS SaleB, 0 AS SaleRetQty, 0 AS SaleREtB, "_s +
           u" 0 AS eqty, 0 AS cqty, 0 AS vcqty FROM purchase p INNER JOIN purchasebody bt ON p.purchaseid = bt.purchaseid WHERE p.purchasedate BETWEEN '"_s +
           from + u"' AND '"_s + to + u"' Union All SELECT OpeningQty.productid, "_s +
           u" SUM(OpeningQty.OpeQty) AS OpeQty, SUM(OpeningQty.OpeB) AS OpeB, 0 AS pQty, 0 AS PBon, 0 AS PREQty, 0 AS PREtB, 0 AS SaleQty, 0 AS SaleB, 0 AS SaleRetQty, 0 AS SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS vcqty "_s +
           u" FROM (SELECT Productid, isnull(qty, 0) AS OpeQty, isnull(bonus, 0) As OpeB From openingstock Union All SELECT bt.productid, SUM(isnull(bt.qty, 0)) AS opqty, SUM(isnull(bt.bonus, 0)) As opb FROM purchase "_s +
           u" p INNER JOIN purchasebody bt ON p.purchaseid = bt.purchaseid WHERE p.purchasedate < '"_s +
           from +
           u"' GROUP BY bt.productid Union All SELECT bt.productid, - SUM(isnull(bt.qty, 0)) AS opqty, - SUM(isnull(bt.bonus, "_s +
           u" 0)) AS opb FROM purreturns p INNER JOIN purreturnsbody bt ON p.purreturnid = bt.Purreturnid WHERE p.Purreturndate < '"_s +
           from + u"' GROUP BY bt.productid Union All SELECT bt.productid, - SUM(isnull(bt.qty, "_s +
           u" 0)) AS opqty, - SUM(isnull(bt.bonus, 0)) AS opb FROM sales s INNER JOIN salesbody bt ON s.saleid = bt.saleid WHERE s.saledate < '"_s +
           from + u"' GROUP BY bt.productid Union All SELECT bt.productid, SUM(isnull(bt.qty, "_s +
           u" 0)) AS opqty, SUM(isnull(bt.bonus, 0)) As opb FROM salereturns s INNER JOIN salereturnsbody bt ON s.salereturnid = bt.salereturnid WHERE s.Salereturndate <  '"_s +
           from + u"' GROUP BY bt.productid) OpeningQty "_s +
           u" GROUP BY productid Union All SELECT bt.productid, 0 AS opqty, 0 AS opb, 0 AS pQty, 0 AS PBon, ISNULL(bt.qty, 0) AS PRETQTY, ISNULL(bt.bonus, 0) AS PRETB, 0 AS SaleQty, 0 AS SaleB, 0 AS SaleRetQty, 0 AS "_s +
           u" SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS vcqty FROM purreturns p INNER JOIN purreturnsbody bt ON p.Purreturnid = bt.purreturnid WHERE p.Purreturndate BETWEEN  '"_s +
           from + u"' AND  '"_s + to + u"' Union All SELECT "_s +
           u" bt.productid, 0 AS opqty, 0 AS opb, 0 AS pQty, 0 AS PBon, 0 AS PREQty, 0 AS PREtB, isnull(bt.qty,0) AS SaleQty, isnull(bt.bonus,0) AS SaleB, 0 AS SaleRetQty, 0 AS SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS "_s +
           u" vcqty FROM sales s INNER JOIN salesbody bt ON s.saleid = bt.saleid WHERE s.saledate BETWEEN  '"_s +
           from + u"' AND  '"_s + to +
           u"' Union All SELECT bt.productid, 0 AS opqty, 0 AS opb, 0 AS pQty, 0 AS PBon, 0 "_s +
           u" AS PREQty, 0 AS PREtB, 0 AS SaleQty, 0 AS SaleB, isnull(bt.qty,0) AS SaleRetQty, isnull(bt.bonus,0) AS SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS vcqty FROM salereturns s INNER JOIN salereturnsbody bt ON s.salereturnid "_s +
           u" = bt.salereturnid WHERE s.Salereturndate BETWEEN'"_s + from + u"' AND  '"_s + to +
           u"' ) AS Actual INNER JOIN Products ON actual.productid=products.productid INNER JOIN Companies ON Companies.CompanyId=Products.CompanyID "_s +
           u" LEFT OUTER JOIN (SELECT ProductId, SUM(Qty * Cost) / NULLIF(SUM(Qty), 0) AS AvgCost From CurrentStock GROUP BY ProductId) CStock ON Products.ProductId=CStock.ProductId "_s +
           u" Where 1 = 1 "_s +
           StandardFields::quotedClause(criteria, StandardFields::companyKey,
                                        u" and Companies.CompanyId ='"_s) +
           u" GROUP BY Companies.CompanyId, Companies.CompanyName, "_s +
           u" Products.productid, Products.productname, CStock.AvgCost order by Products.ProductName "_s;
}

void SalesStockStatementReport::prepare(Report &report, const ReportCriteria &criteria,
                                        const Recordset &rows, const Connection &connection) const
{
    report.SelectPrinter(u"AD"_s, u"AEEL"_s, u"LPT1"_s);
    report.SetPaperOrientation(1);
    report.textObject(u"txtCompName"_s).SetText(CompanyName::read(connection));
    report.textObject(u"txtDate"_s).SetText(dateBetween(criteria));
    report.Database().SetDataSource(rows);
}
