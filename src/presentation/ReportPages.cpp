#include "presentation/ReportPages.h"

#include "db/Failure.h"
#include "presentation/ChartData.h"
#include "presentation/ChartPlot.h"
#include "presentation/FixedDecimal.h"
#include "presentation/Report.h"
#include "presentation/ValueFormatter.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr double kTolerance = 0.01; // points

// The strip a band gives up when the report has no criteria line: from the line's top to the
// next object below it. Objects below move up, the band is that much shorter. A band whose
// criteria line shares its row with other objects keeps its height.
ReportPages::Strip emptyCriteriaStrip(const Report &report, const Band &band)
{
    if (!report.criteriaLine().isEmpty())
        return {};
    const auto isCriteria = [](const LayoutObject &o) {
        return o.type == ObjectType::Special && o.special == SpecialField::CriteriaLine;
    };
    const auto line = std::find_if(band.objects.begin(), band.objects.end(), isCriteria);
    if (line == band.objects.end())
        return {};
    const double top = line->rect.top(), bottom = line->rect.bottom();
    double next = band.height;
    for (const LayoutObject &o : band.objects) {
        if (&o == &*line)
            continue;
        if (o.rect.top() >= bottom - kTolerance)
            next = std::min(next, o.rect.top());
        else if (o.rect.top() >= top - kTolerance)
            return {}; // beside the line
    }
    return {bottom - kTolerance, next - top};
}

// Whether an object shows nothing on any page: a text without text or colour, a field or
// summary of a column null in every row.
bool blankThroughout(const DataBinding &binding, const ReportObject &object)
{
    const LayoutObject &o = object.layout();
    switch (o.type) {
    case ObjectType::Text:
        return object.text().isEmpty() && object.BackColor() == -1;
    case ObjectType::Field:
    case ObjectType::Summary: {
        const int ref = binding.reference(o.column);
        for (int r = 0; r < binding.rowCount(); ++r) {
            if (!binding.isNull(ref, r))
                return false;
        }
        return true;
    }
    default:
        break;
    }
    return false;
}

// The strips each band leaves out: an empty criteria line's, and those of its collapsible
// strips whose every object is blank for the whole report; in order down the band.
std::vector<std::vector<ReportPages::Strip>> stripsOf(const Report &report,
                                                      const DataBinding &binding)
{
    std::vector<std::vector<ReportPages::Strip>> all;
    const ReportLayout &layout = report.layout();
    for (const Band &band : layout.bands) {
        std::vector<ReportPages::Strip> strips;
        if (const ReportPages::Strip criteria = emptyCriteriaStrip(report, band);
            criteria.height > 0)
            strips.push_back(criteria);
        for (const CollapsibleStrip &c : band.collapsible) {
            bool blank = true;
            for (size_t k = 0; k < band.objects.size() && blank; ++k) {
                const LayoutObject &o = band.objects[k];
                const bool inside = o.rect.top() >= c.top - kTolerance &&
                                    o.rect.bottom() <= c.top + c.height + kTolerance;
                if (inside)
                    blank = blankThroughout(
                        binding, *report.objects()[size_t(report.objectIndex(band, k))]);
            }
            if (blank)
                strips.push_back({c.top + c.height - kTolerance, c.height});
        }
        std::sort(strips.begin(), strips.end(),
                  [](const ReportPages::Strip &a, const ReportPages::Strip &b) {
                      return a.from < b.from;
                  });
        all.push_back(std::move(strips));
    }
    return all;
}

double stripsHeight(const std::vector<ReportPages::Strip> &strips)
{
    double height = 0;
    for (const ReportPages::Strip &s : strips)
        height += s.height;
    return height;
}

PaginatorBands bandHeights(const Report &report,
                           const std::vector<std::vector<ReportPages::Strip>> &strips)
{
    const ReportLayout &layout = report.layout();
    PaginatorBands bands;
    bands.pageBody = report.pageSize().height() - layout.margins.top() - layout.margins.bottom();
    auto height = [&](BandKind kind, int group = -1) {
        const Band *b = layout.band(kind, group);
        return b ? b->height - stripsHeight(strips[size_t(b - layout.bands.data())]) : 0.0;
    };
    bands.reportHeader = height(BandKind::ReportHeader);
    bands.pageHeader = height(BandKind::PageHeader);
    bands.detail = height(BandKind::Detail);
    bands.reportFooter = height(BandKind::ReportFooter);
    bands.pageFooter = height(BandKind::PageFooter);
    for (int g = 0; g < int(layout.groups.size()); ++g) {
        bands.groupHeader.push_back(height(BandKind::GroupHeader, g));
        bands.groupFooter.push_back(height(BandKind::GroupFooter, g));
        bands.reprintHeader.push_back(layout.groups[size_t(g)].reprintHeader);
    }
    return bands;
}

