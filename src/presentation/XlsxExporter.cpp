#include "presentation/XlsxExporter.h"

#include "db/Failure.h"
#include "db/ResultTable.h"
#include "presentation/DataBinding.h"
#include "presentation/FixedDecimal.h"
#include "presentation/OutputFile.h"
#include "presentation/RunningTotals.h"
#include "presentation/ScratchFile.h"
#include "presentation/SignalCleanup.h"
#include "presentation/ValueFormatter.h"
#include "presentation/XlsxChart.h"
#include "presentation/XlsxSheetLayout.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QFile>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString engineSource()
{
    return u"NVRptSales.ReportEngine"_s;
}

constexpr int kMaxCellText = 32767;   // characters a cell holds
constexpr int kProgressEvery = 8192;  // rows
constexpr double kUprightWidth = 120; // characters a portrait page shows at a readable size

using CellKind = XlsxSheetLayout::CellKind;
using SheetColumn = XlsxSheetLayout::Column;
using SheetSummary = XlsxSheetLayout::Summary;
using TotalRow = XlsxSheetLayout::TotalRow;
using HeadingLine = XlsxSheetLayout::HeadingLine;

// Text as a cell holds it: no control characters (not allowed in the sheet's XML), the
// sheet's own escapes (_x0041_) kept literal, no more than a cell takes.
QByteArray cellText(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            c = u' ';
        else if (c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            c = QChar::ReplacementCharacter;
    }
    if (text.contains(u"_x"_s, Qt::CaseInsensitive)) {
        static const QRegularExpression escape(u"_(x[0-9A-Fa-f]{4}_)"_s);
        text.replace(escape, u"_x005F_\\1"_s);
    }
    if (text.size() > kMaxCellText)
        text.truncate(kMaxCellText);
    return text.toUtf8();
}

// A1-style column letters.
QString columnLetters(int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

// A sheet's name: at most 31 characters, none of []:*?/\, never blank.
QString sheetName(const QString &title, int number)
{
    QString name = title;
    static const QRegularExpression forbidden(u"[\\[\\]:*?/\\\\]"_s);
    name.replace(forbidden, u" "_s);
    name = name.simplified();
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.isEmpty())
        name = u"Report"_s;
    const QString suffix = number > 1 ? u" (%1)"_s.arg(number) : QString();
    return name.left(31 - int(suffix.size())).trimmed() + suffix;
}

double dateSerial(QDate date)
{
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    return double(date.toJulianDay() - epoch);
}

QDate dateOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

// The sheet's paper codes of the page sizes layouts use.
const std::map<QPageSize::PageSizeId, uint8_t> &paperSizes()
{
    static const std::map<QPageSize::PageSizeId, uint8_t> sizes{{QPageSize::Letter, 1},
                                                                {QPageSize::Legal, 5},
                                                                {QPageSize::A3, 8},
                                                                {QPageSize::A4, 9},
                                                                {QPageSize::A5, 11}};
    return sizes;
}

// Where a row stands in the workbook.
struct Position
{
    int sheet = 0;
    int row = 0;
};

// Walks the rows once, writing them and the total rows below their groups.
class SheetWriter
{
public:
    SheetWriter(const Report &report, lxw_workbook *workbook, int rowsPerSheet)
        : m_report(report), m_binding(report.binding()), m_workbook(workbook),
          m_rowsPerSheet(rowsPerSheet), m_plan(report), m_columns(m_plan.columns()),
          m_totals(m_plan.totals()), m_groups(int(report.layout().groups.size())),
          m_lines(m_plan.heading())
    {
        m_rowsPerSheet =
            std::clamp(m_rowsPerSheet, int(m_lines.size()) + 3, XlsxExporter::sheetRowLimit);
        m_bold = workbook_add_format(workbook);
        format_set_bold(m_bold);
        for (const SheetColumn &c : m_columns)
            m_cellFormats.push_back(format(XlsxSheetLayout::numberFormat(c.format, c.kind), false));
        for (const SheetColumn &c : m_columns) {
            lxw_format *f = workbook_add_format(workbook);
            format_set_bold(f);
            format_set_bg_color(f, 0xE4EAF1);
            format_set_bottom(f, LXW_BORDER_THIN);
            if (c.kind != CellKind::Text)
                format_set_align(f, LXW_ALIGN_RIGHT);
            m_headerFormats.push_back(f);
        }
        for (const TotalRow &t : m_totals) {
            std::vector<lxw_format *> formats;
            for (const SheetSummary &s : t.summaries)
                formats.push_back(
                    format(XlsxSheetLayout::numberFormat(s.format, CellKind::Number), true));
            m_totalFormats.push_back(std::move(formats));
        }
    }

