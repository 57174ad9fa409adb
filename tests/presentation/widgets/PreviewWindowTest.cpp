#include "ModalWatcher.h"
#include "RegionSales.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "presentation/widgets/FindBar.h"
#include "presentation/widgets/PageView.h"
#include "presentation/widgets/PreviewSlot.h"
#include "presentation/widgets/ReportJob.h"
#include "presentation/widgets/ReportViewer.h"
#include "presentation/widgets/RptReportViewer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolBar>
#include <QWindow>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<Report> boundReport(int rows = 300)
{
    return RegionSales::report(RegionSales::steady(rows, 100, 9));
}

std::map<QString, const ReportObject *> objectsByName(const Report &report)
{
    std::map<QString, const ReportObject *> objects;
    for (const ReportSection &section : report.Sections()) {
        for (const ReportObject *o : section.ReportObjects())
            objects[o->Name()] = o;
    }
    return objects;
}

} // namespace

TEST(PreviewWindow, LoadsTheReportFittedToThePageWidthAndFillsItsWindow)
{
    RptReportViewer window;
    EXPECT_EQ(window.windowTitle(), u"Previewing Report"_s);
    Report *report = nullptr;
    {
        auto owned = boundReport();
        report = owned.get();
        window.setReportName(std::move(owned));
    }
    EXPECT_EQ(window.ReportName(), report);
    EXPECT_FALSE(window.isLoaded());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.isLoaded());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the busy pointer is gone again
    EXPECT_EQ(window.CRViewer91()->reportSource(), report);
    EXPECT_EQ(window.CRViewer91()->pageView()->fit(), PageView::Fit::Width);
    EXPECT_EQ(window.CRViewer91()->objectName(), u"CRViewer91"_s);

    for (const QSize size : {QSize(320, 240), QSize(1280, 960), QSize(641, 479), QSize(900, 300)}) {
        window.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(window.CRViewer91()->geometry(), window.rect())
            << size.width() << "x" << size.height();
    }

    // Paging through: the toolbar follows.
    ReportViewer *viewer = window.CRViewer91();
    const int pages = report->pageCount();
    ASSERT_GT(pages, 3);
    viewer->showPage(pages - 1);
    EXPECT_EQ(viewer->currentPage(), pages - 1);
    viewer->showPage(pages + 5);
    EXPECT_EQ(viewer->currentPage(), pages - 1);
    viewer->findChild<QSpinBox *>()->setValue(2);
    EXPECT_EQ(viewer->currentPage(), 1);
    viewer->Zoom(2);
    EXPECT_EQ(viewer->pageView()->fit(), PageView::Fit::WholePage);
    viewer->Zoom(150);
    EXPECT_NEAR(viewer->pageView()->zoomPercent(), 150.0, 0.5);
}

TEST(PreviewWindow, RemoveObjectColorsSparesNamesBeginningWithNo)
{
    RptReportViewer window;
    window.setReportName(boundReport());
    auto objects = objectsByName(*window.ReportName());
    const int lineColour = objects[u"lineHeading"_s]->layout().lineColor;

    window.RemoveObjectColors();
    objects = objectsByName(*window.ReportName());
    EXPECT_EQ(objects[u"NOTE1"_s]->BackColor(), 0x00FFFF);    // yellow, kept
    EXPECT_EQ(objects[u"noColour"_s]->BackColor(), 0x00FF00); // green, kept
    EXPECT_EQ(objects[u"Nobox"_s]->FillColor(), 0xFFEEDD);    // kept
    EXPECT_EQ(objects[u"Total"_s]->BackColor(), -1);          // text: transparent
    EXPECT_EQ(objects[u"fldRegion"_s]->BackColor(), -1);      // field: transparent
    EXPECT_EQ(objects[u"ANNO"_s]->FillColor(), 16777215);     // box: white
    EXPECT_EQ(objects[u"lineHeading"_s]->BackColor(), -1);    // a line has none to begin with
    EXPECT_EQ(objects[u"lineHeading"_s]->layout().lineColor, lineColour);
}

TEST(PreviewWindow, ThePrintButtonClearsColoursBeforePrinting)
{
    RptReportViewer window;
    window.setReportName(boundReport());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Whatever comes up (a print dialog, or word that there is no printer) is closed.
    ModalWatcher watcher;
    window.CRViewer91()->printAction()->trigger();
    EXPECT_EQ(objectsByName(*window.ReportName())[u"Total"_s]->BackColor(), -1);
    EXPECT_EQ(objectsByName(*window.ReportName())[u"ANNO"_s]->FillColor(), 16777215);
    EXPECT_EQ(watcher.count(), 1);
}