std::vector<RunningTotals::Summary> summariesOf(const Report &report, const DataBinding &binding,
                                                std::vector<int> &slots)
{
    std::vector<RunningTotals::Summary> summaries;
    slots.assign(report.objects().size(), -1);
    for (size_t i = 0; i < report.objects().size(); ++i) {
        const LayoutObject &o = report.objects()[i]->layout();
        if (o.type != ObjectType::Summary)
            continue;
        slots[i] = int(summaries.size());
        summaries.push_back({binding.reference(o.column), o.function, o.scopeGroup,
                             RunningTotals::decimalsOf(report.layout(), binding, o)});
        if (o.function != SummaryFunction::OfTotals)
            continue;
        // The totals it is worked out from follow it: one per input of its column, then the
        // one that leaves it empty.
        const int reference = binding.reference(o.column);
        if (reference >= 0)
            throw Failure(u"The total %1 is worked out of other totals, but %2 is no computed "
                          u"column"_s.arg(o.name, o.column),
                          Failure::engineSource());
        QStringList inputs = binding.inputsOf(reference);
        inputs.append(binding.computed(reference).emptyWhenZero);
        for (const QString &input : inputs) {
            if (input.isEmpty())
                continue;
            LayoutObject total = o;
            total.column = input;
            total.function = SummaryFunction::Sum;
            summaries.push_back({binding.reference(input), SummaryFunction::Sum, o.scopeGroup,
                                 RunningTotals::decimalsOf(report.layout(), binding, total)});
        }
    }
    return summaries;
}

} // namespace

ReportPages::ReportPages(const Report &report, std::unique_ptr<DataBinding> binding)
    : ReportPages(report, std::move(binding), binding->takeGroupBreaks())
{
}

ReportPages::ReportPages(const Report &report, std::unique_ptr<DataBinding> &&binding,
                         std::vector<uint8_t> groupBreaks)
    : m_report(report), m_binding(std::move(binding)), m_strips(stripsOf(report, *m_binding)),
      m_paginator(bandHeights(report, m_strips), std::move(groupBreaks)),
      m_totals(summariesOf(report, *m_binding, m_summarySlot)), m_cursor(m_totals.initial())
{
    m_references.assign(report.objects().size(), -1);
    for (size_t i = 0; i < report.objects().size(); ++i) {
        const LayoutObject &o = report.objects()[i]->layout();
        if (o.type == ObjectType::Field || o.type == ObjectType::Summary)
            m_references[i] = m_binding->reference(o.column);
    }
}

std::unique_ptr<ReportPages> ReportPages::relaid()
{
    return std::unique_ptr<ReportPages>(
        new ReportPages(m_report, std::move(m_binding), m_paginator.groupBreaks()));
}

std::unique_ptr<ReportPages> ReportPages::copyFor(const Report &report) const
{
    return std::unique_ptr<ReportPages>(new ReportPages(
        report, std::make_unique<DataBinding>(*m_binding), m_paginator.groupBreaks()));
}

const ChartData &ReportPages::chartData(int object)
{
    std::unique_ptr<ChartData> &data = m_charts[object];
    if (!data)
        data = std::make_unique<ChartData>(
            *m_report.objects()[size_t(object)]->layout().chart, *m_binding,
            [this](const QString &name) {
                for (const auto &o : m_report.objects()) {
                    if (o->kind() == ReportObject::Kind::Text &&
                        o->Name().compare(name, Qt::CaseInsensitive) == 0)
                        return o->text();
                }
                return QString();
            });
    return *data;
}

RunningTotals::State ReportPages::stateAtPage(int n)
{
    while (int(m_snapshots.size()) <= n) {
        const int target = m_paginator.pageStart(int(m_snapshots.size())).row;
        for (; m_cursorRow < target && m_cursorRow < m_binding->rowCount(); ++m_cursorRow) {
            const int level = m_paginator.breakLevel(m_cursorRow);
            if (level < m_paginator.groupCount())
                m_totals.beginGroups(m_cursor, level);
            m_totals.add(m_cursor, *m_binding, m_cursorRow);
        }
        m_snapshots.push_back(m_cursor);
    }
    return m_snapshots[size_t(n)];
}

QString ReportPages::textOf(int object, const PlacedBand &band, const RunningTotals::State &state,
                            int page)
{
    const ReportObject &ro = *m_report.objects()[size_t(object)];
    const LayoutObject &o = ro.layout();
    switch (o.type) {
    case ObjectType::Text:
        return ro.text();
    case ObjectType::Field: {
        if (band.row < 0)
            return QString();
        const int ref = m_references[size_t(object)];
        if (m_binding->isNull(ref, band.row))
            return QString();
        if (o.format.kind == ValueFormat::Kind::Number)
            return ValueFormatter::number(m_binding->number(ref, band.row), o.format);
        return ValueFormatter::format(m_binding->value(ref, band.row), o.format);
    }
    case ObjectType::Summary: {
        const size_t slot = size_t(m_summarySlot[size_t(object)]);
        if (o.function == SummaryFunction::OfTotals)
            return ofTotals(m_references[size_t(object)], slot, state, o.format);
        return ValueFormatter::figure(RunningTotals::figure(state, slot),
                                      m_totals.summary(slot).decimals, o.format);
    }
    case ObjectType::Special:
        switch (o.special) {
        case SpecialField::PageNumber:
            return o.prefix + QString::number(page + 1);
        case SpecialField::PageNofM:
            return o.prefix + u"Page %1 of %2"_s.arg(page + 1).arg(m_paginator.pageCount());
        case SpecialField::PrintDate:
            return o.prefix + m_report.printDate().toString(o.format.kind == ValueFormat::Kind::Date
                                                                ? o.format.datePattern
                                                                : u"dd/MM/yyyy"_s);
        case SpecialField::ReportTitle:
            return o.prefix + m_report.ReportTitle();
        case SpecialField::RecordCount:
            return o.prefix + ValueFormatter::number(m_binding->rowCount(),
                                                     ValueFormat{ValueFormat::Kind::Number, 0});
        case SpecialField::CriteriaLine:
            return m_report.criteriaLine().isEmpty() ? QString()
                                                     : o.prefix + m_report.criteriaLine();
        case SpecialField::Continued:
            return band.repeated ? o.prefix + u"(continued)"_s : QString();
        }
        break;
    case ObjectType::Parameter: {
        return o.prefix + m_report.parameterValue(o.parameter);
    }
    default:
        break;
    }
    return QString();
}

