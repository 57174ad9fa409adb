#include "ReferenceQueries.h"

// The report and lookup queries as the reports' documentation quotes them, piece by piece,
// for tests that run them on the embedded database and hold the query builders to them.

using namespace Qt::StringLiterals;

namespace ReferenceQueries {

QString salesRegister(const QString &from, const QString &to, const QString &clauses,
                      const QString &low, const QString &high)
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
           u" join towns t on t.townid=sr.townid "_s + u" where s.saleid between "_s + low +
           u" and "_s + high + u" and s.saledate between '"_s + from + u"' and '"_s + to + u"'"_s +
           clauses + u" order by s.saleid,sr.sectorid,t.townid,sb.productid"_s;
}

QString salesSummary(const QString &from, const QString &to, const QString &clauses)
{
    return u"select s.saleid,s.saledate,c.partyname as customername,sr.sectorname,t.townname,sr.SectorId,t.townId, "_s
           u" sum(sb.Qty*sb.Price) as Grossvalue "_s
           u" ,sum(sb.Qty*((sb.Price*sb.Discratio/100)+sb.Discvalue)) as Totaldisc "_s
           u" ,sum(sb.Qty*((sb.Price*sb.stratio/100)+sb.stvalue)) as Salestax "_s
           u" ,sum(TTLValue+TTLSalestax) as NetValue,Sum(s.ReceivedAmount) asReceivedAmount "_s
           u" from sales s join salesbody sb on s.saleid=sb.saleid "_s
           u" join parties c on c.partyid=s.customerid "_s
           u" join sectors sr on sr.sectorid=s.sectorid "_s
           u" join towns t on t.townid=sr.townid "_s
           u" where s.saledate between '"_s +
           from + u"' and '"_s + to + u"'"_s + clauses +
           u" group by s.saleid,s.saledate,c.partyname,sr.sectorname,t.townname,sr.SectorId,t.townId "_s
           u" order by s.saleid,sr.sectorname,t.townname"_s;
}

QString saleReturnRegister(const QString &from, const QString &to, const QString &range,
                           const QString &clauses)
{
    return u"select sr.sectorname,t.townname,r.salereturnid,r.Salereturndate,r.saleid,c.partyname as customername "_s
           u" ,pr.productid,pr.productname "_s
           u" ,rb.qty,rb.bonus,rb.price,(rb.Qty*rb.Price) as Grossvalue "_s
           u" ,(rb.Qty*((rb.Price*rb.Discratio/100)+rb.Discvalue)) as Totaldisc "_s
           u" ,rb.Qty*((rb.Price*rb.stratio/100)+rb.stvalue) as salestax "_s
           u" ,rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue)) as NetValue,r.SpecialDiscount,r.PaidAmount,r.ComRatio,r.ExpMinus,r.ExpPlus, Units.UnitName, rb.Multiplier "_s
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s
           u" join parties c on c.partyid=r.customerid join products pr on pr.productid=rb.productid "_s
           u" join sectors sr on sr.sectorid=r.sectorid "_s
           u" join towns t on t.townid=sr.townid INNER JOIN  Units ON pr.UnitID = Units.UnitID "_s
           u" where 1=1 AND r.Salereturndate between '"_s +
           from + u"' and '"_s + to + u"'"_s + range + clauses +
           u" order by r.salereturnid,sr.sectorid,t.townid,rb.productid"_s;
}

QString saleReturnsSummary(const QString &from, const QString &to, const QString &clauses)
{
    return u"select r.salereturnid,r.Salereturndate,r.saleid,c.partyname as customername,sr.sectorname,t.townname "_s
           u" ,sum(rb.Qty*rb.Price) as Grossvalue "_s
           u" ,sum(rb.Qty*((rb.Price*rb.Discratio/100)+rb.Discvalue)) as Totaldisc "_s
           u" ,sum(rb.Qty*((rb.Price*rb.stratio/100)+rb.stvalue)) as Salestax "_s
           u" ,sum(rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue))) as NetValue,T.TownId,Sr.SectorId "_s
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s
           u" join parties c on c.partyid=r.customerid "_s
           u" join sectors sr on sr.sectorid=r.sectorid "_s
           u" join towns t on t.townid=sr.townid "_s
           u" where r.Salereturndate between '"_s +
           from + u"' and '"_s + to + u"'"_s + clauses +
           u" group by r.salereturnid,r.Salereturndate,r.saleid,c.partyname,sr.sectorname,t.townname,T.TownId,Sr.SectorId "_s
           u" order by r.salereturnid,sr.sectorname,t.townname"_s;
}

