#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>
#include <QRectF>
#include <vector>

#include "presentation/PageContent.h"

class Report;

// Shows one page of a report on a grey desk, drawn at the zoom in force: fitted to the width,
// the whole page, or a percentage of its printed size. The page is drawn once into an image
// per page and zoom; found texts are marked over it.
class PageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum class Fit { Percent, Width, WholePage };
    enum class Edge { Top, Bottom };

    explicit PageView(QWidget *parent = nullptr);

    void setReport(Report *report);
    [[nodiscard]] int page() const { return m_page; }
    // Shows the page from its top, or from its bottom (paging back a screen at a time).
    void setPage(int page, Edge edge = Edge::Top);
    void setFit(Fit fit);
    [[nodiscard]] Fit fit() const { return m_fit; }
    void setZoomPercent(double percent);
    // The zoom as a percentage of the printed size, whatever the fit.
    [[nodiscard]] double zoomPercent() const;
    // Moves a screen down (direction > 0) or up, keeping a strip of the last screen in view.
    // False when the page's end (or top) is already in view: nothing moved.
    bool scrollByScreen(int direction);
    // Marks found texts on the page shown (rectangles in points on the page); the current one
    // stands out and is scrolled into view.
    void setHighlights(const QList<QRectF> &rects, int current);
    [[nodiscard]] const QList<QRectF> &highlights() const { return m_highlights; }
    // Draws the page again (after the report's colours or texts changed).
    void refresh();
    // The row of the bound table that Enter opens, shown highlighted; -1 for none. It is one
    // of the rows that lead somewhere, and is moved with the arrow keys.
    [[nodiscard]] int currentRow() const { return m_current.tableRow; }
    // The field object of that row whose figure Enter opens, for a report whose links are per
    // cell; -1 where the row as a whole leads somewhere. Left and Right move it along the row.
    [[nodiscard]] int currentObject() const { return m_current.object; }
    // Makes a row (or one of its figures) current when it leads somewhere and is on the page
    // shown, and scrolls it into view; false when it cannot be.
    bool setCurrentRow(int tableRow, int object = -1);

    // Pixels of desk around the page.
    static constexpr int kMargin = 12;

Q_SIGNALS:
    // The zoom in use changed: by a command, or by a resize while fitted.
    void zoomChanged();
    // A row (or a figure of it: object) that leads to a detail report was double-clicked, or
    // Enter pressed on it.
    void rowActivated(int tableRow, int object);
    // The view turned the page itself, moving the current row past a page's end.
    void pageTurned();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    [[nodiscard]] double pixelsPerPoint() const;
    [[nodiscard]] QSize pageSizeInPixels() const;
    [[nodiscard]] QPoint pageOrigin() const; // viewport pixels
    void updateScrollBars();
    void dropImage();
    void scrollToHighlight();
    // What a viewport point shows that leads somewhere: a row, or a figure of one; an area of
    // row -1 for none.
    [[nodiscard]] PageCell linkedAt(QPoint viewportPoint) const;
    // The rows (or their figures) of the page shown, read from the report when the page is
    // not drawn yet; a row as a whole is an area of object -1.
    const std::vector<PageCell> &pageAreas();
    void takeAreas(PageContent &content);
    // Moves the current area to the next one that leads somewhere (direction > 0) or the one
    // before: down the page, or along the current row (across), turning the page at its end
    // going down; false when there is none.
    bool moveCurrent(int direction, bool across);
    void scrollIntoView(const QRectF &rect);
    void tellWhereRowLeads();
    [[nodiscard]] bool leads(const PageCell &area) const;

    Report *m_report = nullptr;
    int m_page = 0;
    Fit m_fit = Fit::Width;
    double m_percent = 100.0;
    QImage m_image;
    int m_imagePage = -1;
    double m_imageScale = 0;
    std::vector<PageCell> m_areas; // of page m_areasPage
    int m_areasPage = -1;
    PageCell m_current{{}, -1, -1};
    QList<QRectF> m_highlights;
    int m_currentHighlight = -1;
};
