#include "ModalWatcher.h"
#include "PrintServer.h"
#include "RegionSales.h"
#include "XlsxReader.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "preview/FindBar.h"
#include "preview/PageView.h"
#include "preview/ReportJob.h"
#include "preview/ReportViewer.h"
#include "preview/RptReportViewer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<Report> boundReport(int rows = 300)
{
    return RegionSales::report(RegionSales::steady(rows, 100, 9));
}

// Rows that lead somewhere: every `every`-th; opening one records it and gives a small report.
void linkEvery(Report &report, int every, int &opened)
{
    report.setRowLinks([every, &opened](int row) -> std::optional<RowLink> {
        if (row % every != 0)
            return std::nullopt;
        return RowLink{u"Row %1"_s.arg(row), [&opened, row](QString &) {
                           opened = row;
                           return boundReport(5);
                       }};
    });
}

// The preview window that appeared since `before` was taken.
RptReportViewer *newPreview(const QWidgetList &before)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!before.contains(w) && qobject_cast<RptReportViewer *>(w))
            return static_cast<RptReportViewer *>(w);
    }
    return nullptr;
}

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
    // A key as a display delivers it: to the window, shortcuts first, once it is active again
    // after a dialog.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }
    void waitForJob() const
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return viewer()->job() == nullptr; }, 20000));
    }

    RptReportViewer window;
};

} // namespace

TEST(PreviewWindow, EscAndCtrlWCloseIt)
{
    ShownPreview preview;
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
        preview.key(key.key(), key.keyboardModifiers());
        EXPECT_FALSE(preview.window.isVisible());
        preview.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&preview.window));
    }
    // Esc in the find box closes the find bar only.
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

// A viewer as wide as it asked to be before its report came still shows every command once a
// report of hundreds of pages is in: none folds away behind the extension button.
TEST(PreviewWindow, ANarrowViewerKeepsEveryCommandInViewAfterALongReportLoads)
{
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

// Each export runs as a job, the window staying live, and says which file it wrote.
TEST(PreviewWindow, ExportsNameTheFileWritten)
{
    ShownPreview preview;
    ReportViewer *viewer = preview.viewer();
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"regions.pdf"_s);
    ModalWatcher watcher;
    viewer->exportPdfTo(pdf);
    ASSERT_NE(viewer->job(), nullptr);
    EXPECT_FALSE(viewer->progressDialog()->isModal()); // the event loop is never run from inside
    preview.waitForJob();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_TRUE(watcher.last().text.contains(QDir::toNativeSeparators(pdf)));
    EXPECT_TRUE(
        watcher.last().text.contains(u"%1 pages"_s.arg(preview.window.ReportName()->pageCount())));
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5).startsWith("%PDF"));

    viewer->exportCsvTo(folder.filePath(u"regions.csv"_s));
    preview.waitForJob();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_TRUE(watcher.last().text.contains(u"300 rows"_s));
    EXPECT_TRUE(QFile::exists(folder.filePath(u"regions.csv"_s)));
}

// The workbook goes where the save dialog says and holds the report's totals; a cancelled dialog
// writes nothing.
TEST(PreviewWindow, ExportExcelWritesTheWorkbookChosenInTheSaveDialog)
{
    ShownPreview preview(30);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"regions.xlsx"_s);
    QAction *exportExcel = preview.viewer()->exportExcelAction();
    QString suggested;
    {
        // The save dialog, then the message naming the file written.
        ModalWatcher watcher;
        watcher.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            suggested = dialog->selectedFiles().value(0);
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
        exportExcel->trigger();
        preview.waitForJob();
        ASSERT_EQ(watcher.count(), 2);
        EXPECT_TRUE(watcher.last().text.contains(QDir::toNativeSeparators(path)));
    }
    EXPECT_TRUE(suggested.endsWith(u"Sales by Region.xlsx"_s)) << suggested.toStdString();
    const XlsxReader book(path);
    ASSERT_TRUE(book.isValid());
    const XlsxReader::Sheet &sheet = book.sheets().front();
    const XlsxReader::Cell *grand = sheet.cell(sheet.rows.rbegin()->first, 2);
    ASSERT_NE(grand, nullptr);
    EXPECT_DOUBLE_EQ(grand->number(), 1.25 * (29 * 30 / 2));

    QFile::remove(path);
    ModalWatcher cancelling;
    exportExcel->trigger();
    EXPECT_EQ(cancelling.count(), 1);
    EXPECT_FALSE(QFile::exists(path));
}

