#include "presentation/ChartPlot.h"

#include "presentation/ChartData.h"
#include "presentation/ReportLayout.h"
#include "presentation/ValueFormatter.h"

#include <cmath>

namespace {

constexpr int kInk = 0x202020;     // axis, outlines and labels
constexpr int kGrid = 0xD8D8D8;    // grid lines, light enough to sit behind the bars
constexpr double kBarShare = 0.72; // of a category's slot; the rest parts one from the next
constexpr double kCharWidth = 0.8; // of a label's character, in ems: wide digits, with room

} // namespace

int ChartPlot::seriesColour(size_t k)
{
    // OLE colours (0xBBGGRR) of one blue, at grey levels of about 55, 180, 120 and 215.
    static const int colours[] = {0x5C3B1F, 0xD8B99D, 0xA37F5C, 0xE8DCD0};
    return colours[k % std::size(colours)];
}

int ChartPlot::lineColour(size_t k)
{
    // OLE colours of grey levels about 55, 120, 32, 150, 90 and 40.
    static const int colours[] = {0x5C3B1F, 0xA37F5C, 0x202020, 0xB99B78, 0x825F3C, 0x3A2A1A};
    return colours[k % std::size(colours)];
}

double ChartPlot::lineWidth(size_t k)
{
    static const double widths[] = {1.6, 1.4, 0.8, 1.8, 1.0, 1.2}; // points
    return widths[k % std::size(widths)];
}

void ChartPlot::marker(PageContent &page, QPointF at, size_t k) const
{
    // Outlines on a unit square around the point, closed.
    static const std::vector<QPolygonF> shapes{
        QPolygonF{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}},
        QPolygonF{{0, -1.3}, {1.3, 0}, {0, 1.3}, {-1.3, 0}, {0, -1.3}},
        QPolygonF{{0, -1.2}, {1.2, 1}, {-1.2, 1}, {0, -1.2}},
        QPolygonF{{0, 1.2}, {1.2, -1}, {-1.2, -1}, {0, 1.2}},
        QPolygonF{{-1, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}},
        QPolygonF{{-1.2, 0}, {1.2, 0}, {0, 0}, {0, -1.2}, {0, 1.2}},
    };
    const double size = m_font * 0.4;
    QPolygonF outline = shapes[k % shapes.size()];
    for (QPointF &p : outline)
        p = at + p * size;
    page.paths.push_back(outline);
    page.items.push_back({PageItem::Kind::Polyline, m_object, outline.boundingRect(), QString(),
                          page.styleIndex({-1, lineColour(k), 0.8, {}}),
                          int(page.paths.size() - 1)});
}

std::vector<double> ChartPlot::ticks(double low, double high)
{
    if (high <= low)
        high = low + 1;
    const double rough = (high - low) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= rough)
            break;
    }
    std::vector<double> values;
    for (double v = std::floor(low / step) * step; v < high + step * 0.999; v += step)
        values.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
    return values;
}

void ChartPlot::text(PageContent &page, const QRectF &rect, const QString &text,
                     Qt::Alignment align) const
{
    const int style = page.styleIndex({-1, kInk, 0, align | Qt::AlignVCenter});
    page.items.push_back({PageItem::Kind::Text, m_object, rect, text, style});
}

