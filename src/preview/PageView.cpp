#include "preview/PageView.h"

#include "presentation/PageRenderer.h"
#include "presentation/Report.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

namespace {

// A tooltip's text in lines of about 70 characters: a long explanation would otherwise run
// across the whole screen.
QString wrapped(const QString &text)
{
    QString out;
    qsizetype lineStart = 0;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!out.isEmpty()) {
            if (out.size() - lineStart + 1 + word.size() > 70) {
                out += u'\n';
                lineStart = out.size();
            } else {
                out += u' ';
            }
        }
        out += word;
    }
    return out;
}

constexpr int kOverlap = 40; // pixels of the last screen still shown after paging a screen

const QColor kDesk(0x80, 0x80, 0x80);
const QColor kPageEdge(0x30, 0x30, 0x30);
const QColor kFound(255, 230, 0, 90);
const QColor kCurrentFound(255, 140, 0, 130);
constexpr int kCurrentRowAlpha = 60; // the current row's tint over the printed page

} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("PageView"));
    viewport()->setAutoFillBackground(true);
    QPalette desk = viewport()->palette();
    desk.setColor(QPalette::Window, kDesk);
    viewport()->setPalette(desk);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true); // the pointer tells which rows lead somewhere
}

void PageView::setReport(Report *report)
{
    m_report = report;
    m_page = 0;
    m_current = {{}, -1, -1};
    m_areas.clear();
    m_areasPage = -1;
    m_highlights.clear();
    m_currentHighlight = -1;
    dropImage();
    updateScrollBars();
    viewport()->update();
}

void PageView::setPage(int page, Edge edge)
{
    if (page != m_page) {
        m_page = page;
        m_current = {{}, -1, -1};
        m_highlights.clear();
        m_currentHighlight = -1;
        viewport()->update();
    }
    verticalScrollBar()->setValue(edge == Edge::Top ? 0 : verticalScrollBar()->maximum());
}

void PageView::setFit(Fit fit)
{
    m_fit = fit;
    updateScrollBars();
    viewport()->update();
    Q_EMIT zoomChanged();
}

void PageView::setZoomPercent(double percent)
{
    m_percent = std::clamp(percent, 10.0, 800.0);
    m_fit = Fit::Percent;
    updateScrollBars();
    viewport()->update();
    Q_EMIT zoomChanged();
}

double PageView::pixelsPerPoint() const
{
    if (!m_report)
        return 1.0;
    const QSizeF page = m_report->pageSize();
    const double widthFit = double(viewport()->width() - 2 * kMargin) / page.width();
    switch (m_fit) {
    case Fit::Width:
        return std::max(0.05, widthFit);
    case Fit::WholePage:
        return std::max(
            0.05, std::min(widthFit, double(viewport()->height() - 2 * kMargin) / page.height()));
    case Fit::Percent:
        break;
    }
    return m_percent / 100.0 * logicalDpiX() / 72.0;
}

double PageView::zoomPercent() const
{
    return pixelsPerPoint() * 72.0 / logicalDpiX() * 100.0;
}

QSize PageView::pageSizeInPixels() const
{
    if (!m_report)
        return QSize();
    const QSizeF page = m_report->pageSize() * pixelsPerPoint();
    return QSize(qRound(page.width()), qRound(page.height()));
}

QPoint PageView::pageOrigin() const
{
    const QSize size = pageSizeInPixels();
    return {std::max(kMargin, (viewport()->width() - size.width()) / 2) -
                horizontalScrollBar()->value(),
            kMargin - verticalScrollBar()->value()};
}

