#include "presentation/XlsxExporter.h"
#include "DemoFixture.h"
#include "LayoutQueries.h"
#include "RegionSales.h"
#include "SubtotalEvaluator.h"
#include "XlsxReader.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using RegionSales::Sale;

// Three regions, a customer every six sales, some amounts below zero; one customer's name is
// a formula, as a careless or hostile database might hold it.
std::vector<Sale> sales(int count, unsigned seed)
{
    std::vector<Sale> rows = RegionSales::random(count, seed, 3, 6, -100.0);
    for (int i = 6; i < 12 && i < count; ++i)
        rows[size_t(i)].customer = u"=HYPERLINK(\"http://x\",\"y\")"_s;
    // Text that looks like the sheet's own escapes, and a control character.
    for (int i = 12; i < 18 && i < count; ++i)
        rows[size_t(i)].customer = u"Acme_x0041_\tTraders\x01"_s;
    return rows;
}

// What a spreadsheet computes for the formula at a cell; a circular reference is a failure.
double computed(const XlsxReader &book, int sheet, int row, int column)
{
    SubtotalEvaluator evaluator(book);
    QString fault;
    const std::optional<double> value = evaluator.value(sheet, row, column, fault);
    EXPECT_TRUE(value.has_value()) << fault.toStdString();
    return value.value_or(std::nan(""));
}

// One row the workbook should hold below its header: a sale, or a total with its label; its
// outline level and (column, figure) pairs.
struct Expected
{
    int sale = -1;
    QString label;
    int level = 0;
    std::vector<std::pair<int, double>> figures;
};

std::vector<Expected> expectedRows(const std::vector<Sale> &rows)
{
    std::vector<Expected> out;
    double customerAmount = 0, regionAmount = 0, regionValue = 0, amount = 0, value = 0;
    qint64 qty = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Sale &s = rows[i];
        out.push_back({int(i), {}, 2, {{2, s.amount}, {3, s.qty}, {4, double(s.qty) * s.price}}});
        customerAmount += s.amount;
        regionAmount += s.amount;
        regionValue += double(s.qty) * s.price;
        amount += s.amount;
        value += double(s.qty) * s.price;
        qty += s.qty;
        const bool lastOfRegion = i + 1 == rows.size() || rows[i + 1].region != s.region;
        if (lastOfRegion || rows[i + 1].customer != s.customer) {
            out.push_back({-1, u"Total "_s + s.customer, 1, {{2, customerAmount}}});
            customerAmount = 0;
        }
        if (lastOfRegion) {
            out.push_back({-1, u"Total "_s + s.region, 0, {{2, regionAmount}, {4, regionValue}}});
            regionAmount = regionValue = 0;
        }
    }
    out.push_back({-1, u"Grand total"_s, 0, {{2, amount}, {3, double(qty)}, {4, value}}});
    return out;
}

// Walks the sheets' rows below each header row against the expected rows.
void checkRows(const XlsxReader &book, const std::vector<Sale> &rows, int firstHeaderRow)
{
    const std::vector<Expected> expected = expectedRows(rows);
    size_t next = 0;
    for (size_t s = 0; s < book.sheets().size(); ++s) {
        const XlsxReader::Sheet &sheet = book.sheets()[s];
        const int header = s == 0 ? firstHeaderRow : 0;
        // Captions: the group fields' columns, then the headings over the detail fields.
        QStringList captions;
        for (const auto &[c, cell] : sheet.rows.at(header).cells)
            captions.append(cell.value);
        EXPECT_EQ(captions,
                  (QStringList{u"Region"_s, u"Customer"_s, u"Amount"_s, u"Qty"_s, u"Value"_s}))
            << "sheet " << s + 1;
        EXPECT_EQ(sheet.frozenTopLeft, u"A%1"_s.arg(header + 2));
        EXPECT_TRUE(sheet.autoFilter.startsWith(u"A%1:E"_s.arg(header + 1)))
            << sheet.autoFilter.toStdString();
        for (auto it = sheet.rows.upper_bound(header); it != sheet.rows.end(); ++it) {
            ASSERT_LT(next, expected.size());
            const Expected &e = expected[next++];
            const XlsxReader::Row &row = it->second;
            EXPECT_EQ(row.outlineLevel, e.level) << "sheet " << s + 1 << " row " << it->first + 1;
            const Sale *sale = e.sale >= 0 ? &rows[size_t(e.sale)] : nullptr;
            ASSERT_NE(row.cells.count(0), 0u) << e.label.toStdString();
            EXPECT_TRUE(row.cells.at(0).isText());
            EXPECT_EQ(row.cells.at(0).value,
                      sale ? sale->region : QString(e.label).replace(QChar(1), u' '));
            EXPECT_EQ(row.cells.size(), e.figures.size() + (sale ? 2 : 1)) << e.label.toStdString();
            if (sale) {
                // Text from the database is text, even when it reads like a formula; control
                // characters cannot stand in the sheet: they become blanks.
                const XlsxReader::Cell &customer = row.cells.at(1);
                EXPECT_TRUE(customer.isText() && customer.formula.isEmpty());
                EXPECT_EQ(customer.value, QString(sale->customer).replace(QChar(1), u' '));
            }
            for (const auto &[column, figure] : e.figures) {
                const XlsxReader::Cell *cell = sheet.cell(it->first, column);
                ASSERT_NE(cell, nullptr) << e.label.toStdString();
                EXPECT_NEAR(cell->number(), figure, 1e-6) << e.label.toStdString();
                EXPECT_EQ(cell->numberFormat, column == 3 ? u"#,##0"_s : u"#,##0.00"_s);
                if (sale) {
                    EXPECT_EQ(cell->type, QString()); // a number
                } else {
                    EXPECT_TRUE(cell->formula.startsWith(u"SUBTOTAL(9,"_s));
                    EXPECT_NEAR(computed(book, int(s), it->first, column), figure, 1e-6)
                        << cell->formula.toStdString();
                }
            }
        }
    }
    EXPECT_EQ(next, expected.size());
}

} // namespace

