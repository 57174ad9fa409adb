#include "preview/ReportViewer.h"

#include "db/Failure.h"
#include "presentation/Report.h"
#include "preview/FindBar.h"
#include "preview/MessageBoxes.h"
#include "preview/PageSearch.h"
#include "preview/PageView.h"
#include "preview/ShowError.h"
#include "printing/ReportPrinter.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QSpinBox>
#include <QStyle>
#include <QTime>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString counted(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? one : many.arg(QLocale().toString(n));
}

} // namespace

ReportViewer::ReportViewer(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"CRViewer91"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(18, 18));
    m_view = new PageView(this);
    m_findBar = new FindBar(this);
    m_findBar->hide();
    layout->addWidget(m_toolBar);
    // The toolbar's own button for the commands a narrow window folds away.
    if (auto *more = m_toolBar->findChild<QWidget *>(u"qt_toolbar_ext_button"_s)) {
        more->setAccessibleName(tr("More commands"));
        more->setAccessibleDescription(tr("Shows the commands the window is too narrow for"));
    }
    layout->addWidget(m_view, 1);
    layout->addWidget(m_findBar);
    m_status = new QLabel(this);
    m_status->setObjectName(u"PrintStatus"_s);
    m_status->setContentsMargins(6, 2, 6, 2);
    m_status->hide(); // until there is something to say
    layout->addWidget(m_status);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    buildToolBar();

    // Paging a screen at a time reads every line of every page: the next page comes only
    // once the end of this one is in view.
    auto *screenDown = new QAction(this);
    screenDown->setShortcut(QKeySequence(Qt::Key_PageDown));
    connect(screenDown, &QAction::triggered, this, [this] { pageByScreen(1); });
    auto *screenUp = new QAction(this);
    screenUp->setShortcut(QKeySequence(Qt::Key_PageUp));
    connect(screenUp, &QAction::triggered, this, [this] { pageByScreen(-1); });
    addActions({screenDown, screenUp});

    connect(m_findBar, &FindBar::findNext, this, [this] { find(m_findBar->text()); });
    connect(m_findBar, &FindBar::findPrevious, this, [this] { findPrevious(); });
    connect(m_findBar, &FindBar::closed, this, [this] {
        m_view->setHighlights({}, -1);
        m_view->setFocus();
    });
    connect(m_view, &PageView::zoomChanged, this, [this] { updateControls(); });
    connect(m_view, &PageView::pageTurned, this, [this] {
        showMatchesOnPage();
        updateControls();
    });
    updateControls();
}

ReportViewer::~ReportViewer()
{
    // A running job works on its own copy: cancel it and let it end before the window goes.
    delete m_job;
}

QAction *ReportViewer::command(QMenu *menu, const QString &text, const QList<QKeySequence> &keys,
                               std::function<void()> slot)
{
    auto *a = new QAction(text, this);
    a->setShortcuts(keys);
    QStringList named;
    for (const QKeySequence &key : keys)
        named.append(key.toString(QKeySequence::NativeText));
    // The tooltip teaches the key: "Export Excel (Ctrl+Shift+X)".
    a->setToolTip(a->iconText() + u" ("_s + named.join(u", "_s) + u")"_s);
    connect(a, &QAction::triggered, this, std::move(slot));
    menu->addAction(a);
    return a;
}

