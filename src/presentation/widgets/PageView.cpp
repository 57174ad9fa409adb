#include "presentation/widgets/PageView.h"

#include "presentation/PageRenderer.h"
#include "presentation/Report.h"

#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kMargin = 12; // pixels of desk around the page

} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    viewport()->setAutoFillBackground(true);
    QPalette desk = viewport()->palette();
    desk.setColor(QPalette::Window, QColor(0x8A, 0x93, 0x9E));
    viewport()->setPalette(desk);
    setFocusPolicy(Qt::StrongFocus);
}

void PageView::setReport(Report *report)
{
    m_report = report;
    m_page = 0;
    dropImage();
    updateScrollBars();
    viewport()->update();
}

void PageView::setPage(int page)
{
    if (page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
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

void PageView::updateScrollBars()
{
    const QSize page = pageSizeInPixels() + QSize(2 * kMargin, 2 * kMargin);
    horizontalScrollBar()->setRange(0, std::max(0, page.width() - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, page.height() - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(20);
}

void PageView::dropImage()
{
    m_image = QImage();
    m_imagePage = -1;
}

void PageView::refresh()
{
    dropImage();
    viewport()->update();
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
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
        PageRenderer(*m_report, pagePainter, scale).render(m_report->page(m_page));
        m_imagePage = m_page;
        m_imageScale = scale;
    }
    const int x = std::max(kMargin, (viewport()->width() - size.width()) / 2) -
                  horizontalScrollBar()->value();
    const int y = kMargin - verticalScrollBar()->value();
    painter.fillRect(QRect(x + 3, y + 3, size.width(), size.height()), QColor(0, 0, 0, 60));
    painter.drawImage(QPoint(x, y), m_image);
}