// The work runs on a thread of its own, its progress is told on the window's thread, and a
// cancel is seen by the work at its next page.
TEST(ReportJob, RunsOffTheWindowsThreadAndCanBeCancelled)
{
    QThread *workedOn = nullptr;
    std::atomic_int pagesDone = 0;
    ReportJob job(boundReport(50), [&](Report &, const Report::Progress &progress) {
        workedOn = QThread::currentThread();
        for (int i = 0;; ++i) {
            ++pagesDone;
            if (!progress(i, 1000000))
                return false;
            QThread::msleep(1);
        }
    });
    int told = 0;
    QObject::connect(&job, &ReportJob::progress, qApp, [&](int, int) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        ++told;
    });
    job.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return told > 3; }, 5000));
    job.cancel();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return job.outcome() != ReportJob::Outcome::Running && !job.isRunning(); }, 10000));
    EXPECT_EQ(job.outcome(), ReportJob::Outcome::Cancelled);
    EXPECT_NE(workedOn, qApp->thread());
    const int stoppedAt = pagesDone;
    QTest::qWait(20);
    EXPECT_EQ(pagesDone, stoppedAt);
}

// Whatever the work throws ends the job as failed with a description: an exception leaving the
// thread would end the program.
TEST(ReportJob, AnythingTheWorkThrowsIsAFailure)
{
    const std::pair<std::function<void()>, QString> cases[] = {
        {[] { throw std::out_of_range("no such page"); }, u"no such page"_s},
        {[] { throw 42; }, u"unexpected failure"_s},
    };
    for (const auto &[work, description] : cases) {
        ReportJob job(boundReport(5), [&](Report &, const Report::Progress &) -> bool {
            work();
            return true;
        });
        job.start();
        job.wait();
        EXPECT_EQ(job.outcome(), ReportJob::Outcome::Failed);
        EXPECT_TRUE(job.description().contains(description)) << job.description().toStdString();
    }
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
    QPoint linked;
    bool plain = false;
    for (int y = 0; y < paper->height() && (linked.isNull() || !plain); y += 2) {
        const QPoint at(paper->width() / 2, y);
        QTest::mouseMove(paper, at);
        const QString tip = paper->toolTip();
        if (tip.startsWith(u"Lines of row "_s) && !tip.startsWith(u"Lines of row 0 "_s)) {
            if (linked.isNull())
                linked = at;
            EXPECT_EQ(paper->cursor().shape(), Qt::PointingHandCursor);
        } else if (tip.isEmpty() && y > paper->height() / 3 && !plain) {
            plain = true;
            EXPECT_NE(paper->cursor().shape(), Qt::PointingHandCursor);
        }
    }
    ASSERT_FALSE(linked.isNull()) << "no row leads anywhere";

    const QWidgetList before = QApplication::topLevelWidgets();
    QTest::mouseMove(paper, linked);
    const QString tip = paper->toolTip();
    QTest::mouseDClick(paper, Qt::LeftButton, {}, linked);
    RptReportViewer *detail = newPreview(before);
    ASSERT_NE(detail, nullptr);
    EXPECT_GT(opened, 0);
    EXPECT_EQ(view->currentRow(), opened);             // the row clicked is the one Enter opens
    EXPECT_EQ(detail->windowModality(), Qt::NonModal); // beside a window that is not modal
    EXPECT_EQ(detail->windowTitle(), detail->ReportName()->layout().title); // its own title
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
    Q_EMIT view->rowActivated(0, -1);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"Nothing behind row 0"_s);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Information);
}

// A window is captioned with its own report's title and criteria, whichever report it held
// before and whatever caption it was given for it.
TEST(PreviewWindow, IsCaptionedWithItsOwnReportsTitleAndCriteria)
{
    RptReportViewer window;
    const struct
    {
        QString title, criteria, caption, expected;
    } cases[] = {
        {u"Company Wise Sales"_s,
         u"Period 01-Jun-2026 to 30-Jun-2026"_s,
         {},
         u"Company Wise Sales \u2014 Period 01-Jun-2026 to 30-Jun-2026"_s},
        {{}, u"Customer C0021"_s, {}, u"Sales by Region \u2014 Customer C0021"_s}, // layout's title
        {{}, {}, u"Sales Register Report"_s, u"Sales Register Report"_s},
        {u"Product Wise Sale"_s, u"Company 01"_s, u"Product Wise Sale Report"_s,
         u"Product Wise Sale Report \u2014 Company 01"_s},
    };
    for (const auto &c : cases) {
        std::unique_ptr<Report> report = boundReport(5);
        report->SetReportTitle(c.title);
        report->setCriteriaLine(c.criteria);
        window.setReportName(std::move(report));
        if (!c.caption.isEmpty())
            window.setCaption(c.caption);
        EXPECT_EQ(window.windowTitle(), c.expected);
    }
}

