#include "AnalysesFixture.h"

#include "DemoFixture.h"
#include "ReportChecks.h"
#include "db/Connection.h"
#include "db/ResultTable.h"

using namespace Qt::StringLiterals;

namespace AnalysesFixture {

QDate from()
{
    return QDate(2026, 3, 1);
}

QDate to()
{
    return QDate(2026, 5, 31);
}

namespace {

qint64 nextId(const Connection &db, const QString &sql)
{
    return qint64(db.execute(sql)->number(0, 0)) + 1;
}

} // namespace

qint64 twoLineSale()
{
    static const qint64 id = [] {
        const auto db = Connection::openSqlite(DemoFixture::path());
        return nextId(*db, u"select max(SaleId) from Sales"_s) + 1;
    }();
    return id;
}

QString path()
{
    static const QString file = [] {
        const auto db = Connection::openSqlite(DemoFixture::path());
        const qint64 oldSale = twoLineSale() - 1;
        const qint64 firstReturn = nextId(*db, u"select max(SaleReturnID) from SaleReturns"_s);
        const auto customers = db->execute(
            u"select PartyId, SectorId from Parties where PartyId in ('C0001', 'C0002') "
            u"order by PartyId"_s);
        const QString c1 = customers->text(0, 0), s1 = customers->text(1, 0);
        const QString c2 = customers->text(0, 1), s2 = customers->text(1, 1);
        const QString n = QString::number(oldSale), m = QString::number(twoLineSale());
        const QString r1 = QString::number(firstReturn), r2 = QString::number(firstReturn + 1);
        return ReportChecks::demoCopy(
            u"analyses.sqlite"_s,
            u"insert into Companies values (98, 'Returns Only Traders');"
            u"insert into Products values ('98001', 'Returned Widget', 98, 1, 100, 0, 0, null);"
            u"insert into Products values ('11999', 'Misfiled Widget', 12, 1, 200, 0, 0, null);"
            // Sold before the period, returned within it.
            u"insert into Sales values (%1, '2026-01-20', '%3', %4, 0);"
            u"insert into SalesBody values (%1, 1, '98001', 5, 0, 100, 0, 0, 0, 0, 500, 0);"
            u"insert into SaleReturns values (%5, '2026-03-06', %1, '%3', %4, 0, 0, 0, 0, 0);"
            u"insert into SaleReturnsBody values (%5, 1, '98001', 2, 1, 100, 0, 0, 5, 0, 200, "
            u"10, 1);"
            // Sold within the period: 11999, and 11001 on two lines; 11001 returned after it.
            u"insert into Sales values (%2, '2026-03-04', '%6', %7, 0);"
            u"insert into SalesBody values (%2, 1, '11999', 3, 1, 200, 0, 0, 5, 0, 600, 30);"
            u"insert into SalesBody values (%2, 2, '11001', 4, 0, 100, 0, 0, 0, 0, 400, 0);"
            u"insert into SalesBody values (%2, 3, '11001', 2, 1, 100, 0, 0, 0, 0, 200, 0);"
            u"insert into SaleReturns values (%8, '2026-06-03', %2, '%6', %7, 0, 0, 0, 0, 0);"
            u"insert into SaleReturnsBody values (%8, 1, '11001', 1, 1, 100, 0, 0, 0, 0, 100, "
            u"5, 1);"_s.arg(n, m, c1, s1, r1, c2, s2, r2));
    }();
    return file;
}

} // namespace AnalysesFixture
