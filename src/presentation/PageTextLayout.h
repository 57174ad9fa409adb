#pragma once

#include "presentation/PageContent.h"
#include "presentation/TextRun.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QRectF>
#include <optional>
#include <vector>

class QPaintDevice;
struct LayoutObject;
class Report;

// Where a text of a page goes on a device: its font, its glyphs (or, for text the fast path
// cannot set, the text to shape), and its pen position. Shared by every renderer so that the
// screen, the printer and the PDF writer place and cut texts alike.
class PageTextLayout
{
public:
    struct Face
    {
        QFont font;
        QFontMetricsF metrics;
        QRawFont raw;
    };
    struct Placement
    {
        const Face *face = nullptr;
        TextRun run;       // valid when the fast path set the text
        QString text;      // otherwise: the text (elided when needed) to shape; for a line of
                           // a wrapped text, the line's characters either way
        qreal x = 0;       // device pixels: pen position at the start of the line
        qreal baseline = 0;
    };

    // scale: device pixels per point; device: gives the resolution fonts are sized for (null:
    // 72 dots per inch).
    PageTextLayout(const Report &report, const QPaintDevice *device, double scale);

    [[nodiscard]] const Face &face(int object);
    // rect: the item's box in device pixels; align: where the item's style places it, or none
    // for its object's own. The item's text must not be empty.
    [[nodiscard]] Placement place(const PageItem &item, const QRectF &rect,
                                  Qt::Alignment align = {});
    // As place(), for each line of the item: one, unless its object wraps and its text is too
    // wide for one line; then broken at spaces onto as many lines as the box holds (the last
    // one cut), the block centred in the box as a single line would be.
    [[nodiscard]] std::vector<Placement> placeLines(const PageItem &item, const QRectF &rect,
                                                    Qt::Alignment align = {});

private:
    [[nodiscard]] double smallestAmount(const LayoutObject &object) const;

    const Report &m_report;
    const QPaintDevice *m_device;
    double m_scale;
    std::vector<std::optional<Face>> m_faces;
};