QString companyWiseSale(const QString &from, const QString &to, const QString &clauses)
{
    return u"SELECT AllData.CompanyID, Companies.CompanyName, isnull(sum(AllData.SaleValue),0) as SaleValue, isnull(sum(AllData.ReturnValue),0) as ReturnValue,UnitName "_s
           u"\r\n"_s +
           u" FROM (SELECT LEFT(SalesBody.ProductId, 2) AS CompanyID, Sales.CustomerId, SUM(SalesBody.TTLValue + SalesBody.TTLSalestax) AS SaleValue, 0 as ReturnValue,0 as UnitName "_s
           u"\r\n"_s
           u" FROM Sectors INNER JOIN Towns ON Sectors.TownId = Towns.TownId "_s
           u"\r\n"_s
           u" INNER JOIN  Parties ON Sectors.SectorId = Parties.SectorId "_s
           u"\r\n"_s
           u" INNER JOIN Sales INNER JOIN SalesBody ON Sales.SaleId = SalesBody.SaleId ON Parties.PartyId = Sales.CustomerId "_s
           u"\r\n"_s
           u" Where Sales.SaleDate BETWEEN '"_s +
           from + u"' and '"_s + to + u"' "_s + clauses +
           u"\r\n"_s
           u" GROUP BY LEFT(SalesBody.ProductId, 2), Sales.CustomerId "_s
           u"\r\n"_s
           u" Union All "_s
           u"\r\n"_s +
           u" SELECT LEFT(SaleReturnsBody.ProductId, 2) AS CompanyID, SaleReturns.CustomerId, 0 as SalesValue, SUM(SaleReturnsBody.TTLValue + SaleReturnsBody.TTLSalestax) As Returnvalue,0 as UnitName "_s
           u"\r\n"_s
           u" FROM Sectors INNER JOIN Parties ON Sectors.SectorId = Parties.SectorId "_s
           u"\r\n"_s
           u" INNER JOIN Towns ON Towns.TownId = Sectors.TownId "_s
           u"\r\n"_s
           u" INNER JOIN SaleReturns INNER JOIN SaleReturnsBody ON SaleReturns.SaleReturnID = SaleReturnsBody.SaleReturnID ON Parties.PartyId = SaleReturns.CustomerId "_s
           u"\r\n"_s
           u" Where SaleReturns.SaleReturnDate BETWEEN '"_s +
           from + u"' and '"_s + to + u"' "_s + clauses +
           u"\r\n"_s
           u" GROUP BY LEFT(SaleReturnsBody.ProductId, 2), SaleReturns.CustomerId "_s
           u" union all "_s
           u" SELECT 0 AS CompanyID, 0 as CompanyName, 0 as SalesValue, 0 As Returnvalue,UnitName from Units) AllData "_s
           u"\r\n"_s
           u" INNER JOIN Companies ON Companies.CompanyID=AllData.CompanyID "_s
           u"\r\n"_s
           u" Group By AllData.CompanyID, Companies.CompanyName,UnitName Order By AllData.CompanyID"_s;
}