void ReportViewer::buildToolBar()
{
    // Every command is on the menu bar, which fits the narrowest window; the toolbar offers the
    // same commands and may fold some of them away below its full width.
    QMenu *file = m_menuBar->addMenu(tr("&File"));
    QMenu *edit = m_menuBar->addMenu(tr("&Edit"));
    QMenu *view = m_menuBar->addMenu(tr("&View"));
    QMenu *go = m_menuBar->addMenu(tr("&Go"));
    const auto key = [](QKeyCombination k) { return QKeySequence(k); };

    m_print = command(file, tr("&Print..."), QKeySequence::keyBindings(QKeySequence::Print),
                      [this] { printReport(); });
    m_print->setIcon(QIcon::fromTheme(u"document-print"_s));
    m_exportPdf = command(file, tr("Export P&DF..."), {key(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
                          [this] { exportPdf(); });
    m_exportCsv = command(file, tr("Export &CSV..."), {key(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
                          [this] { exportCsv(); });
    m_exportExcel = command(file, tr("Export &Excel..."), {key(Qt::CTRL | Qt::SHIFT | Qt::Key_X)},
                            [this] { exportExcel(); });
    file->addSeparator();
    m_close = command(file, tr("&Close"), {key(Qt::Key_Escape), key(Qt::CTRL | Qt::Key_W)},
                      [this] { Q_EMIT closeRequested(); });
    m_close->setObjectName(u"CloseAction"_s);

    m_find = command(edit, tr("&Find..."), QKeySequence::keyBindings(QKeySequence::Find),
                     [this] { m_findBar->open(); });
    m_findNext = command(edit, tr("Find &Next"), {key(Qt::Key_F3)}, [this] {
        if (m_findBar->text().isEmpty())
            m_findBar->open();
        else
            find(m_findBar->text());
    });
    m_findPrevious = command(edit, tr("Find Pre&vious"), {key(Qt::SHIFT | Qt::Key_F3)},
                             [this] { findPrevious(); });

    m_zoomOut = command(view, tr("Zoom &Out"), QKeySequence::keyBindings(QKeySequence::ZoomOut),
                        [this] { m_view->setZoomPercent(m_view->zoomPercent() / 1.25); });
    m_zoomOut->setIconText(u"\u2212"_s);
    m_zoomIn = command(view, tr("Zoom &In"), QKeySequence::keyBindings(QKeySequence::ZoomIn),
                       [this] { m_view->setZoomPercent(m_view->zoomPercent() * 1.25); });
    m_zoomIn->setIconText(u"+"_s);
    m_fitWidth = command(view, tr("Page &Width"), {key(Qt::CTRL | Qt::Key_1)}, [this] { Zoom(1); });
    m_wholePage =
        command(view, tr("W&hole Page"), {key(Qt::CTRL | Qt::Key_2)}, [this] { Zoom(2); });
    // The fit in use shows pressed; a zoom by percentage presses neither.
    auto *fits = new QActionGroup(this);
    fits->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *fit : {m_fitWidth, m_wholePage}) {
        fit->setCheckable(true);
        fits->addAction(fit);
    }

    m_first =
        command(go, tr("&First Page"), {key(Qt::CTRL | Qt::Key_Home)}, [this] { showPage(0); });
    m_previous = command(go, tr("&Previous Page"), {key(Qt::CTRL | Qt::Key_PageUp)},
                         [this] { showPage(currentPage() - 1); });
    m_next = command(go, tr("&Next Page"), {key(Qt::CTRL | Qt::Key_PageDown)},
                     [this] { showPage(currentPage() + 1); });
    m_last = command(go, tr("&Last Page"), {key(Qt::CTRL | Qt::Key_End)},
                     [this] { showPage(m_report ? m_report->pageCount() - 1 : 0); });
    m_goTo = command(go, tr("&Go to Page..."), {key(Qt::CTRL | Qt::Key_G)}, [this] {
        m_pageBox->setFocus(Qt::ShortcutFocusReason);
        m_pageBox->selectAll();
    });
    m_first->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    m_previous->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    m_next->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    m_last->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));

    m_pageBox = new QSpinBox(this);
    m_pageBox->setAccessibleName(tr("Page number"));
    m_pageBox->setToolTip(m_goTo->toolTip());
    m_pageBox->setAccessibleDescription(tr("The page shown; type a number to go to that page"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setMinimum(1);
    // Page number and count keep room for a five-figure report before one is loaded: a
    // window sized for the toolbar then stays wide enough once the pages are counted, and the
    // commands after them do not shift or fold away.
    m_pageBox->setMaximum(99999);
    m_pageBox->setMinimumWidth(m_pageBox->sizeHint().width());
    m_pageBox->setMaximum(1);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    m_pageCount = new QLabel(this);
    m_pageCount->setContentsMargins(4, 0, 6, 0);
    const int widestCount = m_pageCount->fontMetrics().horizontalAdvance(tr("of %1").arg(99999));
    m_pageCount->setMinimumWidth(widestCount + 10); // and the margins
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(u"ZoomLabel"_s);
    // As wide as the widest zoom, so the toolbar does not shift while a window is resized.
    m_zoomLabel->setFixedWidth(m_zoomLabel->fontMetrics().horizontalAdvance(u"8888%"_s) + 8);
    m_zoomLabel->setAlignment(Qt::AlignCenter);

    m_toolBar->addActions({m_first, m_previous});
    m_toolBar->addWidget(m_pageBox);
    m_toolBar->addWidget(m_pageCount);
    m_toolBar->addActions({m_next, m_last});
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_zoomOut);
    m_toolBar->addWidget(m_zoomLabel);
    m_toolBar->addActions({m_zoomIn, m_fitWidth, m_wholePage});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_print, m_exportPdf, m_exportCsv, m_exportExcel});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_find, m_close});
}