QString ReportPages::ofTotals(int reference, size_t slot, const RunningTotals::State &state,
                              const ValueFormat &format) const
{
    bool lost = false;
    const auto total = [&](size_t k) {
        const std::optional<qint64> units = RunningTotals::figure(state, k);
        lost = lost || !units;
        return units ? FixedDecimal::toDouble(*units, m_totals.summary(k).decimals) : 0.0;
    };
    const double value =
        m_binding->evaluate(reference, [&](int input) { return total(slot + 1 + size_t(input)); });
    const size_t zero = slot + 1 + size_t(m_binding->inputsOf(reference).size());
    if (lost || (!m_binding->computed(reference).emptyWhenZero.isEmpty() &&
                 DataBinding::printsAsZero(total(zero))))
        return QString();
    return ValueFormatter::number(value, format);
}

PageContent ReportPages::page(int n)
{
    const ReportLayout &layout = m_report.layout();
    PageContent content;
    content.size = m_report.pageSize();
    const std::vector<PlacedBand> bands = m_paginator.bands(n);
    RunningTotals::State state = stateAtPage(n);

    // Headers of the first row that went onto the previous page still begin their groups.
    const PagePosition start = m_paginator.pageStart(n);
    const int skipped = std::clamp(start.step - m_paginator.footerCount(start.row), 0,
                                   m_paginator.headerCount(start.row));
    for (int k = 0; k < skipped; ++k)
        m_totals.beginGroups(state, m_paginator.breakLevel(start.row) + k);

    const double left = layout.margins.left();
    const double top = layout.margins.top();
    for (const PlacedBand &placed : bands) {
        if (placed.kind == BandKind::GroupHeader && !placed.repeated)
            m_totals.beginGroups(state, placed.group);
        else if (placed.kind == BandKind::Detail)
            m_totals.add(state, *m_binding, placed.row);

        const Band *band = layout.band(placed.kind, placed.group);
        if (!band)
            continue;
        const std::vector<Strip> &strips = m_strips[size_t(band - layout.bands.data())];
        if (placed.kind == BandKind::Detail && placed.row >= 0) {
            const double height = band->height - stripsHeight(strips);
            content.rows.push_back(
                {QRectF(left, top + placed.y, content.size.width() - left - layout.margins.right(),
                        height),
                 m_binding->tableRow(placed.row)});
        }
        for (size_t k = 0; k < band->objects.size(); ++k) {
            const int object = m_report.objectIndex(*band, k);
            const ReportObject &ro = *m_report.objects()[size_t(object)];
            const LayoutObject &o = ro.layout();
            // Objects below a strip left out move up; one across it (a box behind two lines of
            // headings) is that much shorter.
            double shift = 0, shorter = 0;
            bool gone = false; // out with its strip: blank, and no place to click
            for (const Strip &strip : strips) {
                if (o.rect.top() >= strip.from)
                    shift += strip.height;
                else if (o.rect.top() >= strip.from - strip.height - kTolerance)
                    gone = true;
                else if (o.rect.bottom() >= strip.from)
                    shorter += strip.height;
            }
            if (gone)
                continue;
            QRectF rect = o.rect.translated(left, top + placed.y - shift);
            rect.setHeight(std::max(0.0, rect.height() - shorter));
            if (o.type == ObjectType::Field && placed.kind == BandKind::Detail &&
                placed.row >= 0 && m_report.linksCells())
                content.cells.push_back({rect, m_binding->tableRow(placed.row), object});
            if (o.type == ObjectType::Box) {
                content.items.push_back({PageItem::Kind::Box, object, rect, QString()});
            } else if (o.type == ObjectType::Line) {
                content.items.push_back({PageItem::Kind::Line, object, rect, QString()});
            } else if (o.type == ObjectType::Chart) {
                ChartPlot(object, rect, o.font.size).draw(*o.chart, chartData(object), content);
            } else {
                QString text = textOf(object, placed, state, n);
                if (text.isEmpty() && ro.BackColor() == -1)
                    continue;
                content.items.push_back({PageItem::Kind::Text, object, rect, std::move(text)});
            }
        }
    }
    return content;
}