void PageView::updateScrollBars()
{
    const QSize page = pageSizeInPixels() + QSize(2 * kMargin, 2 * kMargin);
    horizontalScrollBar()->setRange(0, std::max(0, page.width() - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, page.height() - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(std::max(20, viewport()->height() - kOverlap));
    verticalScrollBar()->setSingleStep(20);
}

bool PageView::scrollByScreen(int direction)
{
    QScrollBar *bar = verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + (direction > 0 ? bar->pageStep() : -bar->pageStep()));
    return bar->value() != before;
}

void PageView::setHighlights(const QList<QRectF> &rects, int current)
{
    m_highlights = rects;
    m_currentHighlight = current;
    scrollToHighlight();
    viewport()->update();
}

void PageView::scrollToHighlight()
{
    if (m_currentHighlight >= 0 && m_currentHighlight < m_highlights.size())
        scrollIntoView(m_highlights[m_currentHighlight]);
}

void PageView::scrollIntoView(const QRectF &r)
{
    const double scale = pixelsPerPoint();
    // Page pixels, without scrolling: the desk margin, then the page.
    const int top = kMargin + int(r.top() * scale);
    const int bottom = kMargin + int(r.bottom() * scale);
    QScrollBar *bar = verticalScrollBar();
    if (top < bar->value() || bottom > bar->value() + viewport()->height())
        bar->setValue(top - viewport()->height() / 3);
    const int left = int(r.left() * scale), right = int(r.right() * scale);
    QScrollBar *across = horizontalScrollBar();
    if (left < across->value() || right > across->value() + viewport()->width())
        across->setValue(left - kMargin);
}

void PageView::dropImage()
{
    m_image = QImage();
    m_imagePage = -1;
}

void PageView::refresh()
{
    dropImage();
    m_areasPage = -1; // links may have come or gone too
    viewport()->update();
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    // Fitted to the window, the zoom follows its size: what the toolbar shows follows too.
    if (m_fit != Fit::Percent)
        Q_EMIT zoomChanged();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    if (!m_report || !m_report->isBound() || !m_report->hasPage(m_page))
        return;
    const double scale = pixelsPerPoint();
    const QSize size = pageSizeInPixels();
    if (m_imagePage != m_page || m_imageScale != scale ||
        m_image.size() != size * devicePixelRatioF()) {
        const qreal ratio = devicePixelRatioF();
        m_image = QImage(size * ratio, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(ratio);
        m_image.fill(Qt::white);
        QPainter pagePainter(&m_image);
        PageContent content = m_report->page(m_page);
        PageRenderer(*m_report, pagePainter, scale).render(content);
        takeAreas(content);
        m_imagePage = m_page;
        m_imageScale = scale;
    }
    const QPoint origin = pageOrigin();
    const QRect page(origin, size);
    painter.fillRect(page.translated(4, 4), QColor(0, 0, 0, 90)); // shadow
    painter.drawImage(origin, m_image);
    painter.setPen(kPageEdge);
    painter.drawRect(page.adjusted(-1, -1, 0, 0)); // just outside the paper
    for (int i = 0; i < m_highlights.size(); ++i) {
        const QRectF &r = m_highlights[i];
        painter.fillRect(QRectF(origin.x() + r.x() * scale, origin.y() + r.y() * scale,
                                r.width() * scale, r.height() * scale),
                         i == m_currentHighlight ? kCurrentFound : kFound);
    }
    for (const PageCell &r : m_areas) {
        if (r.tableRow != m_current.tableRow || r.object != m_current.object)
            continue;
        const QRectF row(origin.x() + r.rect.x() * scale, origin.y() + r.rect.y() * scale,
                         r.rect.width() * scale, r.rect.height() * scale);
        QColor tint = palette().color(QPalette::Highlight);
        tint.setAlpha(kCurrentRowAlpha);
        painter.fillRect(row, tint);
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            painter.drawRect(row.adjusted(0, 0, -1, -1));
        }
    }
}

void PageView::takeAreas(PageContent &content)
{
    m_areas = std::move(content.cells);
    if (m_areas.empty()) {
        for (const PageRow &r : content.rows)
            m_areas.push_back({r.rect, r.tableRow, -1});
    }
    m_areasPage = m_page;
}

const std::vector<PageCell> &PageView::pageAreas()
{
    if (m_areasPage != m_page && m_report && m_report->isBound() && m_report->hasPage(m_page)) {
        PageContent content = m_report->page(m_page);
        takeAreas(content);
    }
    return m_areas;
}

bool PageView::leads(const PageCell &area) const
{
    return m_report && m_report->link(area.tableRow, area.object).has_value();
}

bool PageView::setCurrentRow(int tableRow, int object)
{
    for (const PageCell &r : pageAreas()) {
        if (r.tableRow == tableRow && r.object == object && leads(r)) {
            m_current = r;
            scrollIntoView(r.rect);
            viewport()->update();
            return true;
        }
    }
    return false;
}

bool PageView::moveCurrent(int direction, bool across)
{
    if (!m_report || !m_report->isBound())
        return false;
    const std::vector<PageCell> &areas = pageAreas();
    // Going down the page stays in the current figure's column; going across, in its row.
    // Areas are listed row by row, each row's figures in the order they read.
    std::vector<size_t> linked;
    for (size_t i = 0; i < areas.size(); ++i) {
        if (!leads(areas[i]))
            continue;
        if (across && areas[i].tableRow != m_current.tableRow)
            continue;
        if (!across && m_current.object >= 0 && areas[i].object != m_current.object)
            continue;
        linked.push_back(i);
    }
    if (across) {
        std::stable_sort(linked.begin(), linked.end(), [&](size_t a, size_t b) {
            const QRectF &p = areas[a].rect, &q = areas[b].rect;
            return p.top() < q.top() - 0.5 || (p.top() < q.top() + 0.5 && p.left() < q.left());
        });
    } else if (m_current.object < 0 && !linked.empty()) {
        // No figure chosen yet: the first one a row leads from, down the page.
        const int first = areas[linked.front()].object;
        std::erase_if(linked, [&](size_t i) { return areas[i].object != first; });
    }
    if (linked.empty())
        return false; // nothing here leads anywhere: the arrows scroll
    const double scale = pixelsPerPoint();
    const double viewTop = (verticalScrollBar()->value() - kMargin) / scale;
    const double viewBottom = viewTop + viewport()->height() / scale;
    auto inView = [&](size_t i) {
        return areas[i].rect.bottom() > viewTop && areas[i].rect.top() < viewBottom;
    };
    const auto current = std::find_if(linked.begin(), linked.end(), [&](size_t i) {
        return areas[i].tableRow == m_current.tableRow && areas[i].object == m_current.object &&
               (across || inView(i));
    });
    std::optional<size_t> next;
    if (current != linked.end()) {
        const auto at = current - linked.begin() + direction;
        if (at >= 0 && at < std::ssize(linked))
            next = linked[size_t(at)];
    } else if (!across) {
        // From the screen the user looks at: its first row going down, its last going up.
        for (size_t i : linked) {
            if (direction > 0 ? areas[i].rect.bottom() > viewTop
                              : areas[i].rect.top() < viewBottom) {
                next = i;
                if (direction > 0)
                    break;
            }
        }
    }
    if (next)
        return setCurrentRow(areas[*next].tableRow, areas[*next].object);
    if (across)
        return current != linked.end(); // at the row's end: stay there
    // Past the page's first or last such row: on to the page before or after; past the
    // report's, the arrows scroll on to its header or its totals.
    const int page = m_page + (direction > 0 ? 1 : -1);
    if (page < 0 || !m_report->hasPage(page))
        return false;
    const int object = m_current.object;
    setPage(page, direction > 0 ? Edge::Top : Edge::Bottom);
    m_current.object = object; // the same figure of the rows on the next page
    Q_EMIT pageTurned();
    moveCurrent(direction, false);
    return true;
}

void PageView::tellWhereRowLeads()
{
    const std::optional<RowLink> link =
        m_report ? m_report->link(m_current.tableRow, m_current.object) : std::nullopt;
    if (!link || m_areasPage != m_page)
        return;
    const QRectF &r = m_current.rect;
    const double scale = pixelsPerPoint();
    const QPoint below = pageOrigin() + QPoint(int(r.left() * scale) + kMargin,
                                               int(r.bottom() * scale));
    QToolTip::showText(viewport()->mapToGlobal(below), wrapped(link->description), viewport());
}

PageCell PageView::linkedAt(QPoint viewportPoint) const
{
    if (!m_report || m_areasPage != m_page)
        return {{}, -1, -1};
    const QPointF point = QPointF(viewportPoint - pageOrigin()) / pixelsPerPoint();
    for (const PageCell &r : m_areas) {
        if (r.rect.contains(point))
            return leads(r) ? r : PageCell{{}, -1, -1};
    }
    return {{}, -1, -1};
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    const PageCell at = linkedAt(event->position().toPoint());
    if (at.tableRow < 0) {
        viewport()->unsetCursor();
        viewport()->setToolTip(QString());
    } else {
        viewport()->setCursor(Qt::PointingHandCursor);
        viewport()->setToolTip(wrapped(m_report->link(at.tableRow, at.object)->description));
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    // A click on a row (or figure) that leads somewhere makes it the one Enter opens.
    const PageCell at = linkedAt(event->position().toPoint());
    if (at.tableRow >= 0) {
        m_current = at;
        viewport()->update();
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void PageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const PageCell at = linkedAt(event->position().toPoint());
    if (at.tableRow >= 0) {
        m_current = at;
        viewport()->update();
        Q_EMIT rowActivated(at.tableRow, at.object);
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (plain && (key == Qt::Key_Down || key == Qt::Key_Up)) {
        if (moveCurrent(key == Qt::Key_Down ? 1 : -1, false)) {
            tellWhereRowLeads();
            return;
        }
    }
    // Along a row's figures, where they lead somewhere each.
    if (plain && (key == Qt::Key_Left || key == Qt::Key_Right) && m_current.object >= 0) {
        if (moveCurrent(key == Qt::Key_Right ? 1 : -1, true)) {
            tellWhereRowLeads();
            return;
        }
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // The current row; without one, the row under the pointer.
        PageCell at = m_current;
        if (at.tableRow < 0)
            at = linkedAt(viewport()->mapFromGlobal(QCursor::pos()));
        if (at.tableRow >= 0) {
            Q_EMIT rowActivated(at.tableRow, at.object);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}