void ReportViewer::setReportSource(Report *report)
{
    delete m_job; // a search of the report shown before means nothing now
    m_report = report;
    m_view->setReport(nullptr);
    m_searched.clear();
    m_matches.reset();
    m_findBar->setStatus(QString());
    updateControls();
}

void ReportViewer::ViewReport()
{
    m_view->setReport(m_report);
    updateControls();
}

void ReportViewer::Zoom(int level)
{
    if (level == 1)
        m_view->setFit(PageView::Fit::Width);
    else if (level == 2)
        m_view->setFit(PageView::Fit::WholePage);
    else
        m_view->setZoomPercent(level);
}

int ReportViewer::currentPage() const
{
    return m_view->page();
}

void ReportViewer::showPage(int page)
{
    if (!m_report || !m_report->isBound())
        return;
    try {
        page = std::max(0, page);
        if (!m_report->hasPage(page))
            page = m_report->pageCount() - 1;
        m_view->setPage(page);
        showMatchesOnPage();
    } catch (const Failure &f) {
        ShowError(f, this);
    }
    updateControls();
}

void ReportViewer::pageByScreen(int direction)
{
    if (!m_report || !m_report->isBound() || m_view->scrollByScreen(direction))
        return;
    try {
        const int page = currentPage() + (direction > 0 ? 1 : -1);
        if (page < 0 || !m_report->hasPage(page))
            return;
        m_view->setPage(page, direction > 0 ? PageView::Edge::Top : PageView::Edge::Bottom);
        showMatchesOnPage();
    } catch (const Failure &f) {
        ShowError(f, this);
    }
    updateControls();
}

void ReportViewer::refresh()
{
    m_view->refresh();
}

int ReportViewer::pageWidthHint(double pageWidth) const
{
    const int page = qRound(pageWidth * logicalDpiX() / 72.0);
    const int shown = page + 2 * PageView::kMargin + 2 * m_view->frameWidth() +
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    // Never so narrow that the toolbar's commands fold away behind its extension button.
    return std::max(shown, m_toolBar->sizeHint().width());
}

QString ReportViewer::documentName() const
{
    if (!m_report)
        return window()->windowTitle();
    if (!m_report->ReportTitle().isEmpty())
        return m_report->ReportTitle();
    if (!m_report->layout().title.isEmpty())
        return m_report->layout().title;
    return window() != this ? window()->windowTitle() : m_report->layout().name;
}

void ReportViewer::updateControls()
{
    const bool ready = m_report && m_report->isBound() && m_view->page() >= 0;
    int pages = 0;
    if (ready) {
        // Counting pages is fast; "of M" is always exact.
        pages = m_report->pageCount();
    }
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setMaximum(std::max(1, pages));
    m_pageBox->setValue(currentPage() + 1);
    m_pageBox->setEnabled(ready);
    m_pageCount->setText(ready ? tr("of %1").arg(pages) : QString());
    m_first->setEnabled(ready && currentPage() > 0);
    m_previous->setEnabled(ready && currentPage() > 0);
    m_next->setEnabled(ready && currentPage() < pages - 1);
    m_last->setEnabled(ready && currentPage() < pages - 1);
    for (QAction *a :
         {m_zoomIn, m_zoomOut, m_fitWidth, m_wholePage, m_find, m_findNext, m_findPrevious, m_goTo})
        a->setEnabled(ready);
    // One print or export at a time; a search gives way to them.
    const bool writing = m_job && m_job->isRunning() && !m_searching;
    for (QAction *a : {m_print, m_exportPdf, m_exportCsv, m_exportExcel})
        a->setEnabled(ready && !writing);
    m_fitWidth->setChecked(m_view->fit() == PageView::Fit::Width);
    m_wholePage->setChecked(m_view->fit() == PageView::Fit::WholePage);
    m_zoomLabel->setText(ready ? u"%1%"_s.arg(qRound(m_view->zoomPercent())) : QString());
}

void ReportViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier)
        showPage(0);
    else if (event->key() == Qt::Key_End && event->modifiers() == Qt::NoModifier)
        showPage(m_report ? m_report->pageCount() - 1 : 0);
    else
        QWidget::keyPressEvent(event);
}

