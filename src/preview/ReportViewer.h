#pragma once

#include "preview/ReportJob.h"

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class FindBar;
class PageSearch;
class PageView;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QSpinBox;
class QToolBar;
class Report;

// The report viewer control: a menu bar and a toolbar (first, previous, page number, next,
// last; zoom out, zoom in, page width, whole page; print, export to PDF, to CSV and to Excel;
// find; close) over the page itself, a find bar and a line saying where a print went. Every
// command has a key, named in its tooltip. It shows the report it is given and never owns it.
// Prints, exports and searches run on a copy of the report on a thread of their own, with
// progress and Cancel.
class ReportViewer : public QWidget
{
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);
    ~ReportViewer() override;

    void setReportSource(Report *report);
    [[nodiscard]] Report *reportSource() const { return m_report; }
    // Lays the report out and shows its first page.
    void ViewReport();
    // 1: fit the page width; 2: the whole page; otherwise a percentage of the printed size.
    void Zoom(int level);

    [[nodiscard]] int currentPage() const; // 0-based
    void showPage(int page);
    [[nodiscard]] PageView *pageView() const { return m_view; }
    [[nodiscard]] FindBar *findBar() const { return m_findBar; }
    // Draws the report again, after its colours or texts changed.
    void refresh();
    // Width in pixels that shows a page this wide (points) at its printed size, with the
    // desk around it and the scroll bar, and the whole toolbar.
    [[nodiscard]] int pageWidthHint(double pageWidth) const;
    // What a user calls this report: its title, or the window's caption.
    [[nodiscard]] QString documentName() const;

    // Starts printing on the printer named (chosen already) as one job; the line under the
    // page says so when the printer accepted it, a message gives its reason when it refused.
    void printOn(const QString &printer);
    // "12 pages sent to the printer Accounts at 14:05": what a print says once it is accepted.
    [[nodiscard]] static QString sentToPrinter(int pages, const QString &printer);
    // What the last print said; empty when there is nothing to say.
    [[nodiscard]] QString printStatus() const;

    // Starts exporting to a file named already; a message names the file when it is written.
    void exportPdfTo(const QString &path);
    void exportCsvTo(const QString &path);
    void exportExcelTo(const QString &path);
    // Searches every page for a text (case ignored) and shows the first match from the
    // current page on; again with the same text, the next match.
    void find(const QString &text);
    void findPrevious();
    // The print, export or search running now, if any.
    [[nodiscard]] ReportJob *job() const { return m_job; }
    [[nodiscard]] QProgressDialog *progressDialog() const { return m_progress; }

    // The toolbar's own actions, for tests and for keyboard use.
    [[nodiscard]] QAction *printAction() const { return m_print; }
    [[nodiscard]] QAction *fitWidthAction() const { return m_fitWidth; }
    [[nodiscard]] QAction *wholePageAction() const { return m_wholePage; }
    [[nodiscard]] QAction *closeAction() const { return m_close; }
    [[nodiscard]] QLabel *zoomLabel() const { return m_zoomLabel; }
    [[nodiscard]] QAction *exportExcelAction() const { return m_exportExcel; }
    [[nodiscard]] QMenuBar *menuBar() const { return m_menuBar; }
    // Every command of the viewer, as the menu bar lists them.
    [[nodiscard]] QList<QAction *> commands() const;

Q_SIGNALS:
    // The print button was pressed; handlers run before the viewer prints.
    void printButtonClicked();
    // The Close command (Esc, Ctrl+W, the toolbar).
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildToolBar();
    // A command in a menu, its keys named in its tooltip.
    QAction *command(QMenu *menu, const QString &text, const QList<QKeySequence> &keys,
                     std::function<void()> slot);
    void printReport();
    void exportPdf();
    void exportCsv();
    void pageByScreen(int direction);
    void exportExcel();
    void updateControls();
    [[nodiscard]] QString suggestedFileName(const QString &suffix) const;
    // Runs work on a copy of the report; done runs on this thread when it completed.
    void startJob(const QString &what, ReportJob::Work work, std::function<void()> done,
                  bool showProgress = true);
    void startSearch(const QString &text);
    void showMatch(int index);
    void showMatchesOnPage();

    Report *m_report = nullptr;
    QMenuBar *m_menuBar;
    QToolBar *m_toolBar;
    QLabel *m_status;
    PageView *m_view;
    FindBar *m_findBar;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QLabel *m_zoomLabel;
    QAction *m_first, *m_previous, *m_next, *m_last;
    QAction *m_zoomIn, *m_zoomOut, *m_fitWidth, *m_wholePage;
    QAction *m_goTo;
    QAction *m_print, *m_exportPdf, *m_exportCsv, *m_exportExcel, *m_close;
    QAction *m_find, *m_findNext, *m_findPrevious;
    QPointer<ReportJob> m_job;
    QPointer<QProgressDialog> m_progress;

    QString m_searched; // the text the matches are of
    bool m_searching = false;
    std::shared_ptr<PageSearch> m_matches;
    int m_currentMatch = -1;
};