TEST(PreviewSlot, ReplacingKeepsAnOpenPreviewOpen)
{
    PreviewSlot slot;
    RptReportViewer *first = slot.replace();
    first->setReportName(boundReport(20));
    first->show();
    QPointer<RptReportViewer> open(first);
    RptReportViewer *second = slot.replace();
    EXPECT_NE(second, first);
    EXPECT_EQ(slot.current(), second);
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->isVisible());
    EXPECT_EQ(slot.reuse(), second);

    // A preview never shown is not kept when replaced; one closed by its user goes.
    QPointer<RptReportViewer> hidden(second);
    slot.replace();
    EXPECT_TRUE(hidden.isNull());
    open->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
}

namespace {

// A preview window showing a bound report, on screen.
struct ShownPreview
{
    explicit ShownPreview(int rows = 300)
    {
        window.setReportName(boundReport(rows));
        window.setWindowTitle(u"Sales by Region Report"_s);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    ReportViewer *viewer() const { return window.CRViewer91(); }
    // A key as a display delivers it: to the window, shortcuts first.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }
    void waitForJob() const
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return viewer()->job() == nullptr; }, 20000));
    }

    RptReportViewer window;
};

} // namespace

TEST(PreviewWindow, EscCtrlWAndTheToolbarsCloseCloseIt)
{
    ShownPreview preview;
    preview.key(Qt::Key_Escape);
    EXPECT_FALSE(preview.window.isVisible());

    preview.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview.window));
    preview.key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(preview.window.isVisible());

    preview.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview.window));
    ASSERT_TRUE(preview.viewer()->closeAction()->isVisible());
    preview.viewer()->closeAction()->trigger();
    EXPECT_FALSE(preview.window.isVisible());

    // Esc in the find box closes the find bar only.
    preview.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview.window));
    preview.key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(preview.viewer()->findBar()->isVisible());
    EXPECT_TRUE(preview.viewer()->findBar()->edit()->hasFocus());
    preview.key(Qt::Key_Escape);
    EXPECT_FALSE(preview.viewer()->findBar()->isVisible());
    EXPECT_TRUE(preview.window.isVisible());
}

TEST(PreviewWindow, PageDownReadsEveryPartOfEveryPageInTurn)
{
    ShownPreview preview;
    preview.window.resize(500, 300);
    ReportViewer *viewer = preview.viewer();
    viewer->Zoom(100); // a page takes several screens
    QApplication::processEvents();
    QScrollBar *bar = viewer->pageView()->verticalScrollBar();
    const int screen = viewer->pageView()->viewport()->height();
    ASSERT_GT(bar->maximum(), 2 * screen);
    const int pages = viewer->reportSource()->pageCount();
    ASSERT_GE(pages, 3);

    // Down through the first three pages: each page from its top to its very end, no strip
    // skipped, and the next page only once the end was in view.
    int page = 0, top = 0, presses = 0;
    EXPECT_EQ(bar->value(), 0);
    while (viewer->currentPage() < 3 && presses++ < 200) {
        preview.key(Qt::Key_PageDown);
        if (viewer->currentPage() != page) {
            EXPECT_EQ(viewer->currentPage(), page + 1);
            EXPECT_EQ(top, bar->maximum()) << "left page " << page + 1 << " before its end";
            EXPECT_EQ(bar->value(), 0);
            page = viewer->currentPage();
        } else {
            EXPECT_GT(bar->value(), top);
            EXPECT_LE(bar->value() - top, screen) << "a strip of page " << page + 1 << " skipped";
        }
        top = bar->value();
    }
    EXPECT_EQ(viewer->currentPage(), 3);

    // Up again: back to the end of the page before.
    preview.key(Qt::Key_PageUp);
    EXPECT_EQ(viewer->currentPage(), 2);
    EXPECT_EQ(bar->value(), bar->maximum());
    // Ctrl+PageDown still turns a whole page.
    preview.key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(viewer->currentPage(), 3);
    EXPECT_EQ(bar->value(), 0);
}