    bool run(const Report::Progress &progress)
    {
        newSheet();
        const int rows = m_binding.rowCount();
        const std::vector<uint8_t> &breaks = m_report.groupBreaks();
        // Totals in whole units of the figures the cells hold, as the printed report keeps them.
        std::vector<RunningTotals::State> running(m_totals.size());
        for (size_t level = 0; level < m_totals.size(); ++level)
            running[level].assign(m_totals[level].summaries.size(), 0);
        std::vector<Position> starts(size_t(m_groups) + 1);
        std::vector<int> keyRows(size_t(m_groups), 0);

        for (int r = 0; r < rows; ++r) {
            const int level = r == 0 ? 0 : int(breaks[size_t(r)]);
            if (r > 0) {
                for (int g = m_groups - 1; g >= level; --g)
                    closeGroup(g, starts[size_t(g)], keyRows[size_t(g)], running[size_t(g)]);
            }
            beginRow(m_groups);
            if (r == 0)
                starts[size_t(m_groups)] = here();
            for (int g = std::max(level, 0); g < m_groups; ++g) {
                starts[size_t(g)] = here();
                keyRows[size_t(g)] = r;
                std::fill(running[size_t(g)].begin(), running[size_t(g)].end(), 0);
            }
            writeRow(r);
            for (size_t t = 0; t < m_totals.size(); ++t) {
                const std::vector<SheetSummary> &summaries = m_totals[t].summaries;
                for (size_t s = 0; s < summaries.size(); ++s) {
                    const SheetSummary &summary = summaries[s];
                    RunningTotals::accumulate(
                        running[t][s],
                        RunningTotals::rowUnits(
                            {summary.reference, summary.function, -1, summary.decimals},
                            m_binding, r));
                }
            }
            ++m_row;
            if (progress && (r + 1) % kProgressEvery == 0 && !progress(r + 1, rows))
                return false;
        }
        // The chart draws the rows, not the total below them.
        const int lastRowOfFirstSheet = m_sheets.size() == 1 ? m_row - 1 : -1;
        if (rows > 0) {
            for (int g = m_groups - 1; g >= 0; --g)
                closeGroup(g, starts[size_t(g)], keyRows[size_t(g)], running[size_t(g)]);
            if (!m_totals.back().summaries.empty())
                closeGroup(m_groups, starts[size_t(m_groups)], -1, running.back());
        }
        finishSheet();
        XlsxChart::insert(m_workbook, m_sheets.front(), m_report.layout(), m_binding, m_columns,
                          {m_names.front(), m_headerRows.front(), m_firstDataRows.front(),
                           lastRowOfFirstSheet >= 0 ? lastRowOfFirstSheet
                                                    : m_lastDataRows.front()});
        if (progress && !progress(rows, rows))
            return false;
        return true;
    }

private:
    lxw_format *format(const QString &numberFormat, bool bold)
    {
        const QString key = numberFormat + (bold ? u"|b"_s : u"|"_s);
        if (lxw_format *f = m_formats.value(key))
            return f;
        lxw_format *f = workbook_add_format(m_workbook);
        format_set_num_format(f, numberFormat.toUtf8().constData());
        if (bold)
            format_set_bold(f);
        m_formats.insert(key, f);
        return f;
    }

