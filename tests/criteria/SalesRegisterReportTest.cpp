#include "criteria/reports/SalesRegisterReport.h"
#include "DemoFixture.h"
#include "LineFigures.h"
#include "ReportChecks.h"
#include "criteria/reports/HeadlessReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

using Criteria = ReportChecks::RegisterBoxes;

const SalesRegisterReport &salesRegister()
{
    return SalesRegisterReport::instance();
}

} // namespace

// The register's rows and figures against the invoice lines, computed here from their columns.
TEST(SalesRegisterReport, FiguresAgreeWithTheInvoiceLines)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const Criteria c{QDate(2026, 3, 1), QDate(2026, 5, 31), {}, {}, u"3"_s, u"10"_s, u"99999"_s};
    Recordset rows;
    rows.open(salesRegister().query(c, connection->dialect()), *connection);
    ASSERT_GT(rows.recordCount(), 20);

    // The lines: sales of the period in town 3 (through the sale's sector), invoices 10 and up.
    const auto lines = connection->execute(
        u"select s.SaleId, sb.Qty, sb.Price, sb.Discratio, sb.Discvalue, sb.stratio, sb.stvalue, "
        u"sb.TTLValue, sb.TTLSalestax from Sales s join SalesBody sb on sb.SaleId = s.SaleId "
        u"join Sectors sr on sr.SectorId = s.SectorId where sr.TownId = 3 and s.SaleId >= 10 "
        u"and s.SaleDate >= '2026-03-01' and s.SaleDate <= '2026-05-31'"_s);
    struct Totals : LineFigures
    {
        double stored = 0;
        int lines = 0;
    };
    std::map<qint64, Totals> expected;
    for (int r = 0; r < lines->rowCount(); ++r) {
        Totals &t = expected[qint64(lines->number(0, r))];
        t += LineFigures::of(*lines, 1, r);
        t.stored += lines->number(7, r) + lines->number(8, r);
        t.lines += 1;
    }
    ASSERT_EQ(rows.recordCount(), lines->rowCount());

    std::map<qint64, Totals> listed;
    const ResultTable &table = *rows.rows();
    qint64 previous = -1;
    for (int r = 0; r < table.rowCount(); ++r) {
        const qint64 invoice = qint64(table.number(table.columnIndex(u"saleid"_s), r));
        EXPECT_GE(invoice, previous); // invoice order
        previous = invoice;
        Totals &t = listed[invoice];
        t.gross += table.number(table.columnIndex(u"Grossvalue"_s), r);
        t.discount += table.number(table.columnIndex(u"Totaldisc"_s), r);
        t.tax += table.number(table.columnIndex(u"Salestax"_s), r);
        t.net += table.number(table.columnIndex(u"NetValue"_s), r);
        t.lines += 1;
    }
    ASSERT_EQ(listed.size(), expected.size());
    for (const auto &[invoice, e] : expected) {
        const Totals &l = listed[invoice];
        EXPECT_EQ(l.lines, e.lines) << invoice;
        EXPECT_NEAR(l.gross, e.gross, 1e-6) << invoice;
        EXPECT_NEAR(l.discount, e.discount, 1e-6) << invoice;
        EXPECT_NEAR(l.tax, e.tax, 1e-6) << invoice;
        EXPECT_NEAR(l.net, e.net, 1e-6) << invoice;
        EXPECT_NEAR(l.net, e.stored, 0.01 * e.lines)
            << invoice; // the stored totals, to the cent a line
    }

    // The printed invoice totals and grand total say the same.
    std::unique_ptr<Report> report = salesRegister().makeReport(c, rows, *connection);
    using ReportChecks::amount, ReportChecks::printed;
    const QStringList printedNets = printed(*report, u"sumGroup1NetValue"_s);
    ASSERT_EQ(size_t(printedNets.size()), expected.size());
    double total = 0;
    qsizetype i = 0;
    for (const auto &[invoice, e] : expected) {
        EXPECT_NEAR(amount(printedNets[i++]), e.net, 0.005) << invoice;
        total += e.net;
    }
    EXPECT_NEAR(amount(printed(*report, u"sumNetValue"_s).value(0)), total, 0.005);
}

// Built without its window, the report shows what its window would: the names of the ids
// given, looked up as leaving their boxes looks them up, in the line saying what it covers.
TEST(SalesRegisterReport, HeadlessBuildNamesItsCriteria)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const QString customer =
        connection->execute(u"select CustomerId from Sales order by SaleId limit 1"_s)->text(0, 0);
    const QString customerName =
        connection
            ->execute(u"select PartyName from Parties where PartyId = '"_s + customer + u"'"_s)
            ->text(0, 0);
    HeadlessReport found(
        salesRegister(),
        Criteria{QDate(2025, 7, 1), QDate(2026, 6, 30), customer, {}, {}, {}, u"400"_s},
        *connection);
    ASSERT_EQ(found.build(), HeadlessReport::Outcome::Built);
    EXPECT_EQ(found.report()->criteriaLine(),
              u"Period 01-Jul-2025 to 30-Jun-2026 \u00B7 Customer "_s + customer + u" "_s +
                  customerName + u" \u00B7 To invoice 400"_s);
    EXPECT_EQ(found.report()->rowCount(), found.rows().recordCount());
    EXPECT_EQ(found.sqlText(), salesRegister().query(found.criteria(), connection->dialect()));
}
