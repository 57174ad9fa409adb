#include "reports/MonthlySalesReport.h"
#include "CommandRun.h"
#include "DemoFixture.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "reports/DrillDown.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"

#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

const MonthlySalesReport &monthly()
{
    return MonthlySalesReport::instance();
}

ReportCriteria criteria(QDate from, QDate to, QHash<QString, QString> texts = {})
{
    return {from, to, std::move(texts), {}};
}

std::shared_ptr<const ResultTable> run(const ReportDefinition &report, const ReportCriteria &c,
                                       const Connection &db)
{
    Recordset rows;
    rows.open(report.query(c, db.dialect()), db);
    return rows.rows();
}

// A register's NetValue per key of its lines (the key read from the line's product id), for
// lines whose product id starts with the company given.
std::map<QString, double> registerNet(const ReportDefinition &reg, const ReportCriteria &c,
                                      const Connection &db, int keyLength = 0,
                                      const QString &company = {})
{
    const auto t = run(reg, c, db);
    const int product = t->columnIndex(u"productid");
    const int net = t->columnIndex(u"NetValue");
    std::map<QString, double> sums;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QString id = t->text(product, r).trimmed();
        if (company.isEmpty() || id.startsWith(company))
            sums[keyLength ? id.left(keyLength) : QString()] += t->number(net, r);
    }
    return sums;
}

// Sales less returns by the registers' own definitions, per product-id key.
std::map<QString, double> registersNet(const ReportCriteria &c, const Connection &db,
                                       int keyLength = 0, const QString &company = {})
{
    ReportCriteria plain = c;
    plain.texts.remove(StandardFields::companyKey);
    plain.texts.remove(MonthlySalesReport::byKey);
    std::map<QString, double> net =
        registerNet(SalesRegisterReport::instance(), plain, db, keyLength, company);
    for (const auto &[key, value] :
         registerNet(SaleReturnRegisterReport::instance(), plain, db, keyLength, company))
        net[key] -= value;
    return net;
}

double column(const ResultTable &t, const QString &name)
{
    const int c = t.columnIndex(name);
    double sum = 0;
    for (int r = 0; r < t.rowCount(); ++r)
        sum += t.number(c, r);
    return sum;
}

} // namespace

// The report's total over any period and criteria is the sales register's net less the sale
// return register's, and so is each month's column against the registers run on that month.
TEST(MonthlySalesReport, TotalsAreTheRegistersNetDifference)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const auto some =
        run(SalesRegisterReport::instance(), criteria({2026, 3, 1}, {2026, 3, 31}), *db);
    ASSERT_GT(some->rowCount(), 0);
    // A customer, a sector and a town that have sales, and a company.
    const QString customer =
        db->execute(u"select CustomerId from Sales order by SaleId"_s)->text(0, 0);
    const auto place = db->execute(
        u"select s.SectorId, sr.TownId from Sales s join Sectors sr on sr.SectorId = s.SectorId "
        u"where s.SaleDate between '2026-03-01' and '2026-03-31' order by s.SaleId"_s);
    const QString sector = place->text(0, 0), town = place->text(1, 0);
    const QString company = some->text(some->columnIndex(u"productid"), 0).trimmed().left(2);
    struct Case
    {
        const char *what;
        QDate from, to;
        QHash<QString, QString> texts;
    };
    const Case cases[] = {
        {"whole year", {2025, 1, 1}, {2025, 12, 31}, {}},
        {"year across two calendar years", {2025, 7, 1}, {2026, 6, 30}, {{u"by"_s, u"customer"_s}}},
        {"single month", {2026, 3, 1}, {2026, 3, 31}, {{u"by"_s, u"product"_s}}},
        {"part months at both ends", {2025, 11, 17}, {2026, 2, 9}, {{u"by"_s, u"sector"_s}}},
        {"customer", {2025, 1, 1}, {2025, 12, 31}, {{u"customer"_s, customer}}},
        {"sector", {2026, 1, 1}, {2026, 6, 30}, {{u"sector"_s, sector}, {u"by"_s, u"product"_s}}},
        {"town", {2026, 1, 1}, {2026, 6, 30}, {{u"town"_s, town}, {u"by"_s, u"customer"_s}}},
        {"company",
         {2025, 1, 1},
         {2025, 12, 31},
         {{u"company"_s, company}, {u"by"_s, u"sector"_s}}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        const ReportCriteria c = criteria(k.from, k.to, k.texts);
        const auto t = run(monthly(), c, *db);
        ASSERT_GT(t->rowCount(), 0);
        const QString only = c.text(u"company"_s);
        const double expected = registersNet(c, *db, 0, only)[QString()];
        EXPECT_NEAR(column(*t, u"Total"_s), expected, 0.01);
        const int months = MonthlySalesReport::monthCount(c);
        double monthsTotal = 0;
        for (int m = 0; m < months; ++m) {
            const QDate first =
                std::max(QDate(k.from.year(), k.from.month(), 1).addMonths(m), k.from);
            const QDate last =
                std::min(QDate(first.year(), first.month(), 1).addMonths(1).addDays(-1), k.to);
            const double month = column(*t, MonthlySalesReport::monthColumn(m));
            EXPECT_NEAR(month,
                        registersNet(criteria(first, last, k.texts), *db, 0, only)[QString()], 0.01)
                << first.toString(u"yyyy-MM"_s).toStdString();
            monthsTotal += month;
        }
        EXPECT_NEAR(monthsTotal, column(*t, u"Total"_s), 0.01);
        for (int m = months; m < MonthlySalesReport::maxMonths; ++m)
            EXPECT_TRUE(t->text(t->columnIndex(MonthlySalesReport::monthColumn(m)), 0).isEmpty());
    }
}