QString companySectorWiseSale(const QString &from, const QString &to, const QString &id,
                              const QString &clauses)
{
    return u" SELECT Products.ProductId, Products.ProductName, Sectors.SectorId, Sectors.SectorName, ISNULL(SUM(FinalData.NetQty), 0) AS NetQty, Products.SalePrice, ISNULL(SUM(FinalData.NetValue), 0) AS "_s
           u" NetValue FROM (SELECT ISNULL(AllSaleRet.ProductId, AllSaleRet.Productid) AS ProductId, ISNULL(AllSaleRet.CustomerId, AllSaleRet.CustomerId) AS CustomerId, isnull(SUM(AllSaleRet.TSalQty), 0) - isnull(SUM(AllSaleRet.TRetQty), "_s +
           u" 0) AS NetQty, isnull(SUM(AllSaleRet.TSalValue), 0) - isnull(SUM(AllSaleRet.TRetValue), 0) AS NetValue FROM (SELECT ProductId, Sales.CustomerId, SUM(SalesBody.Qty + SalesBody.Bonus) AS TSalQty, SUM(SalesBody.TTLValue "_s +
           u" + SalesBody.TTLSalestax) AS TSalValue, 0 AS TRetQty, 0 AS TRetValue FROM Sales INNER JOIN SalesBody ON Sales.SaleId = SalesBody.SaleId WHERE Sales.SaleDate BETWEEN '"_s +
           from + u"' and '"_s + to + u"' GROUP "_s +
           u" BY Sales.CustomerId, productid UNION ALL SELECT Productid, CustomerId, 0 AS TSalQty, 0 AS TSalValue, SUM(Qty + Bonus) AS TRetQty, SUM(TTLValue + TTLSalestax) AS TRetValue FROM SaleReturns INNER JOIN "_s
           u" SaleReturnsBody ON SaleReturns.SaleReturnID = SaleReturnsBody.SaleReturnID WHERE SaleReturns.SaleReturnDate BETWEEN '"_s +
           from + u"' and '"_s + to +
           u"' GROUP BY SaleReturns.CustomerId, productid) AllSaleRet GROUP BY "_s
           u" ISNULL(AllSaleRet.ProductId, AllSaleRet.Productid), ISNULL(AllSaleRet.CustomerId, AllSaleRet.CustomerId)) FinalData INNER JOIN Products ON FinalData.ProductId = Products.ProductId INNER JOIN Parties ON "_s
           u" FinalData.CustomerId = Parties.PartyId INNER JOIN Sectors ON Parties.SectorId = Sectors.SectorId WHERE (Products.CompanyId = '"_s +
           id + u"')"_s + clauses +
           u" GROUP BY Products.ProductId, Products.ProductName, "_s
           u" Sectors.SectorId, Sectors.SectorName, Products.SalePrice"_s;
}

QString customerTownSectorWiseSales(const QString &from, const QString &to, const QString &clauses)
{
    return u"select t.townid,t.townname,sr.sectorid,sr.sectorname,c.partyid as customerid,c.partyname as customername "_s
           u" ,sum(sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue))) as SalesValue "_s
           u" ,sum(rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue))) as ReturnsValue,Companies.CompanyID "_s
           u" from towns t join sectors sr on t.townid=sr.townid "_s
           u" join sales s on s.sectorid=sr.sectorid "_s
           u" join salesbody sb on s.saleid=sb.saleid "_s
           u" left join salereturns r on r.saleid=s.saleid and r.sectorid=sr.sectorid "_s
           u" left join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s
           u" join parties c on c.partyid=s.customerid or c.partyid=r.customerid LEFT OUTER JOIN Companies ON rb.ProductID = Companies.CompanyID "_s
           u" where 1=1 And((s.saledate between '"_s +
           from + u"' and '"_s + to + u"') "_s + clauses +
           u")"_s
           u" group by t.townid,t.townname,sr.sectorid,sr.sectorname,c.partyid,c.partyname,Companies.CompanyID "_s
           u" order by t.townname,sr.sectorname,c.partyname"_s;
}

QString customerTownSectorWiseSalesByLine(const QString &from, const QString &to,
                                          const QString &saleLineClauses,
                                          const QString &returnLineClauses)
{
    const QString select =
        u"select t.townid,t.townname,sr.sectorid,sr.sectorname,c.partyid as customerid,c.partyname as customername "_s;
    const QString joins = u" from towns t join sectors sr on t.townid=sr.townid "_s
                          u" join sales s on s.sectorid=sr.sectorid "_s
                          u" join parties c on c.partyid=s.customerid "_s;
    const QString period = u" where s.saledate between '"_s + from + u"' and '"_s + to + u"' "_s;
    QString q;
    q += u"select townid,townname,sectorid,sectorname,customerid,customername "_s;
    q += u" ,sum(SalesValue) as SalesValue,sum(ReturnsValue) as ReturnsValue,null as CompanyID "_s;
    q += u" from ("_s + select;
    q +=
        u" ,sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue)) as SalesValue,null as ReturnsValue "_s;
    q += joins;
    q += u" join salesbody sb on s.saleid=sb.saleid "_s;
    q += period + saleLineClauses;
    q += u" union all "_s + select;
    q +=
        u" ,null as SalesValue,rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue)) as ReturnsValue "_s;
    q += joins;
    q += u" join salereturns r on r.saleid=s.saleid and r.sectorid=sr.sectorid "_s;
    q += u" join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s;
    q += period + returnLineClauses;
    q += u") lines "_s;
    q += u" group by townid,townname,sectorid,sectorname,customerid,customername "_s;
    q += u" order by townname,sectorname,customername"_s;
    return q;
}