QString ReportViewer::suggestedFileName(const QString &suffix) const
{
    QString name =
        m_report->ReportTitle().isEmpty() ? m_report->layout().name : m_report->ReportTitle();
    name.replace(u'/', u'-');
    return name + u"."_s + suffix;
}

void ReportViewer::startJob(const QString &what, ReportJob::Work work, std::function<void()> done,
                            bool showProgress)
{
    delete m_job; // a search still running gives way
    m_searching = !showProgress;
    auto *job = new ReportJob(m_report->copy(), std::move(work), this);
    m_job = job;
    if (showProgress) {
        // Not modal: a modal progress dialog runs the event loop from inside setValue. The
        // preview stays usable; a second print or export waits for this one.
        auto *progress = new QProgressDialog(what, tr("Cancel"), 0, 0, this);
        progress->setWindowTitle(documentName());
        progress->setMinimumWidth(MessageBoxes::titleWidth(documentName()));
        progress->setAttribute(Qt::WA_DeleteOnClose);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
        progress->setMinimumDuration(400);
        m_progress = progress;
        connect(job, &ReportJob::progress, progress, [progress](int done, int total) {
            progress->setMaximum(total);
            progress->setValue(done);
        });
        connect(progress, &QProgressDialog::canceled, job, &ReportJob::cancel);
    }
    connect(job, &ReportJob::finished, this,
            [this, job, done, showProgress](ReportJob::Outcome outcome) {
                if (m_progress)
                    m_progress->close();
                job->deleteLater();
                m_searching = false;
                updateControls();
                if (outcome == ReportJob::Outcome::Completed && done)
                    done();
                else if (outcome == ReportJob::Outcome::Failed)
                    ShowError(Failure(job->description(), job->source()), this);
                // After the dialogs of a print or an export the keys work the page again (a search
                // leaves them in the find bar).
                if (showProgress)
                    m_view->setFocus();
            });
    job->start();
    updateControls();
}

QString ReportViewer::sentToPrinter(int pages, const QString &printer)
{
    return (pages == 1 ? tr("1 page") : tr("%1 pages").arg(pages)) +
           tr(" sent to the printer %1 at %2")
               .arg(printer, QTime::currentTime().toString(u"HH:mm"_s));
}

