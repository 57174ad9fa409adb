#include "reports/PeriodComparison.h"
#include "AnalysesFixture.h"
#include "CommandRun.h"
#include "CriteriaWindowTest.h"
#include "DemoFixture.h"
#include "ModalWatcher.h"
#include "XlsxReader.h"
#include "criteria/CriteriaWindow.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/DataBinding.h"
#include "presentation/Report.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"
#include "reports/CompanySectorWiseSaleReport.h"
#include "reports/CompanyWiseSaleReport.h"
#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "reports/HeadlessReport.h"
#include "reports/ProductWiseSalesReport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

using Mode = PeriodComparison::Mode;

QDate day(const char *iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

// One analysis as the test reads it: what tells its rows apart, its main figures worked out
// from its own columns, and the three columns each figure is compared in.
struct Analysis
{
    const ReportDefinition *definition;
    QStringList key;
    std::vector<std::function<double(const ResultTable &, int)>> figures;
    std::vector<QStringList> compared; // earlier, change, percent
    QStringList order;                 // the report's own order; empty: none
};

std::function<double(const ResultTable &, int)> difference(const QString &a, const QString &b)
{
    return [=](const ResultTable &t, int r) {
        return t.number(t.columnIndex(a), r) - (b.isEmpty() ? 0.0 : t.number(t.columnIndex(b), r));
    };
}

QString rowKey(const ResultTable &t, int r, const QStringList &key)
{
    QStringList parts;
    for (const QString &k : key)
        parts.append(t.text(t.columnIndex(k), r).toLower());
    return parts.join(u'|');
}

std::shared_ptr<const ResultTable> run(const ReportDefinition &d, ReportCriteria c, QDate from,
                                       QDate to, const Connection &db)
{
    c.from = from;
    c.to = to;
    Recordset rs;
    rs.open(d.query(c, db.dialect()), db);
    return rs.rows();
}

QString bare(QString formula)
{
    return formula.remove(u' ');
}

ReportCriteria criteria(QDate from, QDate to, QHash<QString, QString> texts)
{
    return {from, to, std::move(texts), {}};
}

} // namespace

// The period compared with: whole months against as many whole months before, other periods
// against as many days before, or each date a year back; none before the first date a report
// takes.
TEST(PeriodComparison, EarlierPeriodOfEachKindOfPeriod)
{
    const struct
    {
        Mode mode;
        const char *from, *to, *earlierFrom, *earlierTo;
    } cases[] = {
        {Mode::PreviousPeriod, "2026-04-01", "2026-04-30", "2026-03-01", "2026-03-31"},
        {Mode::PreviousPeriod, "2026-04-01", "2026-06-30", "2026-01-01", "2026-03-31"},
        {Mode::PreviousPeriod, "2026-03-01", "2026-03-31", "2026-02-01", "2026-02-28"},
        {Mode::PreviousPeriod, "2024-02-01", "2024-02-29", "2024-01-01", "2024-01-31"},
        {Mode::PreviousPeriod, "2025-01-01", "2025-12-31", "2024-01-01", "2024-12-31"},
        {Mode::PreviousPeriod, "2025-11-01", "2026-02-28", "2025-07-01", "2025-10-31"},
        {Mode::PreviousPeriod, "2026-04-10", "2026-04-19", "2026-03-31", "2026-04-09"},
        {Mode::PreviousPeriod, "2026-01-01", "2026-01-15", "2025-12-17", "2025-12-31"},
        {Mode::PreviousPeriod, "2024-03-01", "2024-03-01", "2024-02-29", "2024-02-29"},
        {Mode::PreviousPeriod, "2026-03-31", "2026-04-30", "2026-02-28", "2026-03-30"},
        {Mode::PreviousYear, "2026-04-01", "2026-06-30", "2025-04-01", "2025-06-30"},
        {Mode::PreviousYear, "2024-02-29", "2024-02-29", "2023-02-28", "2023-02-28"},
        {Mode::PreviousYear, "2025-02-01", "2025-02-28", "2024-02-01", "2024-02-29"},
        {Mode::PreviousYear, "2025-12-31", "2026-01-01", "2024-12-31", "2025-01-01"},
        {Mode::PreviousYear, "2026-01-10", "2026-03-15", "2025-01-10", "2025-03-15"},
        {Mode::PreviousYear, "1754-01-01", "1754-12-31", "1753-01-01", "1753-12-31"},
        {Mode::PreviousYear, "1753-06-01", "1753-06-30", nullptr, nullptr},
        {Mode::PreviousPeriod, "1753-01-01", "1753-01-31", nullptr, nullptr},
        {Mode::PreviousPeriod, "1753-01-05", "1753-01-10", nullptr, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + c.to);
        const PeriodComparison::Period p =
            PeriodComparison::earlier(c.mode, day(c.from), day(c.to));
        if (!c.earlierFrom) {
            EXPECT_FALSE(p.from.isValid());
            ReportCriteria refused = criteria(day(c.from), day(c.to), {});
            refused.texts.insert(PeriodComparison::key, c.mode == Mode::PreviousYear
                                                            ? u"previous-year"_s
                                                            : u"previous-period"_s);
            EXPECT_TRUE(PeriodComparison::problem(refused).has_value());
            continue;
        }
        EXPECT_EQ(p.from, day(c.earlierFrom));
        EXPECT_EQ(p.to, day(c.earlierTo));
    }
}