TEST(PreviewWindow, ShowsTheZoomInUseAndTheFitSelected)
{
    ShownPreview preview;
    ReportViewer *viewer = preview.viewer();
    auto shown = [&] { return viewer->zoomLabel()->text(); };
    auto inUse = [&] { return u"%1%"_s.arg(qRound(viewer->pageView()->zoomPercent())); };
    EXPECT_TRUE(viewer->fitWidthAction()->isChecked());
    EXPECT_FALSE(viewer->wholePageAction()->isChecked());
    for (const QSize size : {QSize(400, 300), QSize(1000, 700), QSize(650, 900)}) {
        preview.window.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(shown(), inUse()) << size.width();
    }
    const QString narrow = shown();
    preview.window.resize(900, 700);
    QApplication::processEvents();
    EXPECT_NE(shown(), narrow);

    viewer->wholePageAction()->trigger();
    EXPECT_TRUE(viewer->wholePageAction()->isChecked());
    EXPECT_FALSE(viewer->fitWidthAction()->isChecked());
    preview.window.resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(shown(), inUse());
    viewer->Zoom(150);
    EXPECT_FALSE(viewer->wholePageAction()->isChecked());
    EXPECT_FALSE(viewer->fitWidthAction()->isChecked());
    EXPECT_EQ(shown(), u"150%"_s);
}

TEST(PreviewWindow, OpensCentredAndWideEnoughForAWholePage)
{
    ShownPreview preview;
    const QRect available = preview.window.screen()->availableGeometry();
    const QRect frame = preview.window.geometry();
    EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 2);
    EXPECT_LE(std::abs(frame.center().y() - available.center().y()), 2);
    const int wanted =
        std::min(available.width() * 95 / 100,
                 preview.viewer()->pageWidthHint(preview.window.ReportName()->pageSize().width()));
    EXPECT_EQ(frame.width(), wanted);
    if (wanted < available.width() * 95 / 100) {
        // The whole page at its printed size at least, and every toolbar command in view.
        EXPECT_GE(preview.viewer()->pageView()->zoomPercent(), 99.0);
        const auto *toolBar = preview.viewer()->findChild<QToolBar *>();
        ASSERT_NE(toolBar, nullptr);
        EXPECT_GE(toolBar->width(), toolBar->sizeHint().width());
    }

    // A viewer as wide as it asked to be before its report came still shows every command
    // once a report of hundreds of pages is in: none folds away behind the extension button.
    ReportViewer narrow;
    narrow.resize(narrow.pageWidthHint(40), 400);
    narrow.show();
    QApplication::processEvents();
    const auto report = boundReport(20000);
    narrow.setReportSource(report.get());
    narrow.ViewReport();
    QApplication::processEvents();
    ASSERT_GE(report->pageCount(), 100);
    const auto *toolBar = narrow.findChild<QToolBar *>();
    ASSERT_NE(toolBar, nullptr);
    for (QAction *a : toolBar->actions()) {
        const QWidget *shown = toolBar->widgetForAction(a);
        EXPECT_TRUE(a->isSeparator() || (shown && shown->isVisible()))
            << a->text().toStdString() << " folded away";
    }
}

TEST(PreviewWindow, ExportsOnItsOwnCopyAndNamesTheFileWritten)
{
    ShownPreview preview;
    ReportViewer *viewer = preview.viewer();
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"regions.pdf"_s);
    QStringList buttons;
    ModalWatcher watcher([&](QWidget *modal) {
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>())
            buttons.append(b->text().remove(u'&'));
        ModalWatcher::close(modal);
    });
    viewer->exportPdfTo(pdf);
    ASSERT_NE(viewer->job(), nullptr);
    ASSERT_NE(viewer->progressDialog(), nullptr);
    EXPECT_EQ(viewer->progressDialog()->windowTitle(), u"Sales by Region"_s); // the report's title
    EXPECT_FALSE(viewer->progressDialog()->isModal()); // the event loop is never run from inside
    EXPECT_GE(viewer->progressDialog()->minimumWidth(),
              viewer->progressDialog()->fontMetrics().horizontalAdvance(u"Sales by Region"_s) + 60);
    preview.waitForJob();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Information);
    EXPECT_TRUE(watcher.last().text.contains(QDir::toNativeSeparators(pdf)));
    EXPECT_TRUE(
        watcher.last().text.contains(u"%1 pages"_s.arg(preview.window.ReportName()->pageCount())));
    EXPECT_TRUE(buttons.contains(u"Open Folder"_s));
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5).startsWith("%PDF"));

    const QString csv = folder.filePath(u"regions.csv"_s);
    viewer->exportCsvTo(csv);
    preview.waitForJob();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_TRUE(watcher.last().text.contains(u"300 rows"_s));
    EXPECT_TRUE(QFile::exists(csv));

    // A copy is the report as it stands, and independent of it.
    Report &report = *preview.window.ReportName();
    report.textObject(u"txtTitle"_s).SetText(u"Regions, as set"_s);
    report.ParameterFields(1).AddCurrentValue(u"July"_s);
    const std::unique_ptr<Report> copy = report.copy();
    auto texts = [](Report &r, int page) {
        QStringList t;
        for (const PageItem &item : r.page(page).items)
            t.append(item.text);
        return t;
    };
    ASSERT_EQ(copy->pageCount(), report.pageCount());
    for (int page : {report.pageCount() - 1, 0, 1})
        EXPECT_EQ(texts(*copy, page), texts(report, page)) << page;
    EXPECT_TRUE(texts(*copy, 0).contains(u"Regions, as set"_s));
    copy->textObject(u"txtTitle"_s).SetText(u"changed on the copy"_s);
    EXPECT_EQ(report.textObject(u"txtTitle"_s).text(), u"Regions, as set"_s);
}

