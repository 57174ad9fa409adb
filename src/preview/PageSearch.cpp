#include "preview/PageSearch.h"

#include "presentation/ReportObject.h"

#include <QFont>
#include <QFontMetricsF>
#include <algorithm>

namespace {

// Where on the page (points) the found part of a text item is printed: measured in the item's
// own type and alignment, as the page is drawn. A text too wide for its box is drawn smaller or
// cut short; the whole box is marked then.
QRectF foundPart(const Report &report, const PageItem &item, qsizetype at, qsizetype length)
{
    constexpr double kPadding = 1.0;   // points between a text and the edge of its box
    constexpr int kUnitsPerPoint = 20; // measured large, for fractions of a point
    const LayoutObject &object = report.objects()[size_t(item.object)]->layout();
    QFont font(object.font.family);
    font.setPixelSize(qRound(object.font.size * kUnitsPerPoint));
    font.setBold(object.font.bold);
    font.setItalic(object.font.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    auto width = [&](const QString &text) {
        return metrics.horizontalAdvance(text) / kUnitsPerPoint;
    };
    const QRectF inner = item.rect.adjusted(kPadding, 0, -kPadding, 0);
    const double whole = width(item.text);
    if (whole > inner.width())
        return item.rect;
    double x = inner.left();
    if (object.align & Qt::AlignRight)
        x = inner.right() - whole;
    else if (object.align & Qt::AlignHCenter)
        x = inner.left() + (inner.width() - whole) / 2;
    x += width(item.text.left(at));
    return QRectF(x - 0.5, item.rect.top(), width(item.text.mid(at, length)) + 1.0,
                  item.rect.height());
}

} // namespace

bool PageSearch::run(Report &report, const QString &text, const Report::Progress &progress)
{
    const int pages = report.pageCount();
    for (int n = 0; n < pages; ++n) {
        bool onPage = false;
        for (const PageItem &item : report.page(n).items) {
            if (item.kind != PageItem::Kind::Text)
                continue;
            for (qsizetype at = item.text.indexOf(text, 0, Qt::CaseInsensitive); at >= 0;
                 at = item.text.indexOf(text, at + text.size(), Qt::CaseInsensitive)) {
                m_matches.push_back({n, foundPart(report, item, at, text.size())});
                onPage = true;
            }
        }
        m_pagesFound += onPage ? 1 : 0;
        if (!progress(n + 1, pages))
            return false;
    }
    return true;
}

int PageSearch::firstFrom(int page) const
{
    const auto from = std::find_if(m_matches.begin(), m_matches.end(),
                                   [page](const Match &m) { return m.page >= page; });
    return from == m_matches.end() ? 0 : int(from - m_matches.begin());
}

QList<QRectF> PageSearch::onPage(int page, int index, int &current) const
{
    QList<QRectF> rects;
    current = -1;
    for (size_t i = 0; i < m_matches.size(); ++i) {
        if (m_matches[i].page != page)
            continue;
        if (int(i) == index)
            current = int(rects.size());
        rects.append(m_matches[i].rect);
    }
    return rects;
}
