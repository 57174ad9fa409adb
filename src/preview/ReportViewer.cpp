#include "preview/ReportViewer.h"

#include "db/Failure.h"
#include "presentation/Report.h"
#include "printing/ReportPrinter.h"
#include "preview/FindBar.h"
#include "preview/MessageBoxes.h"
#include "preview/PageView.h"
#include "preview/ShowError.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString counted(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? one : many.arg(QLocale().toString(n));
}

// Where on the page (points) the found part of a text item is printed: measured in the item's
// own type and alignment, as the page is drawn. A text too wide for its box is drawn smaller or
// cut short; the whole box is marked then.
QRectF foundPart(const Report &report, const PageItem &item, qsizetype at, qsizetype length)
{
    constexpr double kPadding = 1.0; // points between a text and the edge of its box
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
    buildToolBar();

    // Paging a screen at a time reads every line of every page: the next page comes only
    // once the end of this one is in view.
    auto *screenDown = new QAction(this);
    screenDown->setShortcut(QKeySequence(Qt::Key_PageDown));
    connect(screenDown, &QAction::triggered, this, [this] { pageByScreen(1); });
    auto *screenUp = new QAction(this);
    screenUp->setShortcut(QKeySequence(Qt::Key_PageUp));
    connect(screenUp, &QAction::triggered, this, [this] { pageByScreen(-1); });
    auto *findAgain = new QAction(this);
    findAgain->setShortcut(QKeySequence(Qt::Key_F3));
    connect(findAgain, &QAction::triggered, this, [this] {
        if (m_findBar->text().isEmpty())
            m_findBar->open();
        else
            find(m_findBar->text());
    });
    auto *findBack = new QAction(this);
    findBack->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    connect(findBack, &QAction::triggered, this, [this] { findPrevious(); });
    addActions({screenDown, screenUp, findAgain, findBack});

    connect(m_findBar, &FindBar::findNext, this, [this] { find(m_findBar->text()); });
    connect(m_findBar, &FindBar::findPrevious, this, [this] { findPrevious(); });
    connect(m_findBar, &FindBar::closed, this, [this] {
        m_view->setHighlights({}, -1);
        m_view->setFocus();
    });
    connect(m_view, &PageView::zoomChanged, this, [this] { updateControls(); });
    updateControls();
}

ReportViewer::~ReportViewer()
{
    // A running job works on its own copy: cancel it and let it end before the window goes.
    delete m_job;
}