TEST(ReportJob, RunsOffTheWindowsThreadAndEndsAsItWentOrWasCancelled)
{
    auto runUntilEnd = [](ReportJob &job) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return job.outcome() != ReportJob::Outcome::Running && !job.isRunning(); },
            10000));
        QApplication::processEvents(); // its finished signal
    };
    QThread *workedOn = nullptr;
    QList<int> seen;
    ReportJob done(boundReport(50), [&](Report &report, const Report::Progress &progress) {
        workedOn = QThread::currentThread();
        const int pages = report.pageCount();
        for (int i = 0; i < pages; ++i)
            progress(i + 1, pages);
        return true;
    });
    QObject::connect(&done, &ReportJob::progress, qApp, [&](int n, int) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        seen.append(n);
    });
    bool finished = false;
    QObject::connect(&done, &ReportJob::finished, qApp, [&] { finished = true; });
    done.start();
    runUntilEnd(done);
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 5000));
    EXPECT_EQ(done.outcome(), ReportJob::Outcome::Completed);
    EXPECT_NE(workedOn, qApp->thread());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), boundReport(50)->pageCount()); // the last page is always told

    // Cancel is seen by the work at its next page.
    std::atomic_int pagesDone = 0;
    ReportJob cancelled(boundReport(50), [&](Report &, const Report::Progress &progress) {
        for (int i = 0;; ++i) {
            ++pagesDone;
            if (!progress(i, 1000000))
                return false;
            QThread::msleep(1);
        }
    });
    cancelled.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return pagesDone > 3; }, 5000));
    cancelled.cancel();
    runUntilEnd(cancelled);
    EXPECT_EQ(cancelled.outcome(), ReportJob::Outcome::Cancelled);

    ReportJob failed(boundReport(5), [](Report &, const Report::Progress &) -> bool {
        throw Failure(u"The disk is full"_s, u"NVRptSales.Export"_s);
    });
    failed.start();
    runUntilEnd(failed);
    EXPECT_EQ(failed.outcome(), ReportJob::Outcome::Failed);
    EXPECT_EQ(failed.description(), u"The disk is full"_s);
    EXPECT_EQ(failed.source(), u"NVRptSales.Export"_s);
}

