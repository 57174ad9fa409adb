// Both registers on a book numbered past the fifth digit: listed whole by default, and any
// range of up to nine digits, in the report, in its window and its range text.
#include "CriteriaWindowTest.h"
#include "ReportChecks.h"
#include "criteria/CriteriaWindow.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"
#include "reports/HeadlessReport.h"
#include "reports/SaleReturnRegisterReport.h"
#include "reports/SalesRegisterReport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Register
{
    const ReportDefinition &definition;
    QString lines;  // the register's lines, each with its number as `id`, and its `day`
    QString number; // the number column of the register's rows
};

std::vector<Register> registers()
{
    return {{SalesRegisterReport::instance(),
             u"select s.SaleId as id, s.SaleDate as day from Sales s join SalesBody sb "
             u"on sb.SaleId = s.SaleId"_s,
             u"saleid"_s},
            {SaleReturnRegisterReport::instance(),
             u"select r.SaleReturnID as id, r.SaleReturnDate as day from SaleReturns r join "
             u"SaleReturnsBody rb on rb.SaleReturnID = r.SaleReturnID"_s,
             u"salereturnid"_s}};
}

const QDate spring(2026, 4, 1), summer(2026, 6, 30);

// The lines of April to June numbered within low and high (none: no bound), counted and with
// the highest number, from the tables.
std::pair<int, qint64> linesWithin(const Connection &db, const Register &r, qint64 low,
                                   std::optional<qint64> high)
{
    const auto t = db.execute(u"select count(*), max(id) from ("_s + r.lines +
                              u") where day between '2026-04-01' "
                              u"and '2026-06-30' and id >= "_s +
                              QString::number(low) +
                              (high ? u" and id <= "_s + QString::number(*high) : QString()));
    return {int(t->number(0, 0)), qint64(t->number(1, 0))};
}

} // namespace

// Blank range boxes list every line of the period, the text naming the highest number
// listed; a range typed, of six to nine digits, is used as typed.
TEST(LongInvoiceNumbers, RegistersListWhateverTheRangeAsks)
{
    const auto db = Connection::openSqlite(ReportChecks::longNumberedBook());
    struct Range
    {
        QString from, to;
        qint64 low;
        std::optional<qint64> high;
        bool anything;
    };
    const std::vector<Range> ranges{
        {{}, {}, 1, std::nullopt, true},
        {{}, u"99999"_s, 1, 99999, true},
        {u"100000"_s, {}, 100000, std::nullopt, true},
        {u"100000"_s, u"999999"_s, 100000, 999999, true},
        {u"1000000"_s, u"998999999"_s, 1000000, 998999999, false},
        {u"999000000"_s, u"999999999"_s, 999000000, 999999999, true},
        {u"999000068"_s, {}, 999000068, std::nullopt, true},
    };
    for (const Register &r : registers()) {
        for (const Range &range : ranges) {
            SCOPED_TRACE(r.number.toStdString() + " " + range.from.toStdString() + " to " +
                         range.to.toStdString());
            const ReportChecks::RegisterBoxes boxes{spring, summer,     {},      {},
                                                    {},     range.from, range.to};
            const auto [count, highest] = linesWithin(*db, r, range.low, range.high);
            ASSERT_EQ(count > 0, range.anything);
            HeadlessReport report(r.definition, boxes, *db);
            if (!range.anything) {
                EXPECT_EQ(report.build(), HeadlessReport::Outcome::Empty);
                continue;
            }
            ASSERT_EQ(report.build(), HeadlessReport::Outcome::Built);
            EXPECT_EQ(report.rows().recordCount(), count);
            const QString shownFrom = range.from.isEmpty() ? u"1"_s : range.from;
            const QString shownTo = range.to.isEmpty() ? QString::number(highest) : range.to;
            EXPECT_EQ(report.report()->textObject(u"txtInvoice"_s).text(),
                      u"Invoiceno Between : "_s + shownFrom + u" To "_s + shownTo);
        }
    }
}

namespace {

class LongInvoiceNumberWindows : public CriteriaWindowTest
{
protected:
    QString database() const override { return ReportChecks::longNumberedBook(); }
};

} // namespace

// The windows' range boxes take nine digits; what they hold is the range the report lists.
TEST_F(LongInvoiceNumberWindows, RangeBoxesTakeNineDigits)
{
    const std::vector<std::pair<ReportKind, Register>> windows{
        {ReportKind::SalesRegister, registers()[0]},
        {ReportKind::SaleReturnRegister, registers()[1]}};
    for (const auto &[kind, r] : windows) {
        SCOPED_TRACE(r.number.toStdString());
        open(kind);
        setPeriod(spring, summer);
        QLineEdit *from = box(u"txtFromInvoiceno"_s);
        from->setFocus();
        QTest::keyClicks(from, u"9990000001"_s);
        EXPECT_EQ(from->text(), u"999000000"_s); // the tenth digit is refused
        const auto [count, highest] = linesWithin(*connection, r, 999000000, std::nullopt);
        ASSERT_GT(count, 0);
        ModalWatcher watcher;
        window->previewButton()->click();
        ASSERT_EQ(watcher.count(), 0);
        RptReportViewer *viewer = reports.preview().current();
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(window->resultSet().recordCount(), count);
        EXPECT_EQ(viewer->ReportName()->textObject(u"txtInvoice"_s).text(),
                  u"Invoiceno Between : 999000000 To "_s + QString::number(highest));
        viewer->close();

        type(u"txtToInvoiceno"_s, u"999999"_s);
        type(u"txtFromInvoiceno"_s, u"100000"_s);
        window->previewButton()->click();
        ASSERT_EQ(watcher.count(), 0);
        EXPECT_EQ(window->resultSet().recordCount(),
                  linesWithin(*connection, r, 100000, 999999).first);
        viewer = reports.preview().current();
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->ReportName()->textObject(u"txtInvoice"_s).text(),
                  u"Invoiceno Between : 100000 To 999999"_s);
        viewer->close();
        window->closeButton()->click();
    }
}