QString productWiseSales(const QString &from, const QString &to, const QString &clauses)
{
    return u" SELECT SalesBody.ProductID, Products.ProductName,SUM(SalesBody.Qty) AS SaleQty, SUM(SalesBody.Bonus) AS SaleBns, SUM(SalesBody.TTLValue) + SUM(SalesBody.TTLSalesTax) AS GrossSaleValue,ISNULL(SUM(SaleReturns.Qty), "_s
           u" 0) AS ReturnQty,ISNULL(SUM(SaleReturns.Bonus), 0) AS ReturnBns,SUM(SalesBody.Qty) - ISNULL(SUM(SaleReturns.Qty), 0) AS NetQty, SUM(SalesBody.Bonus)- ISNULL(SUM(SaleReturns.Bonus), 0) AS NetBns,ISNULL(SUM(SaleReturns.TTLValue), "_s
           u" 0)+ ISNULL(SUM(SaleReturns.TTLSalestax), 0) AS ReturnTTLValue, (SUM(SalesBody.TTLValue)+ SUM(SalesBody.TTLSalesTax))- (ISNULL(SUM(SaleReturns.TTLValue), 0)+ ISNULL(SUM(SaleReturns.TTLSalestax), 0)) AS "_s
           u" NetSaleValue, Sectors.SectorID, Sectors.TownID, Sectors.SectorName, Towns.TownName FROM Parties INNER JOIN Products INNER JOIN SalesBody ON Products.ProductID = SalesBody.ProductID INNER JOIN Sales ON "_s
           u" SalesBody.SaleID = Sales.SaleID INNER JOIN ChartOfAccounts ON Sales.CustomerID = ChartOfAccounts.AccountNo ON Parties.PartyID = ChartOfAccounts.AccountNo INNER JOIN Sectors ON Parties.SectorID = Sectors.SectorID "_s
           u" AND Sales.SectorID = Sectors.SectorID INNER JOIN Towns ON Sectors.TownID = Towns.TownID LEFT OUTER JOIN (SELECT SaleReturns.SaleId, SaleReturns.CustomerId,SaleReturnsBody.ProductId,SUM(SaleReturnsBody.Qty) "_s
           u" AS Qty,SUM(SaleReturnsBody.Bonus) AS Bonus, SUM(SaleReturnsBody.TTLValue) AS TTLValue,SUM(SaleReturnsBody.TTLSalestax)AS TTLSalestax FROM SaleReturnsBody INNER JOIN SaleReturns ON SaleReturnsBody.SaleReturnID "_s
           u" = SaleReturns.SaleReturnID "_s
           u" Group by SaleReturns.SaleId, SaleReturns.CustomerId, SaleReturnsBody.ProductId) SaleReturns ON SalesBody.SaleId = SaleReturns.SaleId "_s
           u" AND SalesBody.ProductId = SaleReturns.ProductId "_s
           u" WHERE 1=1 "_s +
           clauses + u"AND (Sales.SaleDate BETWEEN '"_s + from + u"'AND'"_s + to +
           u"') GROUP BY SalesBody.ProductID, Products.ProductName, "_s
           u" Sectors.SectorID, Sectors.TownID, Sectors.SectorName, Towns.TownName "_s;
}