TEST(PreviewWindow, FindsATextThroughEveryPageAndMovesOnWithF3)
{
    ShownPreview preview;
    ReportViewer *viewer = preview.viewer();
    preview.key(Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = viewer->findBar();
    ASSERT_TRUE(bar->isVisible());
    // Customers 3 and 30 to 33 contain the text, in their group headers (repeated where a
    // customer carries over to a new page): read off the pages themselves.
    QList<int> expected;
    Report &report = *preview.window.ReportName();
    for (int p = 0; p < report.pageCount(); ++p)
        for (const PageItem &item : report.page(p).items)
            if (item.text.startsWith(u"Customer 3"_s))
                expected.append(p);
    ASSERT_GE(expected.size(), 5);
    const int count = int(expected.size());
    const qsizetype pagesWith = QSet<int>(expected.begin(), expected.end()).size();
    QTest::keyClicks(bar->edit(), u"CUSTOMER 3"_s);
    QTest::keyClick(bar->edit(), Qt::Key_Return);
    preview.waitForJob();
    ASSERT_TRUE(bar->status().startsWith(u"1 of %1"_s.arg(count))) << bar->status().toStdString();
    EXPECT_TRUE(bar->status().endsWith(u"found on %1 pages"_s.arg(pagesWith)))
        << bar->status().toStdString();

    QList<int> pages;
    for (int i = 0; i < count; ++i) {
        pages.append(viewer->currentPage());
        EXPECT_EQ(viewer->pageView()->highlights().size(), expected.count(viewer->currentPage()));
        // Only the found part of "Customer 30" is marked, at the start of its box.
        for (const QRectF &mark : viewer->pageView()->highlights()) {
            bool inside = false;
            for (const PageItem &item : report.page(viewer->currentPage()).items) {
                if (!item.text.startsWith(u"Customer 3"_s) ||
                    !item.rect.adjusted(-1, 0, 1, 0).contains(mark))
                    continue;
                inside = true;
                EXPECT_LT(mark.left(), item.rect.left() + 2);
                if (item.text.size() > 10) {
                    EXPECT_LT(mark.width(), item.rect.width() * 0.9);
                }
            }
            EXPECT_TRUE(inside);
        }
        EXPECT_TRUE(bar->status().startsWith(u"%1 of %2"_s.arg(i + 1).arg(count)));
        preview.key(Qt::Key_F3);
    }
    EXPECT_EQ(pages, expected);
    EXPECT_TRUE(bar->status().startsWith(u"1 of %1"_s.arg(count))); // round again
    preview.key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_TRUE(bar->status().startsWith(u"%1 of %1"_s.arg(count)));

    bar->edit()->setText(u"no such customer"_s);
    QTest::keyClick(bar->edit(), Qt::Key_Return);
    preview.waitForJob();
    EXPECT_EQ(bar->status(), u"Not found"_s);
    EXPECT_TRUE(viewer->pageView()->highlights().isEmpty());
}

// Rows that lead somewhere show a hand and say where; a double-click opens the detail in a
// window of its own, and a detail with nothing in it says so instead.
TEST(PreviewWindow, RowsThatLeadSomewhereOpenTheirDetail)
{
    ShownPreview preview;
    int opened = -1;
    preview.window.ReportName()->setRowLinks([&](int row) -> std::optional<RowLink> {
        if (row % 2 == 1)
            return std::nullopt; // odd rows lead nowhere
        return RowLink{u"Lines of row %1 (figures differ: here every sale and return of the "
                       u"period at its stored totals, there each sale line computed from its "
                       u"price)"_s.arg(row),
                       [&opened, row](QString &message) -> std::unique_ptr<Report> {
                           opened = row;
                           if (row == 0) {
                               message = u"Nothing behind row 0"_s;
                               return nullptr;
                           }
                           return boundReport(5);
                       }};
    });
    PageView *view = preview.viewer()->pageView();
    QWidget *paper = view->viewport();
    QApplication::processEvents(); // the page is drawn

    // Down the middle of the page: some rows lead somewhere, some do not.
    QPoint linked, plain;
    for (int y = 0; y < paper->height() && (linked.isNull() || plain.isNull()); y += 2) {
        const QPoint at(paper->width() / 2, y);
        QTest::mouseMove(paper, at);
        const QString tip = paper->toolTip();
        if (tip.startsWith(u"Lines of row "_s) && !tip.startsWith(u"Lines of row 0 "_s)) {
            if (linked.isNull())
                linked = at;
            EXPECT_EQ(paper->cursor().shape(), Qt::PointingHandCursor);
        } else if (tip.isEmpty() && y > paper->height() / 3 && plain.isNull()) {
            plain = at;
            EXPECT_NE(paper->cursor().shape(), Qt::PointingHandCursor);
        }
    }
    ASSERT_FALSE(linked.isNull()) << "no row leads anywhere";

    const QWidgetList before = QApplication::topLevelWidgets();
    QTest::mouseMove(paper, linked);
    const QString tip = paper->toolTip();
    QTest::mouseDClick(paper, Qt::LeftButton, {}, linked);
    RptReportViewer *detail = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!before.contains(w) && qobject_cast<RptReportViewer *>(w))
            detail = static_cast<RptReportViewer *>(w);
    }
    ASSERT_NE(detail, nullptr);
    EXPECT_GT(opened, 0);
    EXPECT_EQ(detail->windowTitle(), tip.section(u" ("_s, 0, 0));
    // A long explanation comes in lines short enough to read, and whole.
    const QStringList lines = tip.split(u'\n');
    EXPECT_GE(lines.size(), 2);
    for (const QString &line : lines)
        EXPECT_LE(line.size(), 70) << line.toStdString();
    EXPECT_TRUE(lines.join(u' ').endsWith(u"computed from its price)"_s)) << tip.toStdString();
    ASSERT_NE(detail->ReportName(), nullptr);
    EXPECT_EQ(detail->ReportName()->rowCount(), 5);
    EXPECT_TRUE(detail->isVisible());
    detail->close(); // deletes itself

    // A row whose detail is empty says so, and opens nothing.
    ModalWatcher watcher;
    Q_EMIT view->rowActivated(0);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"Nothing behind row 0"_s);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Information);
}