// Rows by product and by company carry the registers' figures of their own lines.
TEST(MonthlySalesReport, RowsHoldTheirOwnLines)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QDate from(2025, 10, 1), to(2026, 3, 31);
    for (const auto &[by, keyLength] : {std::pair{u"product"_s, 0}, std::pair{u"company"_s, 2}}) {
        SCOPED_TRACE(by.toStdString());
        const auto t = run(monthly(), criteria(from, to, {{u"by"_s, by}}), *db);
        std::map<QString, double> expected;
        if (keyLength) {
            expected = registersNet(criteria(from, to), *db, keyLength);
        } else {
            // Product ids have no fixed length: key each line by its whole id.
            for (const auto &[id, v] : registersNet(criteria(from, to), *db, 64))
                expected[id] = v;
        }
        ASSERT_EQ(size_t(t->rowCount()), expected.size());
        for (int r = 0; r < t->rowCount(); ++r) {
            const QString id = t->text(t->columnIndex(u"ID"), r).trimmed();
            EXPECT_NEAR(t->number(t->columnIndex(u"Total"), r), expected[id], 0.01)
                << id.toStdString();
        }
    }
}

TEST(MonthlySalesReport, RefusesWhatItCannotShow)
{
    struct Case
    {
        QDate from, to;
        QString by;
        bool refused;
        const char *word; // in the message
    };
    const Case cases[] = {
        {{2024, 7, 1}, {2026, 6, 30}, u"product"_s, false, ""},
        {{2024, 7, 31}, {2026, 6, 1}, {}, false, ""},
        {{2024, 6, 30}, {2026, 6, 30}, {}, true, "25 months"},
        {{2026, 3, 2}, {2026, 3, 1}, {}, true, "From date"},
        {{2026, 3, 1}, {2026, 3, 31}, u"region"_s, true, "region"},
    };
    for (const Case &k : cases) {
        const auto refusal =
            monthly().refusal(criteria(k.from, k.to, {{u"by"_s, k.by}}), ReportAction::Preview);
        ASSERT_EQ(refusal.has_value(), k.refused) << k.from.toString().toStdString();
        if (k.refused) {
            EXPECT_TRUE(refusal->text.contains(QString::fromUtf8(k.word)))
                << refusal->text.toStdString();
        }
    }
    // The command line says the same, as bad arguments.
    struct Line
    {
        QStringList arguments;
        int status;
    };
    const Line lines[] = {
        {{u"--from"_s, u"2024-06-30"_s, u"--to"_s, u"2026-06-30"_s}, 2},
        {{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-03-31"_s, u"--by"_s, u"town"_s}, 2},
        {{u"--from"_s, u"2026-03-01"_s, u"--to"_s, u"2026-03-31"_s, u"--by"_s, u"sector"_s,
          u"--csv"_s, u"-"_s},
         0},
    };
    for (const Line &l : lines) {
        const CommandRun::Outcome o = CommandRun::report(u"monthly-sales"_s, l.arguments);
        EXPECT_EQ(o.status, l.status)
            << l.arguments.join(u' ').toStdString() << o.err.toStdString();
        if (l.status == 0) {
            EXPECT_TRUE(o.out.section(u'\n', 0, 0).contains(u"M01"_s))
                << o.out.left(200).toStdString();
        }
    }
}

// A row leads to the register of its customer or sector over the period, whose lines less
// their returns are the row's total; the headings name the period's months.
TEST(MonthlySalesReport, RowsLeadToTheirRegisterAndMonthsAreHeaded)
{
    const auto db = Connection::openSqlite(DemoFixture::path());
    const QDate from(2026, 1, 1), to(2026, 4, 30);
    for (const QString &by : {u"customer"_s, u"sector"_s}) {
        SCOPED_TRACE(by.toStdString());
        const ReportCriteria c = criteria(from, to, {{u"by"_s, by}});
        const auto t = run(monthly(), c, *db);
        ASSERT_GT(t->rowCount(), 1);
        for (int r : {0, t->rowCount() - 1}) {
            const auto target = DrillDown::target(monthly(), c, *t, r);
            ASSERT_TRUE(target.has_value());
            ASSERT_EQ(target->detail, &SalesRegisterReport::instance());
            EXPECT_EQ(target->criteria.from, from);
            EXPECT_EQ(target->criteria.to, to);
            EXPECT_NEAR(registersNet(target->criteria, *db)[QString()],
                        t->number(t->columnIndex(u"Total"), r), 0.01);
        }
    }

    Recordset rows;
    const ReportCriteria c = criteria({2025, 11, 20}, {2026, 2, 3});
    rows.open(monthly().query(c, db->dialect()), *db);
    const auto report = monthly().makeReport(c, rows, *db);
    const QStringList expected{u"2025-11"_s, u"2025-12"_s, u"2026-01"_s, u"2026-02"_s, {}};
    for (int k = 0; k < expected.size(); ++k)
        EXPECT_EQ(report->textObject(u"hdr"_s + MonthlySalesReport::monthColumn(k)).text(),
                  expected[k]);
    EXPECT_EQ(report->PaperOrientation(), 2);
}