// Down and Up move a current row over the rows that lead somewhere, on from page to page; Enter
// opens the current row wherever the pointer is. Where no row leads anywhere the arrows scroll.
TEST(PreviewWindow, ArrowsMoveTheCurrentRowAndEnterOpensIt)
{
    ShownPreview preview;
    PageView *view = preview.viewer()->pageView();
    view->setFocus();
    preview.key(Qt::Key_Down);
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    EXPECT_EQ(view->currentRow(), -1);
    view->verticalScrollBar()->setValue(0);

    Report &report = *preview.window.ReportName();
    int opened = -1;
    linkEvery(report, 3, opened);
    std::vector<int> expected; // read off the first two pages
    size_t onFirstPage = 0;
    for (int p = 0; p < 2; ++p) {
        for (const PageRow &r : report.page(p).rows)
            if (r.tableRow % 3 == 0)
                expected.push_back(r.tableRow);
        onFirstPage = p == 0 ? expected.size() : onFirstPage;
    }
    std::vector<int> visited;
    while (visited.size() < expected.size()) {
        preview.key(Qt::Key_Down);
        visited.push_back(view->currentRow());
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(preview.viewer()->currentPage(), 1);
    for (size_t n = visited.size(); n > onFirstPage; --n)
        preview.key(Qt::Key_Up);
    EXPECT_EQ(view->currentRow(), expected[onFirstPage - 1]); // back on the first page's last
    EXPECT_EQ(preview.viewer()->currentPage(), 0);

    QCursor::setPos(-1000, -1000); // the pointer rests on no row
    const QWidgetList before = QApplication::topLevelWidgets();
    preview.key(Qt::Key_Return);
    EXPECT_EQ(opened, expected[onFirstPage - 1]);
    RptReportViewer *detail = newPreview(before);
    ASSERT_NE(detail, nullptr);
    detail->close();
}

// Where each figure of a row leads on its own: the arrows move along a row's figures that lead
// somewhere and down the same figure's column; Enter opens that figure.
TEST(PreviewWindow, FiguresThatLeadSomewhereAreChosenWithArrowsAndOpened)
{
    ShownPreview preview;
    Report &report = *preview.window.ReportName();
    std::pair<int, QString> opened{-1, {}};
    report.setCellLinks([&opened](int row, const QString &column) -> std::optional<RowLink> {
        if (column == u"qty")
            return std::nullopt; // quantities lead nowhere
        return RowLink{u"%1 of row %2"_s.arg(column).arg(row),
                       [&opened, row, column](QString &) {
                           opened = {row, column};
                           return boundReport(5);
                       }};
    });
    auto object = [&](const QString &name) {
        for (size_t i = 0; i < report.objects().size(); ++i)
            if (report.objects()[i]->Name() == name)
                return int(i);
        return -1;
    };
    preview.viewer()->refresh(); // the page now lists its figures
    PageView *view = preview.viewer()->pageView();
    view->setFocus();
    QApplication::processEvents();
    const std::vector<PageRow> rows = report.page(0).rows;
    ASSERT_GE(rows.size(), 3u);
    QCursor::setPos(-1000, -1000);

    preview.key(Qt::Key_Down); // the first figure of the first row
    EXPECT_EQ(view->currentRow(), rows[0].tableRow);
    EXPECT_EQ(view->currentObject(), object(u"fldAmount"_s));
    preview.key(Qt::Key_Right); // past the quantity
    EXPECT_EQ(view->currentObject(), object(u"fldValue"_s));
    preview.key(Qt::Key_Right); // the row's last: it stays
    EXPECT_EQ(view->currentObject(), object(u"fldValue"_s));
    EXPECT_EQ(view->currentRow(), rows[0].tableRow);
    preview.key(Qt::Key_Down); // the same figure of the next row
    EXPECT_EQ(view->currentRow(), rows[1].tableRow);
    EXPECT_EQ(view->currentObject(), object(u"fldValue"_s));
    preview.key(Qt::Key_Left);
    EXPECT_EQ(view->currentObject(), object(u"fldAmount"_s));

    const QWidgetList before = QApplication::topLevelWidgets();
    preview.key(Qt::Key_Return);
    EXPECT_EQ(opened, std::pair(rows[1].tableRow, u"amount"_s));
    RptReportViewer *detail = newPreview(before);
    ASSERT_NE(detail, nullptr);
    detail->close();
}

// A detail opened from a modal preview comes modal over it, so that it takes keys at once.
TEST(PreviewWindow, ADetailFromAModalPreviewTakesKeysAtOnce)
{
    ShownPreview preview;
    preview.window.hide();
    int opened = -1;
    linkEvery(*preview.window.ReportName(), 1, opened);
    QPointer<RptReportViewer> detail;
    bool closedByEsc = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            detail = qobject_cast<RptReportViewer *>(QApplication::activeModalWidget());
            if (!detail || detail == &preview.window)
                return;
            // Offscreen activation comes a moment later; the key is pressed either way.
            (void)QTest::qWaitFor([&] { return QApplication::activeWindow() == detail; }, 1000);
            // Pressed only: the window goes on the key's press, before any release could reach it.
            QTest::keyPress(detail->windowHandle(), Qt::Key_Escape);
            closedByEsc = !detail || !detail->isVisible();
            if (detail)
                detail->close();
        });
        Q_EMIT preview.viewer()->pageView()->rowActivated(4, -1);
        preview.window.close();
    });
    preview.window.showModal(nullptr);
    EXPECT_EQ(opened, 4);
    EXPECT_TRUE(closedByEsc);
}

