#include "reports/CompanyWiseSaleReport.h"
#include "AnalysesFixture.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

ReportCriteria criteria(QDate from, QDate to, const QString &customer = {},
                        const QString &town = {}, const QString &sector = {})
{
    return {from, to, {{u"customer"_s, customer}, {u"town"_s, town}, {u"sector"_s, sector}}, {}};
}

const CompanyWiseSaleReport &companyWise()
{
    return CompanyWiseSaleReport::instance();
}

struct CompanyFigures
{
    double sales = 0;
    double returns = 0;
};

// Sales and returns per company, from the lines: a line counts when its document is dated in
// the period and its customer's sector (and that sector's town) exists and passes the filter;
// its company is the product id's first two characters, if Companies has it.
std::map<QString, CompanyFigures> companyFigures(const Connection &db, QDate from, QDate to,
                                                 const QString &customer, int town)
{
    std::map<QString, qint64> partySector;
    auto parties = db.execute(u"select PartyId, SectorId from Parties"_s);
    for (int r = 0; r < parties->rowCount(); ++r) {
        bool ok = false;
        const qint64 sector = parties->text(1, r).toLongLong(&ok);
        if (ok)
            partySector[parties->text(0, r)] = sector;
    }
    std::map<qint64, qint64> sectorTown;
    auto sectors = db.execute(u"select SectorId, TownId from Sectors"_s);
    std::set<qint64> towns;
    auto townRows = db.execute(u"select TownId from Towns"_s);
    for (int r = 0; r < townRows->rowCount(); ++r)
        towns.insert(qint64(townRows->number(0, r)));
    for (int r = 0; r < sectors->rowCount(); ++r)
        sectorTown[qint64(sectors->number(0, r))] = qint64(sectors->number(1, r));
    std::set<QString> companies;
    auto companyRows = db.execute(u"select CompanyId from Companies"_s);
    for (int r = 0; r < companyRows->rowCount(); ++r)
        companies.insert(QString::number(qint64(companyRows->number(0, r))));

    std::map<QString, CompanyFigures> figures;
    auto add = [&](const QString &sql, double CompanyFigures::*value) {
        auto lines = db.execute(sql);
        for (int r = 0; r < lines->rowCount(); ++r) {
            const QDate date = QDate::fromString(lines->text(0, r), u"yyyy-MM-dd"_s);
            const QString party = lines->text(1, r);
            const auto sector = partySector.find(party);
            if (date < from || date > to || sector == partySector.end())
                continue;
            const auto sectorRow = sectorTown.find(sector->second);
            if (sectorRow == sectorTown.end() || !towns.count(sectorRow->second))
                continue;
            if ((!customer.isEmpty() && party != customer) ||
                (town != 0 && sectorRow->second != town))
                continue;
            const QString company = lines->text(2, r).left(2);
            if (companies.count(company))
                figures[company].*value += lines->number(3, r) + lines->number(4, r);
        }
    };
    add(u"select s.SaleDate, s.CustomerId, b.ProductId, b.TTLValue, b.TTLSalestax "
        u"from Sales s, SalesBody b where b.SaleId = s.SaleId"_s,
        &CompanyFigures::sales);
    add(u"select r.SaleReturnDate, r.CustomerId, b.ProductId, b.TTLValue, b.TTLSalestax "
        u"from SaleReturns r, SaleReturnsBody b where b.SaleReturnID = r.SaleReturnID"_s,
        &CompanyFigures::returns);
    return figures;
}

} // namespace

// Each company's sales and returns against the lines, computed here one line at a time.
TEST(CompanyWiseSaleReport, FiguresAgreeWithTheLines)
{
    const auto db = Connection::openSqlite(AnalysesFixture::path());
    const QDate from = AnalysesFixture::from(), to = AnalysesFixture::to();
    struct Case
    {
        QString customer;
        QString town;
        int townNumber;
    };
    for (const Case &k : {Case{{}, {}, 0}, Case{{}, u"3"_s, 3}, Case{u"C0001"_s, {}, 0}}) {
        SCOPED_TRACE(k.customer.toStdString() + "/" + k.town.toStdString());
        const ReportCriteria c = criteria(from, to, k.customer, k.town, u"  "_s);
        Recordset rows;
        rows.open(companyWise().query(c, db->dialect()), *db);
        const ResultTable &t = *rows.rows();
        const auto expected = companyFigures(*db, from, to, k.customer, k.townNumber);
        ASSERT_EQ(size_t(t.rowCount()), expected.size());
        auto e = expected.begin();
        for (int r = 0; r < t.rowCount(); ++r, ++e) {
            EXPECT_EQ(t.text(0, r), e->first); // ordered by company
            EXPECT_EQ(t.text(1, r), db->execute(u"select CompanyName from Companies where "
                                                u"CompanyId = "_s +
                                                e->first)
                                        ->text(0, 0));
            EXPECT_NEAR(t.number(2, r), e->second.sales, 0.005) << e->first.toStdString();
            EXPECT_NEAR(t.number(3, r), e->second.returns, 0.005) << e->first.toStdString();
            EXPECT_EQ(t.number(4, r), 0.0);
        }
    }

    // Company 98 had returns only (its product was sold before the period): sales 0.
    ReportCriteria c = criteria(from, to, u"C0001"_s);
    Recordset rows;
    rows.open(companyWise().query(c, db->dialect()), *db);
    const ResultTable &t = *rows.rows();
    ASSERT_GT(t.rowCount(), 0);
    EXPECT_EQ(t.text(0, t.rowCount() - 1), u"98"_s);
    EXPECT_EQ(t.number(2, t.rowCount() - 1), 0.0);
    EXPECT_NEAR(t.number(3, t.rowCount() - 1), 210.0, 1e-9);
}