    Position here() const { return {int(m_sheets.size()) - 1, m_row}; }

    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            throw Failure(
                u"Cannot write the workbook: %1"_s.arg(QString::fromUtf8(lxw_strerror(error))),
                engineSource());
    }

    void newSheet()
    {
        if (!m_sheets.empty())
            finishSheet();
        const int number = int(m_sheets.size()) + 1;
        m_names.push_back(sheetName(m_report.ReportTitle(), number));
        lxw_worksheet *sheet = nullptr;
        {
            // The sheet's row file is named for an instant before it is unnamed.
            const SignalCleanup::Deferral whileNamed;
            sheet = workbook_add_worksheet(m_workbook, m_names.back().toUtf8().constData());
        }
        if (!sheet)
            throw Failure(u"Cannot add the sheet %1 to the workbook"_s.arg(m_names.back()),
                          engineSource());
        m_sheets.push_back(sheet);
        m_sheet = sheet;
        m_row = 0;
        for (size_t c = 0; c < m_columns.size(); ++c)
            check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), m_columns[c].width,
                                       nullptr));
        // The report's heading on the first sheet; the column captions on every sheet.
        if (number == 1) {
            for (const HeadingLine &line : m_lines) {
                lxw_format *f = workbook_add_format(m_workbook);
                format_set_font_size(f, line.size);
                if (line.bold)
                    format_set_bold(f);
                check(worksheet_write_string(sheet, lxw_row_t(m_row), 0,
                                             cellText(line.text).constData(), f));
                ++m_row;
            }
            if (!m_lines.empty())
                ++m_row;
        }
        m_headerRow = m_row;
        m_headerRows.push_back(m_row);
        // Printed on the report's paper, a page wide, the header row over every page; across
        // the page when the report is, or when its rows (with their groups' fields) are wider
        // than the report's own lines.
        const ReportLayout &layout = m_report.layout();
        const double lineWidth =
            m_report.pageSize().width() - layout.margins.left() - layout.margins.right();
        double width = 0;
        for (const SheetColumn &c : m_columns)
            width += c.width;
        if (m_report.PaperOrientation() == 2 ||
            width > XlsxSheetLayout::characters(lineWidth) * 1.1)
            worksheet_set_landscape(sheet);
        if (const auto paper = paperSizes().find(m_report.layout().pageSize);
            paper != paperSizes().end())
            worksheet_set_paper(sheet, paper->second);
        worksheet_fit_to_pages(sheet, 1, 0);
        check(worksheet_repeat_rows(sheet, lxw_row_t(m_headerRow), lxw_row_t(m_headerRow)));
        for (size_t c = 0; c < m_columns.size(); ++c)
            check(worksheet_write_string(sheet, lxw_row_t(m_row), lxw_col_t(c),
                                         cellText(m_columns[c].caption).constData(),
                                         m_headerFormats[c]));
        ++m_row;
        m_firstDataRows.push_back(m_row);
        m_lastDataRows.push_back(m_row - 1);
    }

    void finishSheet()
    {
        const int last = std::max(m_row - 1, m_headerRow);
        m_lastDataRows.back() = m_row - 1;
        worksheet_freeze_panes(m_sheet, lxw_row_t(m_headerRow + 1), 0);
        if (!m_columns.empty())
            check(worksheet_autofilter(m_sheet, lxw_row_t(m_headerRow), 0, lxw_row_t(last),
                                       lxw_col_t(m_columns.size() - 1)));
    }

    // Makes room for one more row, on a new sheet when this one is full, at an outline level.
    void beginRow(int level)
    {
        if (m_row >= m_rowsPerSheet)
            newSheet();
        if (level > 0) {
            lxw_row_col_options options{};
            options.level = uint8_t(std::min(level, 7));
            check(worksheet_set_row_opt(m_sheet, lxw_row_t(m_row), LXW_DEF_ROW_HEIGHT, nullptr,
                                        &options));
        }
    }

    // A computed column over cells of one sheet row, each input the cell of its column in that
    // row (usable: the columns that row holds); empty when an input has no cell there.
    QString cellFormula(int reference, int row, const std::vector<bool> &usable) const
    {
        static const QRegularExpression name(u"\\b[A-Za-z_][A-Za-z0-9_]*\\b"_s);
        const ComputedColumn &computed = m_binding.computed(reference);
        bool complete = true;
        const auto cellOf = [&](const QString &input) -> QString {
            const int ref = m_binding.reference(input);
            for (size_t k = 0; k < m_columns.size(); ++k) {
                if (m_columns[k].reference == ref && usable[k])
                    return columnLetters(int(k)) + QString::number(row + 1);
            }
            const QString inner = ref < 0 ? cellFormula(ref, row, usable) : QString();
            complete = complete && !inner.isEmpty();
            return u"("_s + inner + u")"_s;
        };
        QString formula;
        qsizetype at = 0;
        for (auto it = name.globalMatch(computed.expression); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const bool abs = m.captured().compare(u"abs", Qt::CaseInsensitive) == 0 &&
                             computed.expression.mid(m.capturedEnd()).trimmed().startsWith(u'(');
            formula += computed.expression.mid(at, m.capturedStart() - at) +
                       (abs ? u"ABS"_s : cellOf(m.captured()));
            at = m.capturedEnd();
        }
        formula += computed.expression.mid(at);
        if (!computed.emptyWhenZero.isEmpty())
            formula = u"IF(%1=0,\"\",%2)"_s.arg(cellOf(computed.emptyWhenZero), formula);
        return complete ? formula : QString();
    }

    // A figure as its cell holds it: rounded to the decimals its column shows.
    static double asShown(double value, const SheetColumn &column)
    {
        if (column.kind == CellKind::Number) {
            if (const auto units = FixedDecimal::units(value, column.format.decimals))
                return FixedDecimal::toDouble(*units, column.format.decimals);
        }
        return value;
    }

    // A formula cell with the figure it shows until the sheet computes its own (nothing for
    // an empty figure).
    void writeFormula(int column, const QString &formula, std::optional<double> shown,
                      lxw_format *format)
    {
        const QByteArray text = formula.toUtf8();
        if (shown && std::isfinite(*shown))
            check(worksheet_write_formula_num(m_sheet, lxw_row_t(m_row), lxw_col_t(column),
                                              text.constData(), format, *shown));
        else
            check(worksheet_write_formula_str(m_sheet, lxw_row_t(m_row), lxw_col_t(column),
                                              text.constData(), format, ""));
    }

    void writeRow(int r)
    {
        const std::vector<bool> everyColumn(m_columns.size(), true);
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const SheetColumn &column = m_columns[c];
            if (column.reference < 0 && m_binding.computed(column.reference).sheetFormula) {
                if (const QString formula = cellFormula(column.reference, m_row, everyColumn);
                    !formula.isEmpty()) {
                    std::optional<double> shown;
                    if (!m_binding.isNull(column.reference, r))
                        shown = asShown(m_binding.number(column.reference, r), column);
                    writeFormula(int(c), formula, shown, m_cellFormats[c]);
                    continue;
                }
            }
            if (m_binding.isNull(column.reference, r))
                continue;
            const lxw_row_t row = lxw_row_t(m_row);
            const lxw_col_t col = lxw_col_t(c);
            switch (column.kind) {
            case CellKind::Number:
            case CellKind::WholeNumber: {
                // The figure as printed, so that the sheet's subtotals are the report's.
                const double value = asShown(m_binding.number(column.reference, r), column);
                if (std::isfinite(value))
                    check(worksheet_write_number(m_sheet, row, col, value, m_cellFormats[c]));
                break;
            }
            case CellKind::Date: {
                const QDate date = dateOf(m_binding.value(column.reference, r));
                if (date.isValid() && date.year() >= 1900)
                    check(worksheet_write_number(m_sheet, row, col, dateSerial(date),
                                                 m_cellFormats[c]));
                else
                    writeText(row, col, m_binding.value(column.reference, r).toString());
                break;
            }
            case CellKind::Text:
                writeText(row, col,
                          m_binding.table().text(column.reference, m_binding.tableRow(r)));
                break;
            }
        }
    }

    void writeText(lxw_row_t row, lxw_col_t col, const QString &text)
    {
        if (!text.isEmpty())
            check(worksheet_write_string(m_sheet, row, col, cellText(text).constData(), nullptr));
    }

    // The ranges of one column from start to the row before the current one, sheet by sheet.
    QString ranges(int column, Position start) const
    {
        const QString letters = columnLetters(column);
        const int current = int(m_sheets.size()) - 1;
        QStringList parts;
        for (int s = start.sheet; s <= current; ++s) {
            const int first = s == start.sheet ? start.row : m_firstDataRows[size_t(s)];
            const int last = s == current ? m_row - 1 : m_lastDataRows[size_t(s)];
            if (last < first)
                continue;
            QString sheet;
            if (s != current)
                sheet = u"'"_s + QString(m_names[size_t(s)]).replace(u"'"_s, u"''"_s) + u"'!"_s;
            parts.append(u"%1%2%3:%2%4"_s.arg(sheet, letters).arg(first + 1).arg(last + 1));
        }
        return parts.join(u',');
    }

    // The total row below a group (or below everything, at level m_groups).
    void closeGroup(int level, Position start, int keyRow, const RunningTotals::State &values)
    {
        const TotalRow &total = m_totals[size_t(level)];
        beginRow(level == m_groups ? 0 : level);
        // The ranges end on the row above; a new sheet begun for this row ends them on the last.
        QString label = total.label;
        if (total.keyColumn >= 0 && keyRow >= 0) {
            const SheetColumn &key = m_columns[size_t(total.keyColumn)];
            const QVariant value = m_binding.value(key.reference, keyRow);
            const QString shown = key.kind == CellKind::Date
                                      ? ValueFormatter::date(value, u"dd-MMM-yyyy"_s)
                                  : key.kind == CellKind::Text || key.kind == CellKind::WholeNumber
                                      ? value.toString()
                                      : ValueFormatter::number(value.toDouble(), key.format);
            if (!shown.isEmpty())
                label += u' ' + shown;
        }
        const bool labelFree = total.summaries.empty() || total.summaries.front().column > 0;
        if (labelFree)
            check(worksheet_write_string(m_sheet, lxw_row_t(m_row), 0, cellText(label).constData(),
                                         m_bold));
        std::vector<bool> totalled(m_columns.size(), false);
        for (const SheetSummary &summary : total.summaries)
            totalled[size_t(summary.column)] = summary.function == SummaryFunction::Sum;
        for (size_t s = 0; s < total.summaries.size(); ++s) {
            const SheetSummary &summary = total.summaries[s];
            if (summary.function == SummaryFunction::OfTotals) {
                writeOfTotals(summary, total, values, totalled, m_totalFormats[size_t(level)][s]);
                continue;
            }
            const int function = summary.function == SummaryFunction::Count ? 3 : 9;
            const QString formula =
                u"SUBTOTAL(%1,%2)"_s.arg(function).arg(ranges(summary.column, start));
            // The figure shown until the sheet computes its own; a total that could not be
            // kept shows nothing until then.
            const std::optional<qint64> units = RunningTotals::figure(values, s);
            check(worksheet_write_formula_num(
                m_sheet, lxw_row_t(m_row), lxw_col_t(summary.column), formula.toUtf8().constData(),
                m_totalFormats[size_t(level)][s],
                units ? FixedDecimal::toDouble(*units, summary.decimals) : 0.0));
        }
        ++m_row;
    }

    // A total worked out of the row's other totals, as a formula over their cells.
    void writeOfTotals(const SheetSummary &summary, const TotalRow &total,
                       const RunningTotals::State &values, const std::vector<bool> &totalled,
                       lxw_format *format)
    {
        const QString formula = cellFormula(summary.reference, m_row, totalled);
        if (formula.isEmpty())
            return;
        const auto totalOf = [&](const QString &name) -> std::optional<double> {
            const int reference = m_binding.reference(name);
            for (size_t s = 0; s < total.summaries.size(); ++s) {
                const SheetSummary &other = total.summaries[s];
                if (other.reference == reference && other.function == SummaryFunction::Sum) {
                    const std::optional<qint64> units = RunningTotals::figure(values, s);
                    if (units)
                        return FixedDecimal::toDouble(*units, other.decimals);
                }
            }
            return std::nullopt;
        };
        const QStringList &inputs = m_binding.inputsOf(summary.reference);
        bool known = true;
        const double value = m_binding.evaluate(summary.reference, [&](int input) {
            const std::optional<double> v = totalOf(inputs[input]);
            known = known && v.has_value();
            return v.value_or(0.0);
        });
        const QString zero = m_binding.computed(summary.reference).emptyWhenZero;
        const bool empty = !zero.isEmpty() && DataBinding::printsAsZero(totalOf(zero).value_or(0));
        writeFormula(summary.column, formula,
                     known && !empty ? std::optional<double>(value) : std::nullopt, format);
    }

    const Report &m_report;
    const DataBinding &m_binding;
    lxw_workbook *m_workbook;
    int m_rowsPerSheet;
    XlsxSheetLayout m_plan;
    const std::vector<SheetColumn> &m_columns;
    const std::vector<TotalRow> &m_totals;
    int m_groups;
    const std::vector<HeadingLine> &m_lines;

    QHash<QString, lxw_format *> m_formats; // owned by the workbook
    std::vector<lxw_format *> m_cellFormats;
    std::vector<lxw_format *> m_headerFormats;
    std::vector<std::vector<lxw_format *>> m_totalFormats;
    lxw_format *m_bold = nullptr;

    std::vector<lxw_worksheet *> m_sheets; // owned by the workbook
    std::vector<QString> m_names;
    std::vector<int> m_firstDataRows, m_lastDataRows; // 0-based, per sheet
    lxw_worksheet *m_sheet = nullptr;
    int m_row = 0;
    int m_headerRow = 0;
    std::vector<int> m_headerRows; // per sheet
};

} // namespace

