#pragma once

#include <QWidget>

class PageView;
class QAction;
class QLabel;
class QSpinBox;
class QToolBar;
class Report;

// The report viewer control: a toolbar (first, previous, page number, next, last; zoom out,
// zoom in, page width, whole page; print, export to PDF, to CSV and to Excel) over the page.
// It shows the report it is given and never owns it.
class ReportViewer : public QWidget
{
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);

    void setReportSource(Report *report);
    [[nodiscard]] Report *reportSource() const { return m_report; }
    // Lays the report out and shows its first page.
    void ViewReport();
    // 1: fit the page width; 2: the whole page; otherwise a percentage of the printed size.
    void Zoom(int level);

    [[nodiscard]] int currentPage() const; // 0-based
    void showPage(int page);
    [[nodiscard]] PageView *pageView() const { return m_view; }
    // Draws the report again, after its colours or texts changed.
    void refresh();

    // The toolbar's own actions, for tests and for keyboard use.
    [[nodiscard]] QAction *printAction() const { return m_print; }
    [[nodiscard]] QAction *exportExcelAction() const { return m_exportExcel; }

Q_SIGNALS:
    // The print button was pressed; handlers run before the viewer prints.
    void printButtonClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void printReport();
    void exportPdf();
    void exportCsv();
    void exportExcel();
    void updateControls();
    [[nodiscard]] QString suggestedFileName(const QString &suffix) const;

    Report *m_report = nullptr;
    QToolBar *m_toolBar;
    PageView *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QLabel *m_zoomLabel;
    QAction *m_first, *m_previous, *m_next, *m_last;
    QAction *m_zoomIn, *m_zoomOut, *m_fitWidth, *m_wholePage;
    QAction *m_print, *m_exportPdf, *m_exportCsv, *m_exportExcel;
};