QString productSalesLedger(const QString &from, const QString &to, const QString &id)
{
    return u"select s.saleid,s.saledate,c.partyname as customername,sr.sectorname,t.townname "_s
           u" ,sb.qty,sb.bonus,sb.price,(sb.Qty*sb.Price) as Grossvalue "_s
           u" ,sb.Qty*((sb.Price*sb.Discratio/100)+sb.Discvalue) as Totaldisc "_s
           u" ,sb.Qty*((sb.Price*sb.stratio/100)+sb.stvalue) as Salestax "_s
           u" ,sb.Qty*((sb.Price-((sb.Price*sb.Discratio/100)+sb.Discvalue))+ ((sb.Price*sb.stratio/100)+sb.stvalue)) as NetValue "_s
           u" from sales s join salesbody sb on s.saleid=sb.saleid "_s
           u" join parties c on c.partyid=s.customerid "_s
           u" join sectors sr on sr.sectorid=s.sectorid "_s
           u" join towns t on t.townid=sr.townid "_s
           u" where saledate between '"_s +
           from + u"' and '"_s + to +
           u"'"_s
           u" and sb.productid='"_s +
           id +
           u"' "_s
           u" order by s.saleid,s.saledate,c.customername"_s;
}

QString productSaleReturnLedger(const QString &from, const QString &to, const QString &id)
{
    return u"select r.salereturnid,r.SaleReturnDate,r.saleid,c.partyname as customername,sr.sectorname,t.townname "_s
           u" ,rb.qty,rb.bonus,rb.price,(rb.Qty*rb.Price) as Grossvalue "_s
           u" ,rb.Qty*((rb.Price*rb.Discratio/100)+rb.Discvalue) as Totaldisc "_s
           u" ,rb.Qty*((rb.Price*rb.stratio/100)+rb.stvalue) as Salestax "_s
           u" ,rb.Qty*((rb.Price-((rb.Price*rb.Discratio/100)+rb.Discvalue))+ ((rb.Price*rb.stratio/100)+rb.stvalue)) as NetValue "_s
           u" from salereturns r join salereturnsbody rb on r.salereturnid=rb.salereturnid "_s
           u" join parties c on c.partyid=r.customerid "_s
           u" join sectors sr on sr.sectorid=r.sectorid "_s
           u" join towns t on t.townid=sr.townid "_s
           u" where r.SaleReturnDate between '"_s +
           from + u"' and '"_s + to +
           u"'"_s
           u" and rb.productid='"_s +
           id +
           u"' "_s
           u" order by r.salereturnid,r.SaleReturnDate,c.customername"_s;
}

