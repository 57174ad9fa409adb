#include "presentation/widgets/ReportViewer.h"

#include "db/Failure.h"
#include "presentation/Report.h"
#include "presentation/ReportPrinter.h"
#include "presentation/widgets/PageView.h"
#include "presentation/widgets/ShowError.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Progress of a long print or export, with a Cancel button; the event loop keeps running.
Report::Progress progressIn(QProgressDialog &dialog)
{
    return [&dialog](int done, int total) {
        dialog.setMaximum(total);
        dialog.setValue(done);
        QApplication::processEvents();
        return !dialog.wasCanceled();
    };
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
    layout->addWidget(m_toolBar);
    layout->addWidget(m_view, 1);

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
    m_previous = action(QStyle::SP_MediaSeekBackward, tr("Previous page"),
                        QKeySequence(Qt::Key_PageUp), [this] { showPage(currentPage() - 1); });
    m_pageBox = new QSpinBox(this);
    m_pageBox->setAccessibleName(tr("Page number"));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setMinimum(1);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    m_toolBar->addWidget(m_pageBox);
    m_pageCount = new QLabel(this);
    m_pageCount->setContentsMargins(4, 0, 6, 0);
    m_toolBar->addWidget(m_pageCount);
    m_next = action(QStyle::SP_MediaSeekForward, tr("Next page"), QKeySequence(Qt::Key_PageDown),
                    [this] { showPage(currentPage() + 1); });
    m_last =
        action(QStyle::SP_MediaSkipForward, tr("Last page"), QKeySequence(Qt::CTRL | Qt::Key_End),
               [this] { showPage(m_report ? m_report->pageCount() - 1 : 0); });
    m_toolBar->addSeparator();
    m_zoomOut = m_toolBar->addAction(
        tr("\u2212"), this, [this] { m_view->setZoomPercent(m_view->zoomPercent() / 1.25); });
    m_zoomOut->setShortcut(QKeySequence::ZoomOut);
    m_zoomOut->setToolTip(tr("Zoom out"));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setMinimumWidth(44);
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    m_toolBar->addWidget(m_zoomLabel);
    m_zoomIn = m_toolBar->addAction(
        tr("+"), this, [this] { m_view->setZoomPercent(m_view->zoomPercent() * 1.25); });
    m_zoomIn->setShortcut(QKeySequence::ZoomIn);
    m_zoomIn->setToolTip(tr("Zoom in"));
    m_fitWidth = m_toolBar->addAction(tr("Page width"), this, [this] { Zoom(1); });
    m_wholePage = m_toolBar->addAction(tr("Whole page"), this, [this] { Zoom(2); });
    m_toolBar->addSeparator();
    m_print = m_toolBar->addAction(QIcon::fromTheme(u"document-print"_s), tr("Print"), this,
                                   [this] { printReport(); });
    m_print->setShortcut(QKeySequence::Print);
    m_print->setToolTip(
        tr("Print (%1)").arg(QKeySequence(QKeySequence::Print).toString(QKeySequence::NativeText)));
    m_exportPdf = m_toolBar->addAction(tr("Export PDF"), this, [this] { exportPdf(); });
    m_exportCsv = m_toolBar->addAction(tr("Export CSV"), this, [this] { exportCsv(); });
    m_exportExcel = m_toolBar->addAction(tr("Export Excel"), this, [this] { exportExcel(); });

    connect(m_view, &PageView::zoomChanged, this, [this] { updateControls(); });
    updateControls();
}

void ReportViewer::setReportSource(Report *report)
{
    m_report = report;
    m_view->setReport(nullptr);
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
    } catch (const Failure &f) {
        ShowError(f, this);
    }
    updateControls();
}

void ReportViewer::refresh()
{
    m_view->refresh();
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
    for (QAction *a : {m_zoomIn, m_zoomOut, m_fitWidth, m_wholePage, m_print, m_exportPdf,
                       m_exportCsv, m_exportExcel})
        a->setEnabled(ready);
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

void ReportViewer::printReport()
{
    if (!m_report)
        return;
    Q_EMIT printButtonClicked();
    refresh();
    try {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(ReportPrinter::choosePrinter(m_report->selectedPrinter().printer));
        printer.setPageLayout(m_report->pageLayout());
        printer.setFromTo(1, m_report->pageCount());
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(tr("Print %1").arg(m_report->ReportTitle()));
        if (dialog.exec() != QDialog::Accepted)
            return;
        QProgressDialog progress(tr("Printing..."), tr("Cancel"), 0, 0, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        ReportPrinter::print(*m_report, printer, progressIn(progress));
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
    if (path.isEmpty())
        return;
    try {
        QProgressDialog progress(tr("Exporting to PDF..."), tr("Cancel"), 0, 0, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        m_report->exportPdf(path, progressIn(progress));
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

void ReportViewer::exportCsv()
{
    if (!m_report)
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export to CSV"), suggestedFileName(u"csv"_s), tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    try {
        m_report->exportCsv(path);
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}

void ReportViewer::exportExcel()
{
    if (!m_report)
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export to Excel"), suggestedFileName(u"xlsx"_s), tr("Excel workbooks (*.xlsx)"));
    if (path.isEmpty())
        return;
    try {
        QProgressDialog progress(tr("Exporting to Excel..."), tr("Cancel"), 0, 0, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        m_report->exportXlsx(path, progressIn(progress));
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}