// One sheet, or sheets of forty rows where each further sheet has its header again and a group
// cut by a sheet's end is summed over both.
TEST(XlsxExporter, ReadsLikeTheReportWithTypedCellsAndLiveSubtotalsOverEverySheet)
{
    for (const int rowsPerSheet : {XlsxExporter::sheetRowLimit, 40}) {
        SCOPED_TRACE(rowsPerSheet);
        const std::vector<Sale> rows = sales(150, 11);
        Recordset rs;
        rs.open(RegionSales::table(rows));
        Report report(RegionSales::layout(u"twoGroups"_s));
        report.textObject(u"txtTitle"_s).SetText(u"Norvale Traders"_s);
        report.ParameterFields(1).AddCurrentValue(u"April 2026"_s);
        report.ParameterFields(2).AddCurrentValue(u"all regions"_s);
        report.Database().SetDataSource(rs);
        report.setCriteriaLine(u"Period 01-Apr-2026 to 30-Apr-2026"_s);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"sales.xlsx"_s);
        XlsxExporter exporter(report);
        exporter.setRowsPerSheet(rowsPerSheet);
        ASSERT_TRUE(exporter.write(path));
        const XlsxReader book(path);
        ASSERT_TRUE(book.isValid());
        // The report's heading (title, two parameters, criteria line), a blank, the header.
        EXPECT_EQ(book.sheets().front().cell(3, 0)->value,
                  u"For Period 01-Apr-2026 to 30-Apr-2026"_s);
        checkRows(book, rows, 5);
        if (rowsPerSheet == XlsxExporter::sheetRowLimit) {
            EXPECT_EQ(book.sheets().size(), 1u);
            continue;
        }
        // 150 sales, 25 customer and 3 region totals and a grand total under the 6 rows of
        // heading and header: five sheets of at most 40 rows.
        ASSERT_EQ(book.sheets().size(), 5u);
        EXPECT_EQ(book.sheets()[1].name, u"Sales by Region (2)"_s);
        bool crossSheet = false;
        for (const XlsxReader::Sheet &sheet : book.sheets()) {
            EXPECT_LE(sheet.rows.rbegin()->first, 39);
            for (const auto &[r, row] : sheet.rows) {
                for (const auto &[c, cell] : row.cells)
                    crossSheet = crossSheet || cell.formula.contains(u"'Sales by Region'!"_s);
            }
        }
        EXPECT_TRUE(crossSheet);
    }
}

TEST(XlsxExporter, CancelledOrFailedLeavesNoFile)
{
    Recordset rs;
    rs.open(RegionSales::table(sales(20000, 5)));
    Report report(RegionSales::layout(u"twoGroups"_s));
    report.Database().SetDataSource(rs);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"cancelled.xlsx"_s);
    int calls = 0;
    EXPECT_FALSE(report.exportXlsx(path, [&](int done, int total) {
        EXPECT_LE(done, total);
        return ++calls < 2;
    }));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    EXPECT_ANY_THROW(
        static_cast<void>(report.exportXlsx(folder.filePath(u"no/such/folder/x.xlsx"_s))));
}

// Every report's layout gives a workbook whose columns all have a caption of their own, and a
// row for each line of the report.
TEST(XlsxExporter, EveryBuiltInLayoutGivesCaptionedColumnsAndARowPerLine)
{
    const QString from = u"2026-01-01"_s, to = u"2026-06-30"_s;
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const auto reports = LayoutQueries::all(*connection, from, to);
    QTemporaryDir folder;
    for (const auto &[layout, sql] : reports) {
        SCOPED_TRACE(layout.toStdString());
        auto report = Report::fromLayout(layout);
        Recordset rs;
        rs.open(sql, *connection);
        ASSERT_GT(rs.recordCount(), 0);
        report->Database().SetDataSource(rs);
        report->setCriteriaLine(u"Period 01-Jan-2026 to 30-Jun-2026"_s);
        const QString path = folder.filePath(layout + u".xlsx"_s);
        ASSERT_TRUE(report->exportXlsx(path));
        const XlsxReader book(path);
        ASSERT_TRUE(book.isValid());
        const XlsxReader::Sheet &sheet = book.sheets().front();
        const int header = sheet.frozenTopLeft.mid(1).toInt() - 2;
        ASSERT_GE(header, 0);
        const XlsxReader::Row &captions = sheet.rows.at(header);
        QStringList seen;
        for (const auto &[c, cell] : captions.cells) {
            EXPECT_FALSE(cell.value.isEmpty());
            EXPECT_FALSE(seen.contains(cell.value)) << cell.value.toStdString();
            seen.append(cell.value);
        }
        EXPECT_EQ(int(captions.cells.size()), int(captions.cells.rbegin()->first) + 1);
        // A row without a formula is a line of the report; the totals foot (TotalsFoot).
        int lines = 0;
        for (auto it = sheet.rows.upper_bound(header); it != sheet.rows.end(); ++it)
            lines += std::none_of(it->second.cells.begin(), it->second.cells.end(),
                                  [](const auto &cell) { return !cell.second.formula.isEmpty(); });
        EXPECT_EQ(lines, report->rowCount());
    }
}
