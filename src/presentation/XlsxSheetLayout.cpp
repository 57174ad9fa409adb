#include "presentation/XlsxSheetLayout.h"

#include "db/ResultTable.h"
#include "presentation/DataBinding.h"
#include "presentation/Report.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

using CellKind = XlsxSheetLayout::CellKind;
using Column = XlsxSheetLayout::Column;
using Summary = XlsxSheetLayout::Summary;
using TotalRow = XlsxSheetLayout::TotalRow;
using HeadingLine = XlsxSheetLayout::HeadingLine;

double overlap(double a0, double a1, double b0, double b1)
{
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

std::vector<const LayoutObject *> sortedByPosition(const Band *band)
{
    std::vector<const LayoutObject *> objects;
    if (!band)
        return objects;
    for (const LayoutObject &o : band->objects)
        objects.push_back(&o);
    std::stable_sort(objects.begin(), objects.end(), [](const auto *a, const auto *b) {
        if (std::abs(a->rect.top() - b->rect.top()) > 0.5)
            return a->rect.top() < b->rect.top();
        return a->rect.left() < b->rect.left();
    });
    return objects;
}

// "SectorName" -> "Sector Name", for a column the layout gives no caption.
QString humanised(const QString &column)
{
    QString out;
    for (qsizetype i = 0; i < column.size(); ++i) {
        const QChar c = column[i];
        if (i > 0 && c.isUpper() && column[i - 1].isLower())
            out += u' ';
        out += i == 0 ? c.toUpper() : c;
    }
    return out;
}

// The caption of a field printed in a group header: the label printed just left of it.
QString labelBeside(const Band &band, const LayoutObject &field)
{
    const LayoutObject *best = nullptr;
    for (const LayoutObject &o : band.objects) {
        if (&o == &field || (o.type != ObjectType::Text && o.type != ObjectType::Field))
            continue;
        if (overlap(o.rect.top(), o.rect.bottom(), field.rect.top(), field.rect.bottom()) <= 0)
            continue;
        if (o.rect.right() > field.rect.left() + 1.0)
            continue;
        if (!best || o.rect.right() > best->rect.right())
            best = &o;
    }
    // A field printed right after another field has no label of its own.
    if (best && best->type == ObjectType::Text && field.rect.left() - best->rect.right() < 6.0)
        return best->text.trimmed();
    return QString();
}

CellKind cellKind(const DataBinding &binding, int reference, const ValueFormat &format)
{
    const ResultTable::Type type =
        reference >= 0 ? binding.table().columnType(reference) : ResultTable::Type::Real;
    switch (format.kind) {
    case ValueFormat::Kind::Number:
        return CellKind::Number;
    case ValueFormat::Kind::Date:
        return CellKind::Date;
    case ValueFormat::Kind::Text:
        break;
    }
    // Numbers a layout prints plainly (invoice numbers) stay numbers, for sorting and filters.
    if (type == ResultTable::Type::Integer)
        return CellKind::WholeNumber;
    if (type == ResultTable::Type::Real)
        return CellKind::Number;
    if (type == ResultTable::Type::Date || type == ResultTable::Type::DateTime)
        return CellKind::Date;
    return CellKind::Text;
}

std::vector<Column> planColumns(const Report &report, const DataBinding &binding)
{
    const ReportLayout &layout = report.layout();
    std::vector<Column> columns;
    auto known = [&](int reference) {
        return std::any_of(columns.begin(), columns.end(),
                           [&](const Column &c) { return c.reference == reference; });
    };
    auto add = [&](const LayoutObject &o, QString caption) {
        const int reference = binding.reference(o.column);
        if (known(reference))
            return;
        Column c;
        c.reference = reference;
        c.caption = !o.caption.isEmpty() ? o.caption
                    : caption.isEmpty()  ? humanised(o.column)
                                         : caption;
        c.format = o.format;
        c.kind = cellKind(binding, reference, o.format);
        if (c.kind == CellKind::Number && o.format.kind != ValueFormat::Kind::Number)
            c.format = ValueFormat{ValueFormat::Kind::Number, 2, true, false, {}};
        // Layout points to characters of the sheet's 11-point type, with room for the caption.
        c.width = std::max({XlsxSheetLayout::characters(o.rect.width()),
                            double(c.caption.size()) + 2.0, c.kind == CellKind::Date ? 13.0 : 8.0});
        columns.push_back(std::move(c));
    };

    // The fields of group headers first, outermost group first: every row carries its groups'
    // values, so that a filter on one of them keeps whole rows.
    for (int g = 0; g < int(layout.groups.size()); ++g) {
        const Band *band = layout.band(BandKind::GroupHeader, g);
        for (const LayoutObject *o : sortedByPosition(band)) {
            if (o->type == ObjectType::Field)
                add(*o, labelBeside(*band, *o));
        }
    }

    // The detail fields, each under the column heading printed over it (a heading names the
    // one field it overlaps most).
    const Band *detail = layout.band(BandKind::Detail);
    std::vector<const LayoutObject *> fields;
    for (const LayoutObject *o : sortedByPosition(detail)) {
        if (o->type == ObjectType::Field)
            fields.push_back(o);
    }
    std::vector<QString> captions(fields.size());
    std::vector<double> captionOverlap(fields.size(), 0.0);
    for (const LayoutObject *h : sortedByPosition(layout.band(BandKind::PageHeader))) {
        if (h->type != ObjectType::Text || h->text.trimmed().isEmpty())
            continue;
        size_t best = fields.size();
        double bestOverlap = 0;
        for (size_t f = 0; f < fields.size(); ++f) {
            const double o = overlap(h->rect.left(), h->rect.right(), fields[f]->rect.left(),
                                     fields[f]->rect.right());
            if (o > bestOverlap) {
                bestOverlap = o;
                best = f;
            }
        }
        if (best < fields.size() && bestOverlap > captionOverlap[best]) {
            captions[best] = h->text.trimmed();
            captionOverlap[best] = bestOverlap;
        }
    }
    for (size_t f = 0; f < fields.size(); ++f)
        add(*fields[f], captions[f]);

    // Columns only a total sums.
    for (const Band &band : layout.bands) {
        for (const LayoutObject &o : band.objects) {
            if (o.type == ObjectType::Summary)
                add(o, QString());
        }
    }
    return columns;
}

QString footerLabel(const Band *band, const QString &fallback)
{
    if (!band)
        return fallback;
    QStringList parts;
    for (const LayoutObject *o : sortedByPosition(band)) {
        if (o->type != ObjectType::Text || o->text.trimmed().isEmpty())
            continue;
        // Only the label on a line with the totals, not notes such as "End of report".
        const bool besideTotal =
            std::any_of(band->objects.begin(), band->objects.end(), [&](const LayoutObject &s) {
                return s.type == ObjectType::Summary &&
                       overlap(s.rect.top(), s.rect.bottom(), o->rect.top(), o->rect.bottom()) > 0;
            });
        if (besideTotal)
            parts.append(o->text.trimmed());
    }
    return parts.isEmpty() ? fallback : parts.join(u' ');
}

// Total rows per group level, then the report's (at index groups).
std::vector<TotalRow> planTotals(const Report &report, const DataBinding &binding,
                                 const std::vector<Column> &columns)
{
    const ReportLayout &layout = report.layout();
    const int groups = int(layout.groups.size());
    auto columnOf = [&](int reference) {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].reference == reference)
                return int(c);
        }
        return -1;
    };
    std::vector<TotalRow> totals(size_t(groups) + 1);
    for (int level = 0; level <= groups; ++level) {
        const bool report = level == groups;
        const Band *band = report ? layout.band(BandKind::ReportFooter)
                                  : layout.band(BandKind::GroupFooter, level);
        TotalRow &total = totals[size_t(level)];
        total.label = footerLabel(band, report ? u"Grand total"_s : u"Total"_s);
        if (!report)
            total.keyColumn = columnOf(binding.reference(layout.groups[size_t(level)].column));
        if (!band)
            continue;
        for (const LayoutObject *o : sortedByPosition(band)) {
            if (o->type != ObjectType::Summary || o->scopeGroup != (report ? -1 : level))
                continue;
            const int reference = binding.reference(o->column);
            const int column = columnOf(reference);
            const bool taken = std::any_of(total.summaries.begin(), total.summaries.end(),
                                           [&](const Summary &s) { return s.column == column; });
            if (column < 0 || taken)
                continue;
            const int decimals = o->function == SummaryFunction::Count
                                     ? 0
                                     : columns[size_t(column)].format.decimals;
            total.summaries.push_back({column, reference, o->function, o->format, decimals});
        }
        std::sort(total.summaries.begin(), total.summaries.end(),
                  [](const Summary &a, const Summary &b) { return a.column < b.column; });
    }
    return totals;
}