void ReportViewer::printReport()
{
    if (!m_report || !m_report->isBound())
        return;
    Q_EMIT printButtonClicked();
    refresh();
    try {
        // The printers the system has, the report's own first choice selected.
        const QString chosen = ReportPrinter::choosePrinter(m_report->selectedPrinter().printer);
        QInputDialog dialog(this);
        dialog.setObjectName(u"ChoosePrinter"_s);
        dialog.setWindowTitle(tr("Print %1").arg(documentName()));
        dialog.setLabelText(tr("&Printer:"));
        dialog.setComboBoxItems(QPrinterInfo::availablePrinterNames());
        dialog.setComboBoxEditable(false);
        dialog.setTextValue(chosen);
        dialog.setOkButtonText(tr("&Print"));
        dialog.setMinimumWidth(MessageBoxes::titleWidth(dialog.windowTitle()));
        if (dialog.exec() == QDialog::Accepted)
            printOn(dialog.textValue());
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

QString ReportViewer::printStatus() const
{
    return m_status->text();
}

QList<QAction *> ReportViewer::commands() const
{
    QList<QAction *> all;
    for (const QAction *menu : m_menuBar->actions()) {
        for (QAction *a : menu->menu()->actions()) {
            if (!a->isSeparator())
                all.append(a);
        }
    }
    return all;
}

void ReportViewer::printOn(const QString &printer)
{
    if (!m_report || !m_report->isBound())
        return;
    // What was said of an earlier print is not true of this one.
    m_status->clear();
    m_status->hide();
    const int pages = m_report->pageCount();
    // As the criteria window and the command line print: the report's PDF as one job, whose
    // acceptance the printer answers (a refusal and its reason end the job as a failure).
    startJob(
        tr("Printing on %1...").arg(printer),
        [printer](Report &report, const Report::Progress &progress) {
            return ReportPrinter::print(report, printer, progress);
        },
        [this, printer, pages] {
            m_status->setText(sentToPrinter(pages, printer));
            m_status->show();
        });
}

void ReportViewer::exportPdf()
{
    if (!m_report)
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export to PDF"), suggestedFileName(u"pdf"_s), tr("PDF documents (*.pdf)"));
    if (!path.isEmpty())
        exportPdfTo(path);
}

void ReportViewer::exportPdfTo(const QString &path)
{
    if (!m_report || !m_report->isBound())
        return;
    const int pages = m_report->pageCount();
    startJob(
        tr("Exporting to PDF..."),
        [path](Report &report, const Report::Progress &progress) {
            return report.exportPdf(path, progress);
        },
        [this, path, pages] {
            MessageBoxes::tellWritten(this, documentName(), path,
                                      counted(pages, tr("PDF of 1 page"), tr("PDF of %1 pages")));
        });
}

void ReportViewer::exportCsv()
{
    if (!m_report)
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export to CSV"), suggestedFileName(u"csv"_s), tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        exportCsvTo(path);
}

void ReportViewer::exportCsvTo(const QString &path)
{
    if (!m_report || !m_report->isBound())
        return;
    const int rows = m_report->rowCount();
    startJob(
        tr("Exporting to CSV..."),
        [path](Report &report, const Report::Progress &) {
            report.exportCsv(path);
            return true;
        },
        [this, path, rows] {
            MessageBoxes::tellWritten(this, documentName(), path,
                                      counted(rows, tr("CSV of 1 row"), tr("CSV of %1 rows")));
        });
}

// --- find -------------------------------------------------------------------------------

void ReportViewer::find(const QString &text)
{
    if (!m_report || !m_report->isBound())
        return;
    if (text.isEmpty()) {
        m_findBar->setStatus(QString());
        return;
    }
    if (text != m_searched || !m_matches) {
        startSearch(text);
        return;
    }
    if (m_searching || m_matches->isEmpty())
        return;
    showMatch((m_currentMatch + 1) % m_matches->count());
}

void ReportViewer::findPrevious()
{
    if (m_searching || !m_matches || m_matches->isEmpty() || m_searched != m_findBar->text())
        return;
    const int count = m_matches->count();
    showMatch((m_currentMatch - 1 + count) % count);
}

void ReportViewer::startSearch(const QString &text)
{
    if (m_job && m_job->isRunning() && !m_searching)
        return; // a print or export first
    m_searched = text;
    m_matches = std::make_shared<PageSearch>();
    m_currentMatch = -1;
    m_view->setHighlights({}, -1);
    m_findBar->setStatus(tr("Searching..."));
    std::shared_ptr<PageSearch> found = m_matches;
    startJob(
        QString(),
        [text, found](Report &report, const Report::Progress &progress) {
            return found->run(report, text, progress);
        },
        [this, found] {
            if (found != m_matches)
                return;
            if (found->isEmpty())
                m_findBar->setStatus(tr("Not found"));
            else
                showMatch(found->firstFrom(currentPage())); // from the page shown on
        },
        false);
    connect(m_job, &ReportJob::progress, this, [this, found](int done, int total) {
        if (found == m_matches)
            m_findBar->setStatus(tr("Searching... page %1 of %2").arg(done).arg(total));
    });
}

void ReportViewer::showMatch(int index)
{
    m_currentMatch = index;
    const PageSearch::Match &match = m_matches->at(index);
    if (match.page != currentPage())
        m_view->setPage(match.page);
    showMatchesOnPage();
    m_findBar->setStatus(tr("%1 of %2, found on %3")
                             .arg(index + 1)
                             .arg(m_matches->count())
                             .arg(counted(m_matches->pagesFound(), tr("1 page"), tr("%1 pages"))));
    updateControls();
}

void ReportViewer::showMatchesOnPage()
{
    if (!m_matches || m_searching || m_findBar->isHidden()) {
        m_view->setHighlights({}, -1);
        return;
    }
    int current = -1;
    const QList<QRectF> rects = m_matches->onPage(currentPage(), m_currentMatch, current);
    m_view->setHighlights(rects, current);
}

void ReportViewer::exportExcel()
{
    if (!m_report)
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export to Excel"), suggestedFileName(u"xlsx"_s), tr("Excel workbooks (*.xlsx)"));
    if (!path.isEmpty())
        exportExcelTo(path);
}

void ReportViewer::exportExcelTo(const QString &path)
{
    if (!m_report || !m_report->isBound())
        return;
    const int rows = m_report->rowCount();
    startJob(
        tr("Exporting to Excel..."),
        [path](Report &report, const Report::Progress &progress) {
            return report.exportXlsx(path, progress);
        },
        [this, path, rows] {
            MessageBoxes::tellWritten(
                this, documentName(), path,
                counted(rows, tr("Workbook of 1 row"), tr("Workbook of %1 rows")));
        });
}