// Every comparison column of the four analyses is the same report run on its own over the
// earlier period: for both kinds of comparison, with and without criteria, rows of either
// period present once, the other period's figures 0, in the report's own order; and the
// report's own query text is what it runs for this period.
TEST(PeriodComparison, ComparedFiguresAreTheReportsOwnOverTheEarlierPeriod)
{
    const auto db = Connection::openSqlite(AnalysesFixture::path());
    const QStringList net{u"EarlierNetSales"_s, u"NetSalesChange"_s, u"NetSalesChangePct"_s};
    const Analysis companyWise{&CompanyWiseSaleReport::instance(),
                               {u"CompanyID"_s},
                               {difference(u"SaleValue"_s, u"ReturnValue"_s)},
                               {net},
                               {u"CompanyID"_s}};
    const Analysis companySector{
        &CompanySectorWiseSaleReport::instance(),
        {u"ProductId"_s, u"SectorId"_s},
        {difference(u"NetValue"_s, {})},
        {{u"EarlierNetValue"_s, u"NetValueChange"_s, u"NetValueChangePct"_s}},
        {}};
    const Analysis customers{&CustomerTownSectorWiseSalesReport::instance(),
                             {u"townid"_s, u"sectorid"_s, u"customerid"_s},
                             {difference(u"SalesValue"_s, u"ReturnsValue"_s)},
                             {net},
                             {u"townname"_s, u"sectorname"_s, u"customername"_s}};
    const Analysis products{
        &ProductWiseSalesReport::instance(),
        {u"ProductID"_s, u"SectorID"_s},
        {difference(u"NetQty"_s, {}), difference(u"NetSaleValue"_s, {})},
        {{u"EarlierNetQty"_s, u"NetQtyChange"_s, u"NetQtyChangePct"_s},
         {u"EarlierNetSaleValue"_s, u"NetSaleValueChange"_s, u"NetSaleValueChangePct"_s}},
        {}};
    const auto busiest = db->execute(
        u"select s.CustomerId, t.TownId from Sales s join Parties p on p.PartyId = s.CustomerId "
        u"join Sectors t on t.SectorId = p.SectorId where s.SaleDate between '2026-04-01' and "
        u"'2026-05-31' group by s.CustomerId, t.TownId order by count(*) desc limit 1"_s);
    const QString customer = busiest->text(0, 0), town = busiest->text(1, 0);
    const struct
    {
        const Analysis *analysis;
        QHash<QString, QString> texts;
    } reports[] = {
        {&companyWise, {}},
        {&companyWise, {{u"town"_s, town}, {u"customer"_s, customer}}},
        {&companySector, {{u"company"_s, u"11"_s}}},
        {&companySector, {{u"company"_s, u"12"_s}, {u"sector"_s, u"2"_s}}},
        {&customers, {}},
        {&customers, {{u"company"_s, u"11"_s}, {u"town"_s, town}}},
        {&products, {}},
        {&products, {{u"company"_s, u"11"_s}, {u"customer"_s, customer}}},
    };
    const struct
    {
        QString mode;
        const char *from, *to, *earlierFrom, *earlierTo;
    } periods[] = {
        {u"previous-period"_s, "2026-04-01", "2026-05-31", "2026-02-01", "2026-03-31"},
        // The demo company trades from July 2025: a year back, only the July of each side.
        {u"previous-year"_s, "2026-06-01", "2026-07-31", "2025-06-01", "2025-07-31"},
    };
    int onlyEarlier = 0, onlyNow = 0, emptyPercent = 0;
    for (const auto &report : reports) {
        const Analysis &a = *report.analysis;
        for (const auto &p : periods) {
            const QString trace = a.definition->entry().commandName + u' ' + p.mode + u' ' +
                                  QStringList(report.texts.keys()).join(u',');
            SCOPED_TRACE(trace.toStdString());
            ReportCriteria asked = criteria(day(p.from), day(p.to), report.texts);
            const auto now = run(*a.definition, asked, day(p.from), day(p.to), *db);
            const auto before =
                run(*a.definition, asked, day(p.earlierFrom), day(p.earlierTo), *db);
            asked.texts.insert(u"compare"_s, p.mode);
            HeadlessReport built(*a.definition, asked, *db);
            ASSERT_EQ(built.build(), HeadlessReport::Outcome::Built);
            EXPECT_EQ(
                built.sqlText(),
                a.definition->query(criteria(day(p.from), day(p.to), report.texts), db->dialect()));
            const ResultTable &rows = *built.rows().rows();

            std::map<QString, int> nowRows, beforeRows;
            for (int r = 0; r < now->rowCount(); ++r)
                nowRows[rowKey(*now, r, a.key)] = r;
            for (int r = 0; r < before->rowCount(); ++r)
                beforeRows[rowKey(*before, r, a.key)] = r;
            std::map<QString, int> seen;
            for (int r = 0; r < rows.rowCount(); ++r) {
                const QString key = rowKey(rows, r, a.key);
                ++seen[key];
                const auto n = nowRows.find(key);
                const auto b = beforeRows.find(key);
                ASSERT_TRUE(n != nowRows.end() || b != beforeRows.end()) << key.toStdString();
                onlyEarlier += n == nowRows.end();
                onlyNow += b == beforeRows.end();
                for (size_t f = 0; f < a.figures.size(); ++f) {
                    const double current = n != nowRows.end() ? a.figures[f](*now, n->second) : 0;
                    const double earlier =
                        b != beforeRows.end() ? a.figures[f](*before, b->second) : 0;
                    const QStringList &c = a.compared[f];
                    EXPECT_NEAR(a.figures[f](rows, r), current, 1e-6) << key.toStdString();
                    EXPECT_NEAR(rows.number(rows.columnIndex(c[0]), r), earlier, 1e-6);
                    EXPECT_NEAR(rows.number(rows.columnIndex(c[1]), r), current - earlier, 1e-6);
                    const bool none = std::abs(earlier) < 0.005;
                    emptyPercent += none;
                    EXPECT_EQ(rows.isNull(rows.columnIndex(c[2]), r), none) << key.toStdString();
                    if (!none) {
                        EXPECT_NEAR(rows.number(rows.columnIndex(c[2]), r),
                                    (current - earlier) / std::abs(earlier) * 100, 1e-6);
                    }
                }
                if (r > 0 && !a.order.isEmpty()) {
                    QStringList previous, here;
                    for (const QString &o : a.order) {
                        previous.append(rows.text(rows.columnIndex(o), r - 1).toLower());
                        here.append(rows.text(rows.columnIndex(o), r).toLower());
                    }
                    EXPECT_LE(previous, here) << key.toStdString();
                }
            }
            for (const auto &[key, count] : seen)
                EXPECT_EQ(count, 1) << key.toStdString();
            for (const auto *side : {&nowRows, &beforeRows}) {
                for (const auto &[key, row] : *side)
                    EXPECT_EQ(seen.count(key), 1u) << key.toStdString();
            }
        }
    }
    // The cases hold rows of one period only, on both sides, and earlier figures of 0.
    EXPECT_GT(onlyEarlier, 0);
    EXPECT_GT(onlyNow, 0);
    EXPECT_GT(emptyPercent, 0);
}

