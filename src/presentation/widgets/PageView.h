#pragma once

#include <QAbstractScrollArea>
#include <QImage>

class Report;

// Shows one page of a report, drawn at the zoom in force: fitted to the width, the whole page,
// or a percentage of its printed size. The page is drawn once into an image per page and zoom.
class PageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum class Fit { Percent, Width, WholePage };

    explicit PageView(QWidget *parent = nullptr);

    void setReport(Report *report);
    [[nodiscard]] int page() const { return m_page; }
    void setPage(int page);
    void setFit(Fit fit);
    [[nodiscard]] Fit fit() const { return m_fit; }
    void setZoomPercent(double percent);
    // The zoom as a percentage of the printed size, whatever the fit.
    [[nodiscard]] double zoomPercent() const;
    // Draws the page again (after the report's colours or texts changed).
    void refresh();

Q_SIGNALS:
    void zoomChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    [[nodiscard]] double pixelsPerPoint() const;
    [[nodiscard]] QSize pageSizeInPixels() const;
    void updateScrollBars();
    void dropImage();

    Report *m_report = nullptr;
    int m_page = 0;
    Fit m_fit = Fit::Width;
    double m_percent = 100.0;
    QImage m_image;
    int m_imagePage = -1;
    double m_imageScale = 0;
};