void ReportViewer::buildToolBar()
{
    QStyle *s = style();
    auto action = [&](QStyle::StandardPixmap icon, const QString &text, const QKeySequence &key,
                      auto slot) {
        QAction *a = m_toolBar->addAction(s->standardIcon(icon), text);
        a->setShortcut(key);
        a->setToolTip(key.isEmpty()
                          ? text
                          : text + u" ("_s + key.toString(QKeySequence::NativeText) + u")"_s);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_first = action(QStyle::SP_MediaSkipBackward, tr("First page"),
                     QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { showPage(0); });
    m_previous =
        action(QStyle::SP_MediaSeekBackward, tr("Previous page"),
               QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { showPage(currentPage() - 1); });
    m_pageBox = new QSpinBox(this);
    m_pageBox->setAccessibleName(tr("Page number"));
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
    m_toolBar->addWidget(m_pageBox);
    m_pageCount = new QLabel(this);
    m_pageCount->setContentsMargins(4, 0, 6, 0);
    const int widestCount = m_pageCount->fontMetrics().horizontalAdvance(tr("of %1").arg(99999));
    m_pageCount->setMinimumWidth(widestCount + 10); // and the margins
    m_toolBar->addWidget(m_pageCount);
    m_next =
        action(QStyle::SP_MediaSeekForward, tr("Next page"),
               QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] { showPage(currentPage() + 1); });
    m_last =
        action(QStyle::SP_MediaSkipForward, tr("Last page"), QKeySequence(Qt::CTRL | Qt::Key_End),
               [this] { showPage(m_report ? m_report->pageCount() - 1 : 0); });
    m_toolBar->addSeparator();
    m_zoomOut = m_toolBar->addAction(
        tr("\u2212"), this, [this] { m_view->setZoomPercent(m_view->zoomPercent() / 1.25); });
    m_zoomOut->setShortcut(QKeySequence::ZoomOut);
    m_zoomOut->setToolTip(tr("Zoom out"));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(u"ZoomLabel"_s);
    // As wide as the widest zoom, so the toolbar does not shift while a window is resized.
    m_zoomLabel->setFixedWidth(m_zoomLabel->fontMetrics().horizontalAdvance(u"8888%"_s) + 8);
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    m_toolBar->addWidget(m_zoomLabel);
    m_zoomIn = m_toolBar->addAction(
        tr("+"), this, [this] { m_view->setZoomPercent(m_view->zoomPercent() * 1.25); });
    m_zoomIn->setShortcut(QKeySequence::ZoomIn);
    m_zoomIn->setToolTip(tr("Zoom in"));
    m_fitWidth = m_toolBar->addAction(tr("Page width"), this, [this] { Zoom(1); });
    m_wholePage = m_toolBar->addAction(tr("Whole page"), this, [this] { Zoom(2); });
    // The fit in use shows pressed; a zoom by percentage presses neither.
    auto *fits = new QActionGroup(this);
    fits->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *fit : {m_fitWidth, m_wholePage}) {
        fit->setCheckable(true);
        fits->addAction(fit);
    }
    m_toolBar->addSeparator();
    m_print = m_toolBar->addAction(QIcon::fromTheme(u"document-print"_s), tr("Print"), this,
                                   [this] { printReport(); });
    m_print->setShortcut(QKeySequence::Print);
    m_print->setToolTip(
        tr("Print (%1)").arg(QKeySequence(QKeySequence::Print).toString(QKeySequence::NativeText)));
    m_exportPdf = m_toolBar->addAction(tr("Export PDF"), this, [this] { exportPdf(); });
    m_exportCsv = m_toolBar->addAction(tr("Export CSV"), this, [this] { exportCsv(); });
    m_exportExcel = m_toolBar->addAction(tr("Export Excel"), this, [this] { exportExcel(); });
    m_toolBar->addSeparator();
    m_find = m_toolBar->addAction(tr("Find"), this, [this] { m_findBar->open(); });
    m_find->setShortcut(QKeySequence::Find);
    m_find->setToolTip(
        tr("Find (%1)").arg(QKeySequence(QKeySequence::Find).toString(QKeySequence::NativeText)));
    m_close = m_toolBar->addAction(tr("Close"), this, [this] { Q_EMIT closeRequested(); });
    m_close->setObjectName(u"CloseAction"_s);
    m_close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    m_close->setToolTip(tr("Close (Esc, Ctrl+W)"));
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
    for (QAction *a : {m_zoomIn, m_zoomOut, m_fitWidth, m_wholePage, m_find})
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
    connect(job, &ReportJob::finished, this, [this, job, done](ReportJob::Outcome outcome) {
        if (m_progress)
            m_progress->close();
        job->deleteLater();
        m_searching = false;
        updateControls();
        if (outcome == ReportJob::Outcome::Completed && done)
            done();
        else if (outcome == ReportJob::Outcome::Failed)
            ShowError(Failure(job->description(), job->source()), this);
    });
    job->start();
    updateControls();
}