// The command line: the comparison's columns close every CSV row under their names; the
// workbook computes change and percent from the row's own cells, and the percent of a total
// from the totals; the PDF shows the earlier figures and names both periods; the company-wise
// chart draws a bar per period. What cannot be compared is refused as a bad argument.
TEST(PeriodComparison, CommandLineWritesAndRefusesComparisons)
{
    const QStringList period{u"--from"_s, u"2026-04-01"_s, u"--to"_s, u"2026-06-30"_s};
    const CommandRun::Outcome csv = CommandRun::report(
        u"product-wise-sales"_s, period + QStringList{u"--compare"_s, u"previous-year"_s});
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    const QStringList lines = csv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 2);
    EXPECT_TRUE(lines.front().trimmed().endsWith(
        u"EarlierNetQty,NetQtyChange,NetQtyChangePct,EarlierNetSaleValue,NetSaleValueChange,NetSaleValueChangePct"_s))
        << lines.front().toStdString();
    const qsizetype columns = lines.front().count(u',');
    for (const QString &line : lines)
        EXPECT_EQ(line.count(u','), columns) << line.toStdString();
    for (const QString &line : lines.mid(1)) { // a change of amounts to the cent prints as such
        const QString change = line.trimmed().section(u',', -2, -2);
        EXPECT_LE(change.section(u'.', 1).size(), 2) << line.toStdString();
    }

    QTemporaryDir folder(DemoFixture::temporaryFolder() + u"/compare-XXXXXX"_s);
    ASSERT_TRUE(folder.isValid());
    const QString book = folder.filePath(u"cw.xlsx"_s), pdf = folder.filePath(u"cw.pdf"_s);
    const CommandRun::Outcome written = CommandRun::report(
        u"company-wise-sale"_s, period + QStringList{u"--compare"_s, u"previous-period"_s,
                                                     u"--xlsx"_s, book, u"--pdf"_s, pdf});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();

    const XlsxReader reader(book);
    ASSERT_TRUE(reader.isValid());
    const XlsxReader::Sheet &sheet = reader.sheets().front();
    int header = -1;
    std::map<QString, QString> letter; // caption -> column letter
    for (const auto &[r, row] : sheet.rows) {
        for (const auto &[c, cell] : row.cells) {
            if (cell.isText() && cell.value == u"Earlier")
                header = r;
        }
        if (header >= 0)
            break;
    }
    ASSERT_GE(header, 0);
    for (const auto &[c, cell] : sheet.rows.at(header).cells)
        letter[cell.value] = QString(QChar(u'A' + c));
    for (const QString &caption :
         {u"Sales"_s, u"Returns"_s, u"Net Sales"_s, u"Earlier"_s, u"Change"_s, u"Change %"_s})
        ASSERT_EQ(letter.count(caption), 1u) << caption.toStdString();
    int formulaRows = 0;
    for (const auto &[r, row] : sheet.rows) {
        const XlsxReader::Cell *change = sheet.cell(r, letter[u"Change"_s][0].unicode() - u'A');
        if (r <= header || !change)
            continue;
        const QString n = QString::number(r + 1);
        const auto at = [&](const QString &caption) { return letter[caption] + n; };
        const XlsxReader::Cell *percent = sheet.cell(r, letter[u"Change %"_s][0].unicode() - u'A');
        ASSERT_NE(percent, nullptr);
        if (change->formula.startsWith(u"SUBTOTAL"_s)) {
            // The grand total: the percent worked out from the totals beside it.
            EXPECT_EQ(bare(percent->formula),
                      u"IF(%1=0,\"\",%2/ABS(%1)*100)"_s.arg(at(u"Earlier"_s), at(u"Change"_s)));
            continue;
        }
        ++formulaRows;
        EXPECT_EQ(bare(sheet.cell(r, letter[u"Net Sales"_s][0].unicode() - u'A')->formula),
                  at(u"Sales"_s) + u'-' + at(u"Returns"_s));
        EXPECT_EQ(bare(change->formula), at(u"Net Sales"_s) + u'-' + at(u"Earlier"_s));
        EXPECT_EQ(bare(percent->formula),
                  u"IF(%1=0,\"\",%2/ABS(%1)*100)"_s.arg(at(u"Earlier"_s), at(u"Change"_s)));
    }
    EXPECT_GT(formulaRows, 3);

    const QString layoutText = CommandRun::pdfText(pdf);
    const QString text = layoutText.simplified();
    // The grand total's percent is the total change over the total earlier figure, each the
    // sum of the figures printed above it.
    const CommandRun::Outcome rowsCsv = CommandRun::report(
        u"company-wise-sale"_s, period + QStringList{u"--compare"_s, u"previous-period"_s});
    double earlierTotal = 0, changeTotal = 0;
    const QStringList csvLines = rowsCsv.out.split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype k = 1; k < csvLines.size(); ++k) { // ... earlier, change, percent
        const QStringList cells = csvLines[k].trimmed().split(u',');
        earlierTotal += std::round(cells[cells.size() - 3].toDouble() * 100);
        changeTotal += std::round(cells[cells.size() - 2].toDouble() * 100);
    }
    const QString grand = layoutText.section(u"Grand total"_s, 1).section(u'\n', 0, 0);
    EXPECT_EQ(grand.split(u' ', Qt::SkipEmptyParts).last(),
              QString::number(changeTotal / earlierTotal * 100, 'f', 1))
        << grand.toStdString();
    EXPECT_TRUE(text.contains(u"compared with 01-Jan-2026 to 31-Mar-2026"_s));
    EXPECT_TRUE(text.contains(u"Earlier Change Change %"_s));
    EXPECT_TRUE(text.contains(u"Earlier period"_s)); // the chart's legend: two bars a company

    const struct
    {
        QString report;
        QStringList arguments;
        QString message;
    } refused[] = {
        {u"company-wise-sale"_s, {u"--compare"_s, u"last-month"_s}, u"--compare takes one of"_s},
        {u"sales-register"_s, {u"--compare"_s, u"previous-year"_s}, u"compare"_s},
        {u"customer-town-sector-wise-sales"_s,
         {u"--from"_s, u"1753-01-05"_s, u"--to"_s, u"1753-01-20"_s, u"--compare"_s,
          u"previous-period"_s},
         u"before 01-Jan-1753"_s},
    };
    for (const auto &r : refused) {
        const CommandRun::Outcome o = CommandRun::report(r.report, r.arguments);
        EXPECT_EQ(o.status, 2) << r.report.toStdString();
        EXPECT_TRUE(o.err.contains(r.message)) << o.err.toStdString();
    }
    EXPECT_TRUE(CommandRun::line({u"report"_s, u"--help"_s})
                    .out.contains(u"--compare none|previous-period|previous-year"_s));
}