QString salesStockStatement(const QString &from, const QString &to, const QString &clauses)
{
    return u"  SELECT Companies.CompanyId, Companies.CompanyName, Products.productid, Products.productname, isnull(CStock.AvgCost,0) as AvgCost, SUM(opqty) AS opQty, SUM(opb) AS OpB, SUM(pQty) AS pQty, SUM(PBon) AS "_s
           u" PBon, SUM(PREQty) AS PreQty, SUM(PREtB) As PREtB, SUM(isnull(SaleQty, 0)) AS SaleQty, SUM(SaleB) AS SaleBon, SUM(SaleRetQty) AS SRetQty, SUM(SaleREtB) AS SRetBonus, SUM(eqty) AS eQty, SUM(cqty) AS CQty, "_s
           u" SUM(VCQty) As VCQty FROM ( SELECT bt.productid, 0 AS opqty, 0 AS opb, isnull(bt.qty,0) AS pQty, isnull(bt.bonus,0) AS PBon, 0 AS PREQty, 0 AS PREtB, 0 AS SaleQty, 0 AS SaleB, 0 AS SaleRetQty, 0 AS SaleREtB, "_s
           u" 0 AS eqty, 0 AS cqty, 0 AS vcqty FROM purchase p INNER JOIN purchasebody bt ON p.purchaseid = bt.purchaseid WHERE p.purchasedate BETWEEN '"_s +
           from + u"' AND '"_s + to +
           u"' Union All SELECT OpeningQty.productid, "_s
           u" SUM(OpeningQty.OpeQty) AS OpeQty, SUM(OpeningQty.OpeB) AS OpeB, 0 AS pQty, 0 AS PBon, 0 AS PREQty, 0 AS PREtB, 0 AS SaleQty, 0 AS SaleB, 0 AS SaleRetQty, 0 AS SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS vcqty "_s
           u" FROM (SELECT Productid, isnull(qty, 0) AS OpeQty, isnull(bonus, 0) As OpeB From openingstock Union All SELECT bt.productid, SUM(isnull(bt.qty, 0)) AS opqty, SUM(isnull(bt.bonus, 0)) As opb FROM purchase "_s
           u" p INNER JOIN purchasebody bt ON p.purchaseid = bt.purchaseid WHERE p.purchasedate < '"_s +
           from +
           u"' GROUP BY bt.productid Union All SELECT bt.productid, - SUM(isnull(bt.qty, 0)) AS opqty, - SUM(isnull(bt.bonus, "_s
           u" 0)) AS opb FROM purreturns p INNER JOIN purreturnsbody bt ON p.purreturnid = bt.Purreturnid WHERE p.Purreturndate < '"_s +
           from +
           u"' GROUP BY bt.productid Union All SELECT bt.productid, - SUM(isnull(bt.qty, "_s
           u" 0)) AS opqty, - SUM(isnull(bt.bonus, 0)) AS opb FROM sales s INNER JOIN salesbody bt ON s.saleid = bt.saleid WHERE s.saledate < '"_s +
           from +
           u"' GROUP BY bt.productid Union All SELECT bt.productid, SUM(isnull(bt.qty, "_s
           u" 0)) AS opqty, SUM(isnull(bt.bonus, 0)) As opb FROM salereturns s INNER JOIN salereturnsbody bt ON s.salereturnid = bt.salereturnid WHERE s.Salereturndate <  '"_s +
           from +
           u"' GROUP BY bt.productid) OpeningQty "_s
           u" GROUP BY productid Union All SELECT bt.productid, 0 AS opqty, 0 AS opb, 0 AS pQty, 0 AS PBon, ISNULL(bt.qty, 0) AS PRETQTY, ISNULL(bt.bonus, 0) AS PRETB, 0 AS SaleQty, 0 AS SaleB, 0 AS SaleRetQty, 0 AS "_s
           u" SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS vcqty FROM purreturns p INNER JOIN purreturnsbody bt ON p.Purreturnid = bt.purreturnid WHERE p.Purreturndate BETWEEN  '"_s +
           from + u"' AND  '"_s + to +
           u"' Union All SELECT "_s
           u" bt.productid, 0 AS opqty, 0 AS opb, 0 AS pQty, 0 AS PBon, 0 AS PREQty, 0 AS PREtB, isnull(bt.qty,0) AS SaleQty, isnull(bt.bonus,0) AS SaleB, 0 AS SaleRetQty, 0 AS SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS "_s
           u" vcqty FROM sales s INNER JOIN salesbody bt ON s.saleid = bt.saleid WHERE s.saledate BETWEEN  '"_s +
           from + u"' AND  '"_s + to +
           u"' Union All SELECT bt.productid, 0 AS opqty, 0 AS opb, 0 AS pQty, 0 AS PBon, 0 "_s
           u" AS PREQty, 0 AS PREtB, 0 AS SaleQty, 0 AS SaleB, isnull(bt.qty,0) AS SaleRetQty, isnull(bt.bonus,0) AS SaleREtB, 0 AS eqty, 0 AS cqty, 0 AS vcqty FROM salereturns s INNER JOIN salereturnsbody bt ON s.salereturnid "_s
           u" = bt.salereturnid WHERE s.Salereturndate BETWEEN'"_s +
           from + u"' AND  '"_s + to +
           u"' ) AS Actual INNER JOIN Products ON actual.productid=products.productid INNER JOIN Companies ON Companies.CompanyId=Products.CompanyID "_s
           u" LEFT OUTER JOIN (SELECT ProductId, SUM(Qty * Cost) / SUM(Qty) AS AvgCost From CurrentStock GROUP BY ProductId) CStock ON Products.ProductId=CStock.ProductId "_s
           u" Where 1 = 1 "_s +
           clauses +
           u" GROUP BY Companies.CompanyId, Companies.CompanyName, "_s
           u" Products.productid, Products.productname, CStock.AvgCost order by Products.ProductName "_s;
}

} // namespace ReferenceQueries