void ReportViewer::tellWritten(const QString &path, const QString &what)
{
    QMessageBox box(QMessageBox::Information, documentName(),
                    tr("%1 written to\n%2").arg(what, QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, this);
    box.setObjectName(u"ExportWritten"_s);
    QPushButton *open = box.addButton(tr("Open &Folder"), QMessageBox::ActionRole);
    open->setObjectName(u"OpenFolder"_s);
    box.setDefaultButton(QMessageBox::Ok);
    MessageBoxes::fitTitle(box);
    box.exec();
    if (box.clickedButton() == open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

void ReportViewer::printReport()
{
    if (!m_report)
        return;
    Q_EMIT printButtonClicked();
    refresh();
    try {
        auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        printer->setPrinterName(ReportPrinter::choosePrinter(m_report->selectedPrinter().printer));
        printer->setPageLayout(m_report->pageLayout());
        printer->setFromTo(1, m_report->pageCount());
        QPrintDialog dialog(printer.get(), this);
        dialog.setWindowTitle(tr("Print %1").arg(documentName()));
        if (dialog.exec() != QDialog::Accepted)
            return;
        // The printer is set up here and filled on the job's thread, which owns it from now.
        startJob(
            tr("Printing on %1...").arg(printer->printerName()),
            [printer](Report &report, const Report::Progress &progress) {
                return ReportPrinter::print(report, *printer, progress);
            },
            {});
    } catch (const Failure &f) {
        ShowError(f, this);
    }
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
        [this, path, pages] { tellWritten(path, counted(pages, tr("PDF of 1 page"), tr("PDF of %1 pages"))); });
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
        [this, path, rows] { tellWritten(path, counted(rows, tr("CSV of 1 row"), tr("CSV of %1 rows"))); });
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
    if (m_searching || m_matches->empty())
        return;
    showMatch((m_currentMatch + 1) % int(m_matches->size()));
}

void ReportViewer::findPrevious()
{
    if (m_searching || !m_matches || m_matches->empty() || m_searched != m_findBar->text())
        return;
    const int count = int(m_matches->size());
    showMatch((m_currentMatch - 1 + count) % count);
}

void ReportViewer::startSearch(const QString &text)
{
    if (m_job && m_job->isRunning() && !m_searching)
        return; // a print or export first
    m_searched = text;
    m_matches = std::make_shared<std::vector<Match>>();
    m_currentMatch = -1;
    m_pagesFound = 0;
    m_view->setHighlights({}, -1);
    m_findBar->setStatus(tr("Searching..."));
    std::shared_ptr<std::vector<Match>> found = m_matches;
    auto pagesFound = std::make_shared<int>(0);
    startJob(
        QString(),
        [text, found, pagesFound](Report &report, const Report::Progress &progress) {
            const int pages = report.pageCount();
            for (int n = 0; n < pages; ++n) {
                bool onPage = false;
                for (const PageItem &item : report.page(n).items) {
                    if (item.kind != PageItem::Kind::Text)
                        continue;
                    for (qsizetype at = item.text.indexOf(text, 0, Qt::CaseInsensitive);
                         at >= 0; at = item.text.indexOf(text, at + text.size(),
                                                         Qt::CaseInsensitive)) {
                        found->push_back({n, foundPart(report, item, at, text.size())});
                        onPage = true;
                    }
                }
                *pagesFound += onPage ? 1 : 0;
                if (!progress(n + 1, pages))
                    return false;
            }
            return true;
        },
        [this, found, pagesFound] {
            if (found != m_matches)
                return;
            m_pagesFound = *pagesFound;
            if (m_matches->empty()) {
                m_findBar->setStatus(tr("Not found"));
                return;
            }
            // The first match from the page shown on.
            const auto from = std::find_if(m_matches->begin(), m_matches->end(),
                                           [this](const Match &m) { return m.page >= currentPage(); });
            showMatch(from == m_matches->end() ? 0 : int(from - m_matches->begin()));
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
    const Match &match = (*m_matches)[size_t(index)];
    if (match.page != currentPage())
        m_view->setPage(match.page);
    showMatchesOnPage();
    m_findBar->setStatus(tr("%1 of %2, found on %3")
                             .arg(index + 1)
                             .arg(m_matches->size())
                             .arg(counted(m_pagesFound, tr("1 page"), tr("%1 pages"))));
    updateControls();
}

void ReportViewer::showMatchesOnPage()
{
    if (!m_matches || m_searching || m_findBar->isHidden()) {
        m_view->setHighlights({}, -1);
        return;
    }
    QList<QRectF> rects;
    int current = -1;
    for (size_t i = 0; i < m_matches->size(); ++i) {
        const Match &m = (*m_matches)[i];
        if (m.page != currentPage())
            continue;
        if (int(i) == m_currentMatch)
            current = int(rects.size());
        rects.append(m.rect);
    }
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
            tellWritten(path, counted(rows, tr("Workbook of 1 row"), tr("Workbook of %1 rows")));
        });
}