// The window's choice, after every other control, builds the same comparison as the command
// line: the preview gets the comparison's layout and rows.
class PeriodComparisonWindow : public CriteriaWindowTest
{
protected:
    QString database() const override { return AnalysesFixture::path(); }
};

TEST_F(PeriodComparisonWindow, ChoiceBuildsTheComparisonInThePreview)
{
    open(u"company-wise-sale"_s);
    auto *choice = window->findChild<QComboBox *>(u"CboCompare"_s);
    ASSERT_NE(choice, nullptr);
    // Tab reaches it after every control the window had before it.
    std::vector<QWidget *> chain;
    for (QWidget *w = static_cast<QWidget *>(window->fromDate()); chain.size() < 200; w = w->nextInFocusChain()) {
        if (!chain.empty() && w == chain.front())
            break;
        chain.push_back(w);
    }
    const auto at = [&](const QWidget *w) {
        return std::find(chain.begin(), chain.end(), w) - chain.begin();
    };
    for (const QString &name : {u"txtCustomerID"_s, u"txtTownID"_s, u"txtSectorID"_s})
        EXPECT_LT(at(box(name)), at(choice)) << name.toStdString();
    EXPECT_EQ(at(window->closeButton()) + 1, at(choice));
    EXPECT_LT(at(choice), ptrdiff_t(chain.size()));
    setPeriod(QDate(2026, 4, 1), QDate(2026, 4, 30));
    choice->setCurrentIndex(choice->findData(u"previous-period"_s));
    ModalWatcher watcher;
    QString layout, line;
    int earlier = -1;
    watcher.then([&](QWidget *modal) {
        const Report *report = qobject_cast<RptReportViewer *>(modal)->ReportName();
        layout = report->layout().name;
        line = report->criteriaLine();
        earlier = report->binding().table().columnIndex(u"EarlierNetSales"_s);
        modal->close();
    });
    window->previewButton()->click();
    EXPECT_EQ(layout, u"compare/CrpCompanyWiseSale"_s);
    EXPECT_TRUE(line.contains(u"compared with 01-Mar-2026 to 31-Mar-2026"_s)) << line.toStdString();
    EXPECT_GE(earlier, 0);
}