bool XlsxExporter::write(const QString &path, const Report::Progress &progress) const
{
    // libxlsxwriter writes to a file it opens by name and seeks in it: the workbook is made in
    // a scratch file without a name in the temporary folder, so that nothing is left there
    // whatever ends the run, then copied to its place as every export is, so that a device, a
    // pipe, a link or the database being read are dealt with alike. The output is opened
    // first, so that a refusal comes before the work. The library's own row files (constant
    // memory) go to the same folder and lose their names as soon as they are made.
    OutputFile output(path, engineSource());
    QIODevice &out = output.open();
    auto fail = [&](const QString &reason) {
        return Failure(u"Cannot write %1: %2"_s.arg(path, reason), engineSource());
    };
    QByteArray folder = QFile::encodeName(QDir::tempPath());
    ScratchFile workbookFile;
    if (const int error = workbookFile.create(folder, 0600); error != 0)
        throw fail(QString::fromLocal8Bit(std::strerror(error)));

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    const QByteArray workbookName = workbookFile.openName();
    lxw_workbook *workbook = workbook_new_opt(workbookName.constData(), &options);
    if (!workbook)
        throw Failure(u"Cannot write %1"_s.arg(path), engineSource());
    try {
        SheetWriter writer(m_report, workbook, m_rowsPerSheet);
        if (!writer.run(progress)) {
            lxw_workbook_free(workbook);
            output.cancel();
            return false;
        }
    } catch (...) {
        lxw_workbook_free(workbook);
        throw;
    }
    lxw_error closed = LXW_NO_ERROR;
    {
        // Closing assembles the workbook's parts through named scratch files: an interrupt
        // waits for it (seconds at most) rather than leave one of them behind.
        const SignalCleanup::Deferral whileNamed;
        closed = workbook_close(workbook);
    }
    if (closed != LXW_NO_ERROR)
        throw fail(QString::fromUtf8(lxw_strerror(closed)));
    QFile workbookData;
    if (::lseek(workbookFile.descriptor(), 0, SEEK_SET) != 0 ||
        !workbookData.open(workbookFile.descriptor(), QIODevice::ReadOnly,
                           QFileDevice::DontCloseHandle))
        throw fail(QString::fromLocal8Bit(std::strerror(errno)));
    QByteArray chunk;
    while (!(chunk = workbookData.read(1 << 20)).isEmpty())
        if (out.write(chunk) != chunk.size())
            break;
    output.commit(workbookData.atEnd() && !output.writeRefused());
    return true;
}