std::vector<HeadingLine> headingLines(const Report &report)
{
    const ReportLayout &layout = report.layout();
    std::vector<HeadingLine> lines;
    bool criteriaShown = false;
    auto add = [&](const QString &text, const FontDesign &font) {
        if (!text.trimmed().isEmpty())
            lines.push_back({text.trimmed(), std::max(10.0, font.size + 2.0), font.bold});
    };
    const Band *header = layout.band(BandKind::ReportHeader);
    for (const LayoutObject *o : sortedByPosition(header)) {
        const int index = report.objectIndex(*header, size_t(o - header->objects.data()));
        switch (o->type) {
        case ObjectType::Text:
            add(report.objects()[size_t(index)]->text(), o->font);
            break;
        case ObjectType::Parameter:
            if (!report.parameterValue(o->parameter).isEmpty())
                add(o->prefix + report.parameterValue(o->parameter), o->font);
            break;
        case ObjectType::Special:
            if (o->special == SpecialField::ReportTitle) {
                add(o->prefix + report.ReportTitle(), o->font);
            } else if (o->special == SpecialField::CriteriaLine &&
                       !report.criteriaLine().isEmpty()) {
                add(o->prefix + report.criteriaLine(), o->font);
                criteriaShown = true;
            }
            break;
        default:
            break;
        }
    }
    if (!criteriaShown && !report.criteriaLine().isEmpty()) {
        QString prefix;
        for (const Band &band : layout.bands) {
            for (const LayoutObject &o : band.objects) {
                if (o.type == ObjectType::Special && o.special == SpecialField::CriteriaLine)
                    prefix = o.prefix;
            }
        }
        add(prefix + report.criteriaLine(), layout.font);
    }
    return lines;
}

} // namespace

XlsxSheetLayout::XlsxSheetLayout(const Report &report)
    : m_heading(headingLines(report)), m_columns(planColumns(report, report.binding())),
      m_totals(planTotals(report, report.binding(), m_columns))
{
}

QString XlsxSheetLayout::numberFormat(const ValueFormat &format, CellKind kind)
{
    if (kind == CellKind::WholeNumber)
        return u"0"_s;
    if (kind == CellKind::Date)
        return u"dd-mmm-yyyy"_s;
    // Quantities are whole numbers; amounts keep the layout's decimals.
    const int decimals = format.trimZeros ? 0 : format.decimals;
    const QString body = decimals > 0 ? u"#,##0."_s + QString(decimals, u'0') : u"#,##0"_s;
    return format.blankZero ? body + u";-"_s + body + u";"_s : body;
}