void ChartPlot::draw(const ChartDesign &design, const ChartData &data, PageContent &page) const
{
    const double line = m_font * 1.6;
    const size_t series = data.seriesCount();
    QRectF area = m_rect;

    if (series > 1) {
        const double entry = area.width() / double(std::max<size_t>(series, 4));
        const bool lines = design.kind == ChartDesign::Kind::Line;
        const double swatchWidth = lines ? m_font * 3 : m_font;
        for (size_t s = 0; s < series; ++s) {
            const double x = area.left() + entry * double(s);
            if (lines) {
                const double y = area.top() + line / 2;
                page.items.push_back(
                    {PageItem::Kind::Line, m_object, QRectF(x, y, swatchWidth, 0), QString(),
                     page.styleIndex({-1, lineColour(s), lineWidth(s), {}})});
                marker(page, QPointF(x + swatchWidth / 2, y), s);
            } else {
                const QRectF swatch(x, area.top() + (line - m_font) / 2, m_font, m_font);
                page.items.push_back({PageItem::Kind::Box, m_object, swatch, QString(),
                                      page.styleIndex({seriesColour(s), kInk, 0.4, {}})});
            }
            text(page,
                 QRectF(x + swatchWidth + m_font * 0.5, area.top(),
                        entry - swatchWidth - m_font, line),
                 data.captions()[s], Qt::AlignLeft);
        }
        area.setTop(area.top() + line * 1.5);
    }

    const std::vector<double> axis = ticks(data.low(), data.high());
    const double low = axis.front(), high = axis.back();
    const bool across = design.kind == ChartDesign::Kind::Bar;
    const ValueFormat whole{ValueFormat::Kind::Number, 0};

    // Category labels wider than their place under a column or point (two years of months)
    // alternate between two lines, so that neighbours never run into each other.
    qsizetype longest = 0;
    for (const ChartData::Category &c : data.categories())
        longest = std::max(longest, c.label.size());
    const double perCategory =
        (area.width() - m_font * 8) / double(std::max<size_t>(data.categories().size(), 1));
    const bool staggered = !across && double(longest) * m_font * kCharWidth > perCategory;

    // Room for the labels: values beside (columns) or below (bars) the plot, categories
    // below (columns) or beside (bars).
    QRectF plot = area;
    if (across) {
        plot.setLeft(area.left() + std::min(area.width() * 0.3, m_font * 22));
        plot.setBottom(area.bottom() - line);
        plot.setRight(area.right() - m_font * 3); // the last value label is centred on the edge
    } else {
        // Room for the widest value label (billions need more than thousands).
        qsizetype widest = 0;
        for (double v : axis)
            widest = std::max(widest, ValueFormatter::number(v, whole).size());
        plot.setLeft(area.left() + std::max(m_font * 8, double(widest + 1) * m_font * kCharWidth));
        plot.setBottom(area.bottom() - line * (staggered ? 2 : 1));
        plot.setTop(area.top() + line / 2); // the top label is centred on the edge
    }
    // Where a value falls along the value axis.
    auto at = [&](double v) {
        const double share = (v - low) / (high - low);
        return across ? plot.left() + share * plot.width() : plot.bottom() - share * plot.height();
    };

    const int grid = page.styleIndex({-1, kGrid, 0.3, {}});
    for (double v : axis) {
        const double p = at(v);
        const QString label = ValueFormatter::number(v, whole);
        if (across) {
            page.items.push_back({PageItem::Kind::Line, m_object,
                                  QRectF(p, plot.top(), 0, plot.height()), QString(), grid});
            text(page, QRectF(p - m_font * 5, plot.bottom(), m_font * 10, line), label,
                 Qt::AlignHCenter);
        } else {
            page.items.push_back({PageItem::Kind::Line, m_object,
                                  QRectF(plot.left(), p, plot.width(), 0), QString(), grid});
            text(page,
                 QRectF(area.left(), p - line / 2, plot.left() - area.left() - m_font / 2, line),
                 label, Qt::AlignRight);
        }
    }

    const size_t count = data.categories().size();
    const double slot =
        (across ? plot.height() : plot.width()) / double(std::max<size_t>(count, 1));
    const double zero = at(0);
    std::vector<QPolygonF> lines(series);
    for (size_t c = 0; c < count; ++c) {
        const ChartData::Category &category = data.categories()[c];
        const double start = (across ? plot.top() : plot.left()) + slot * double(c);
        if (across)
            text(page, QRectF(area.left(), start, plot.left() - area.left() - m_font / 2, slot),
                 category.label, Qt::AlignRight);
        else
            text(page,
                 QRectF(start - slot / 2, plot.bottom() + (staggered && c % 2 ? line : 0),
                        slot * 2, line),
                 category.label, Qt::AlignHCenter);
        const double thickness = slot * kBarShare / double(series);
        for (size_t s = 0; s < series; ++s) {
            const double v = at(category.values[s]);
            if (design.kind == ChartDesign::Kind::Line) {
                lines[s] << QPointF(start + slot / 2, v);
                continue;
            }
            const double from = start + slot * (1 - kBarShare) / 2 + thickness * double(s);
            const QRectF bar = across ? QRectF(QPointF(std::min(zero, v), from),
                                               QPointF(std::max(zero, v), from + thickness))
                                      : QRectF(QPointF(from, std::min(zero, v)),
                                               QPointF(from + thickness, std::max(zero, v)));
            page.items.push_back({PageItem::Kind::Box, m_object, bar, QString(),
                                  page.styleIndex({seriesColour(s), kInk, 0.3, {}})});
        }
    }
    for (size_t s = 0; s < lines.size() && design.kind == ChartDesign::Kind::Line; ++s) {
        page.paths.push_back(lines[s]);
        page.items.push_back({PageItem::Kind::Polyline, m_object, lines[s].boundingRect(),
                              QString(), page.styleIndex({-1, lineColour(s), lineWidth(s), {}}),
                              int(page.paths.size() - 1)});
        // One line needs no marker; several are told apart by them in any grey.
        for (const QPointF &point : lines[s]) {
            if (series > 1)
                marker(page, point, s);
        }
    }

    // The zero line over the bars' feet.
    const int axisStyle = page.styleIndex({-1, kInk, 0.6, {}});
    page.items.push_back({PageItem::Kind::Line, m_object,
                          across ? QRectF(zero, plot.top(), 0, plot.height())
                                 : QRectF(plot.left(), zero, plot.width(), 0),
                          QString(), axisStyle});
}
