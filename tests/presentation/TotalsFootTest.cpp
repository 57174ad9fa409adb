#include "CommandRun.h"
#include "DemoFixture.h"
#include "LayoutQueries.h"
#include "RegionSales.h"
#include "ReportChecks.h"
#include "TotalsFooting.h"
#include "XlsxReader.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;

namespace {

using RegionSales::Sale;
using ReportChecks::printed;

std::unique_ptr<Report> bound(const QString &layout, const std::shared_ptr<ResultTable> &rows)
{
    auto report = std::make_unique<Report>(RegionSales::layout(layout));
    Recordset rs;
    rs.open(rows);
    report->Database().SetDataSource(rs);
    return report;
}

// The printed report, its PDF and its workbook all foot.
void expectFooting(Report &report, const QString &folder, const QString &name)
{
    int totals = 0, figures = 0, subtotals = 0;
    EXPECT_EQ(TotalsFooting::pageFaults(report, totals), QStringList());
    const QString pdf = folder + u'/' + name + u".pdf"_s;
    ASSERT_TRUE(report.exportPdf(pdf));
    EXPECT_EQ(TotalsFooting::pdfFaults(report, pdf, figures), QStringList());
    const QString xlsx = folder + u'/' + name + u".xlsx"_s;
    ASSERT_TRUE(report.exportXlsx(xlsx));
    const XlsxReader book(xlsx);
    ASSERT_TRUE(book.isValid());
    EXPECT_EQ(TotalsFooting::workbookFaults(book, subtotals), QStringList());
    EXPECT_GT(figures, totals);
    EXPECT_GT(subtotals, 0);
}

} // namespace

// Amounts of half a cent are printed rounded away from zero, and the totals add what is
// printed: three lines of 1.005 print 1.01 each and total 3.03 (not 3.015 rounded), on the page,
// in the PDF and in the workbook's stored subtotals. Where the layout prints only the totals,
// the workbook's cells still show each amount, and its subtotals agree with the printed ones.
TEST(TotalsFoot, HalfCentsAreRoundedAsPrintedBeforeTheyAreAdded)
{
    const struct
    {
        std::vector<double> amounts;
        QString line, total;
    } cases[] = {
        {{1.005, 1.005, 1.005}, u"1.01"_s, u"3.03"_s},
        {{-1.005, -1.005, -1.005}, u"-1.01"_s, u"-3.03"_s},
        {{2.675, 2.675, 2.675, 2.675}, u"2.68"_s, u"10.72"_s},
        {{1234567.895, 1234567.895, 1234567.895}, u"1,234,567.90"_s, u"3,703,703.70"_s},
        {{0.004, 0.004, 0.004}, u"0.00"_s, u"0.00"_s},
    };
    auto totalsOnly = std::make_shared<ReportLayout>(*RegionSales::layout(u"twoGroups"_s));
    for (Band &band : totalsOnly->bands)
        std::erase_if(band.objects, [](const LayoutObject &o) { return o.name == u"fldAmount"; });
    QTemporaryDir folder;
    int number = 0;
    for (const auto &c : cases) {
        for (const bool linesPrinted : {true, false}) {
            SCOPED_TRACE(c.total.toStdString() + (linesPrinted ? "" : ", totals only"));
            std::vector<Sale> rows;
            for (double amount : c.amounts)
                rows.push_back({u"North"_s, u"Khan Traders"_s, amount, 1, 1.0});
            Report report(linesPrinted ? RegionSales::layout(u"twoGroups"_s) : totalsOnly);
            Recordset rs;
            rs.open(RegionSales::table(rows));
            report.Database().SetDataSource(rs);
            EXPECT_EQ(printed(report, u"fldAmount"_s),
                      QStringList(linesPrinted ? qsizetype(rows.size()) : 0, c.line));
            for (const QString &total :
                 {u"sumCustomerAmount"_s, u"sumRegionAmount"_s, u"sumAmount"_s})
                EXPECT_EQ(printed(report, total), QStringList{c.total}) << total.toStdString();
            expectFooting(report, folder.path(), u"case%1"_s.arg(++number));
            const XlsxReader book(folder.filePath(u"case%1.xlsx"_s.arg(number)));
            ASSERT_TRUE(book.isValid());
            const XlsxReader::Row &grand = book.sheets().front().rows.rbegin()->second;
            const int amountColumn = linesPrinted ? 2 : 4;
            EXPECT_EQ(std::llround(grand.cells.at(amountColumn).number() * 1e6),
                      TotalsFooting::millionths(c.total));
        }
    }
}