// Every command has a key, named in its tooltip and doing nothing else, and is on the menu bar,
// which keeps them all in reach at 800 pixels, where the toolbar folds some away.
TEST(PreviewWindow, EveryCommandHasAKeyAndIsOnTheMenuBarAt800Pixels)
{
    ShownPreview preview;
    preview.window.resize(800, 600);
    QApplication::processEvents();
    ReportViewer *viewer = preview.viewer();
    const QList<QAction *> commands = viewer->commands();
    QStringList keys;
    for (QAction *a : commands) {
        EXPECT_FALSE(a->shortcuts().isEmpty()) << a->text().toStdString();
        for (const QKeySequence &key : a->shortcuts()) {
            EXPECT_TRUE(a->toolTip().contains(key.toString(QKeySequence::NativeText)))
                << a->toolTip().toStdString();
            keys.append(key.toString());
        }
    }
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    for (QAction *a : viewer->findChild<QToolBar *>()->actions())
        EXPECT_TRUE(a->isSeparator() || qobject_cast<QWidgetAction *>(a) || commands.contains(a))
            << a->text().toStdString();
    QMenuBar *bar = viewer->menuBar();
    ASSERT_TRUE(bar->isVisible());
    for (QAction *menu : bar->actions())
        EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(menu))) << menu->text().toStdString();

    // The exports' keys, as a display delivers them, open their save dialogs.
    ModalWatcher watcher;
    for (const QKeyCombination key :
         {Qt::CTRL | Qt::SHIFT | Qt::Key_P, Qt::CTRL | Qt::SHIFT | Qt::Key_C,
          Qt::CTRL | Qt::SHIFT | Qt::Key_X})
        preview.key(key.key(), key.keyboardModifiers());
    ASSERT_EQ(watcher.count(), 3);
    for (const ModalWatcher::Seen &seen : watcher.seen())
        EXPECT_EQ(seen.className, u"QFileDialog"_s);
}

// Print sends one job to the printer chosen: an accepted job is told under the page, a refused
// one shows the printer's reason and leaves no word of the print before it; Cancel prints nothing.
TEST(PreviewWindow, PrintTellsWhatThePrinterDidWithTheJob)
{
    QString why;
    if (!PrintServer::ready(&why))
        GTEST_SKIP() << why.toStdString();
    ShownPreview preview;
    const int pages = preview.window.ReportName()->pageCount();
    ASSERT_GT(pages, 1);
    const QString sent = u"%1 pages sent to the printer %2"_s.arg(pages);
    const struct
    {
        QString printer; // empty: the dialog is cancelled
        bool accepted;
        QString status;
    } cases[] = {
        {PrintServer::printer, true, sent.arg(PrintServer::printer)},
        {PrintServer::rejectingPrinter, false, {}},
        {PrintServer::printer, true, sent.arg(PrintServer::printer)},
        {{}, false, sent.arg(PrintServer::printer)},
    };
    for (const auto &c : cases) {
        const qsizetype before = PrintServer::jobs().size();
        QString offered;
        ModalWatcher watcher;
        watcher.then([&](QWidget *modal) {
            auto *dialog = qobject_cast<QInputDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            offered = dialog->textValue();
            dialog->setTextValue(c.printer);
            c.printer.isEmpty() ? dialog->reject() : dialog->accept();
        });
        preview.key(Qt::Key_P, Qt::ControlModifier);
        preview.waitForJob();
        EXPECT_EQ(offered, PrintServer::printer); // the report's own, here the default
        EXPECT_EQ(PrintServer::jobs().size(), before + (c.accepted ? 1 : 0));
        EXPECT_TRUE(preview.viewer()->printStatus().startsWith(c.status) &&
                    (c.status.isEmpty() == preview.viewer()->printStatus().isEmpty()))
            << preview.viewer()->printStatus().toStdString();
        const bool refused = !c.accepted && !c.printer.isEmpty();
        ASSERT_EQ(watcher.count(), refused ? 2 : 1);
        if (refused) {
            EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
            EXPECT_TRUE(watcher.last().text.contains(PrintServer::rejectingReason));
        }
    }
    EXPECT_TRUE(PrintServer::waitUntilIdle());
}