// Every report of the demo company over half a year: each invoice, group and grand total is
// the sum of the lines printed above it, in the PDF's text as on the page, and the workbook's
// subtotals hold the same figures as the PDF's grand totals.
TEST(TotalsFoot, EveryReportFootsOnPagePdfAndWorkbook)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    QTemporaryDir folder;
    for (const auto &[layout, sql] :
         LayoutQueries::all(*connection, u"2026-01-01"_s, u"2026-06-30"_s)) {
        SCOPED_TRACE(layout.toStdString());
        auto report = Report::fromLayout(layout);
        Recordset rs;
        rs.open(sql, *connection);
        report->Database().SetDataSource(rs);
        expectFooting(*report, folder.path(), layout);

        // The grand totals the PDF prints are the workbook's, to the cent.
        const XlsxReader book(folder.filePath(layout + u".xlsx"_s));
        ASSERT_TRUE(book.isValid());
        std::vector<qint64> workbook;
        for (const auto &[c, cell] : book.sheets().back().rows.rbegin()->second.cells) {
            if (!cell.formula.isEmpty())
                workbook.push_back(std::llround(cell.number() * 1e6));
        }
        for (const auto &o : report->objects()) {
            if (o->layout().type != ObjectType::Summary || o->layout().scopeGroup != -1)
                continue;
            for (const QString &figure : printed(*report, o->Name()))
                EXPECT_NE(
                    std::find(workbook.begin(), workbook.end(), TotalsFooting::millionths(figure)),
                    workbook.end())
                    << o->Name().toStdString() << " " << figure.toStdString();
        }
    }
}

// A line without an amount is no line to count: a count of amounts leaves nulls out, while
// sums go on footing.
TEST(TotalsFoot, CountsLeaveOutLinesWithoutAValue)
{
    std::vector<Sale> sales = RegionSales::random(60, 17, 2, 6);
    std::vector<int> counts; // per customer, lines with an amount
    for (size_t i = 0; i < sales.size(); ++i) {
        if (i == 0 || sales[i].customer != sales[i - 1].customer)
            counts.push_back(0);
        if (i % 4 == 1)
            sales[i].amount = std::numeric_limits<double>::quiet_NaN();
        else
            ++counts.back();
    }
    auto report = bound(u"twoGroups"_s, RegionSales::table(sales));
    QStringList expected;
    for (int n : counts)
        expected.append(QString::number(n));
    EXPECT_EQ(printed(*report, u"cntCustomerLines"_s), expected);

    QTemporaryDir folder;
    expectFooting(*report, folder.path(), u"nulls"_s);
}

// Customers whose header and totals do not fit on one page with their line: the line goes onto
// the next page alone, and its totals still begin with it. Rows bound in any order print by
// region from Z to A, customers A to Z, largest amount first, as the layout sorts them.
TEST(TotalsFoot, RowsSplitFromTheirHeadersStartTheirTotalsAndSortKeysKeepTheirDirection)
{
    // Amounts of whole cents and a half: each prints the cent above.
    std::vector<Sale> rows;
    std::mt19937 random(5);
    for (int i = 0; i < 40; ++i)
        rows.push_back({u"Region %1"_s.arg(i % 3), u"Customer %1"_s.arg(i % 7 + i % 2),
                        double(random() % 100000) / 100.0 + 0.005, 1, 1.0});
    const auto shown = [](double amount) {
        const qint64 cents = qint64(amount * 100) + 1;
        return u"%1.%2"_s.arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0'));
    };
    std::shuffle(rows.begin(), rows.end(), random);
    auto report = bound(u"tallGroups"_s, RegionSales::table(rows));
    QTemporaryDir folder;
    expectFooting(*report, folder.path(), u"tall"_s);

    // Some line printed on a page of its own, its header on the page before.
    int alone = 0;
    for (int n = 0; n < report->pageCount(); ++n) {
        QStringList names;
        for (const PageItem &item : report->page(n).items)
            names.append(report->objects()[size_t(item.object)]->Name());
        alone += names.contains(u"fldAmount"_s) && !names.contains(u"fldCustomer"_s);
    }
    EXPECT_GT(alone, 0);

    std::vector<Sale> sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Sale &a, const Sale &b) {
        if (a.region != b.region)
            return a.region > b.region;
        if (a.customer != b.customer)
            return a.customer < b.customer;
        return a.amount > b.amount;
    });
    QStringList expected;
    for (const Sale &s : sorted)
        expected.append(shown(s.amount));
    QStringList amounts = printed(*report, u"fldAmount"_s);
    for (QString &a : amounts)
        a.remove(u',');
    EXPECT_EQ(amounts, expected);
}

// Names in the PDF are written with their delimiters escaped: a font whose family holds a '#'
// and texts with parentheses and backslashes make a file a checker finds sound and a reader
// reads back.
TEST(TotalsFoot, PdfOfFontAndTextsWithDelimitersIsValid)
{
    using CommandRun::tool;
    const QString path = tool(u"fc-match"_s, {u"-f"_s, u"%{file}"_s, u"DejaVu Sans"_s}).out;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray data = file.readAll();
    // The family's name in the name table, in Macintosh and UTF-16 records, of equal length.
    const QByteArray family = "DejaVu Sans", renamed = "Dej#Vu Sans";
    data.replace(family, renamed);
    QByteArray wide, wideRenamed;
    for (qsizetype i = 0; i < family.size(); ++i) {
        wide += '\0' + family.mid(i, 1);
        wideRenamed += '\0' + renamed.mid(i, 1);
    }
    data.replace(wide, wideRenamed);
    const int id = QFontDatabase::addApplicationFontFromData(data);
    ASSERT_GE(id, 0);
    ASSERT_TRUE(QFontDatabase::applicationFontFamilies(id).contains(u"Dej#Vu Sans"_s));

    auto layout = std::make_shared<ReportLayout>(*RegionSales::layout(u"twoGroups"_s));
    layout->font.family = u"Dej#Vu Sans"_s;
    for (Band &band : layout->bands) {
        for (LayoutObject &o : band.objects)
            o.font.family = u"Dej#Vu Sans"_s;
    }
    Report report(layout);
    report.SetReportTitle(u"Sales (North) \\ South)"_s);
    report.textObject(u"txtTitle"_s).SetText(u"Khan (Pvt) Ltd \\ Lahore ( #1"_s);
    Recordset rs;
    rs.open(RegionSales::table(RegionSales::random(30, 3)));
    report.Database().SetDataSource(rs);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"delimiters.pdf"_s);
    ASSERT_TRUE(report.exportPdf(pdf));
    QFontDatabase::removeApplicationFont(id);

    EXPECT_EQ(CommandRun::pdfProblems(pdf), QString());
    EXPECT_TRUE(tool(u"pdffonts"_s, {pdf}).out.contains(u"+Dej#VuSans"_s));
    EXPECT_TRUE(
        tool(u"pdftotext"_s, {pdf, u"-"_s}).out.contains(u"Khan (Pvt) Ltd \\ Lahore ( #1"_s));
    EXPECT_TRUE(tool(u"pdfinfo"_s, {pdf}).out.contains(u"Sales (North) \\ South)"_s));
}
