#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "PointerShapes.h"
#include "PrintServer.h"
#include "ReportChecks.h"
#include "ScopedEnvironment.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
#include "db/Connection.h"
#include "presentation/Report.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class SalesRegisterWindow : public CriteriaWindowTest
{
protected:
    void SetUp() override
    {
        CriteriaWindowTest::SetUp();
        open(ReportKind::SalesRegister);
    }

    // A click as the platform delivers it: to the window, which hands it to the control.
    void clickThroughWindow(QWidget *control)
    {
        const QPoint at = control->mapTo(window, control->rect().center());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }

    bool pointerIsNormal() const
    {
        return window->cursor().shape() == Qt::ArrowCursor &&
               QApplication::overrideCursor() == nullptr;
    }
};

TEST_F(SalesRegisterWindow, LoadsDefaultsAndComesBackFreshAfterClose)
{
    EXPECT_EQ(window->fromDate()->date(), QDate(2025, 7, 1)); // the demo company's period start
    EXPECT_EQ(window->toDate()->date(), QDate::currentDate());
    type(u"txtCustomerID"_s, u"C0001"_s);
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_Tab);
    EXPECT_FALSE(box(u"txtCustomerName"_s)->text().isEmpty());
    type(u"txtFromInvoiceno"_s, u"12"_s);
    window->fromDate()->setDate(QDate(2024, 1, 1));

    // Launching an open window keeps it as it is; a closed one comes back as new.
    reports.SalesRegister();
    EXPECT_EQ(box(u"txtCustomerID"_s)->text(), u"C0001"_s);
    QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(window->isVisible()); // Ctrl+Shift+Q is not Ctrl+Q
    QTest::keyClick(box(u"txtFromInvoiceno"_s), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    reports.SalesRegister();
    EXPECT_EQ(reports.window(ReportKind::SalesRegister), window);
    for (const char *name : {"txtCustomerID", "txtCustomerName", "txtFromInvoiceno"})
        EXPECT_TRUE(box(QLatin1String(name))->text().isEmpty()) << name;
    EXPECT_EQ(window->fromDate()->date(), QDate(2025, 7, 1));
}

TEST_F(SalesRegisterWindow, IdBoxesAreLookedUpWhenLeft)
{
    ModalWatcher watcher;
    // 0012 finds town 12.
    type(u"txtTownID"_s, u"0012"_s);
    QTest::keyClick(box(u"txtTownID"_s), Qt::Key_Tab);
    EXPECT_EQ(window->sqlText(), u" Select * FROM Towns where TownId=12"_s);
    EXPECT_EQ(box(u"txtTownName"_s)->text(),
              scalar(u"select TownName from Towns where TownId = 12"_s));
    box(u"txtTownID"_s)->setText(u"0013"_s); // the register's town keeps its name meanwhile
    EXPECT_FALSE(box(u"txtTownName"_s)->text().isEmpty());
    EXPECT_EQ(watcher.count(), 0);

    // abc is sector 0, which does not exist: the lookup opens, and the pick fills both boxes.
    watcher.then(pick(u"Glenarm N"_s));
    type(u"txtSectorID"_s, u"abc"_s);
    QTest::keyClick(box(u"txtSectorID"_s), Qt::Key_Tab);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(box(u"txtSectorName"_s)->text(), u"Glenarm North"_s);
    EXPECT_EQ(box(u"txtSectorID"_s)->text(),
              scalar(u"select SectorId from Sectors where SectorName = 'Glenarm North'"_s));

    // A cancelled lookup empties the box and keeps the focus in it, once.
    type(u"txtCustomerID"_s, u"ZZ9"_s);
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_Tab);
    EXPECT_EQ(watcher.count(), 2);
    EXPECT_TRUE(box(u"txtCustomerID"_s)->text().isEmpty());
    EXPECT_EQ(focus(), box(u"txtCustomerID"_s));
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_Tab);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));

    // Clicking elsewhere leaves the box too: an unknown id holds the focus.
    type(u"txtCustomerID"_s, u"ZZ8"_s);
    clickThroughWindow(box(u"txtFromInvoiceno"_s));
    EXPECT_EQ(watcher.count(), 3);
    EXPECT_EQ(focus(), box(u"txtCustomerID"_s));
}

TEST_F(SalesRegisterWindow, F1FillsBothBoxesWithoutAQuery)
{
    ModalWatcher watcher;
    watcher.then(pick(u"Cash"_s));
    box(u"txtCustomerID"_s)->setFocus();
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_F1);
    EXPECT_EQ(watcher.count(), 1);
    EXPECT_EQ(box(u"txtCustomerID"_s)->text(), u"CASH"_s);
    EXPECT_EQ(box(u"txtCustomerName"_s)->text(), u"Cash Sales"_s);
    EXPECT_TRUE(window->sqlText().isEmpty()); // no look-up query ran

    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_F1); // closed without a choice
    EXPECT_EQ(watcher.count(), 2);
    EXPECT_TRUE(box(u"txtCustomerID"_s)->text().isEmpty());
    EXPECT_TRUE(box(u"txtCustomerName"_s)->text().isEmpty());

    box(u"txtFromInvoiceno"_s)->setFocus();
    QTest::keyClick(box(u"txtFromInvoiceno"_s), Qt::Key_F1); // nothing here
    EXPECT_EQ(watcher.count(), 2);
}

TEST_F(SalesRegisterWindow, InvoiceBoxesTakeDigitsOnlyTypedOrPasted)
{
    QLineEdit *from = box(u"txtFromInvoiceno"_s);
    from->setFocus();
    QTest::keyClicks(from, u"12a.5x"_s);
    EXPECT_EQ(from->text(), u"125"_s);
    QApplication::clipboard()->setText(u"7x.1"_s);
    from->paste();
    EXPECT_EQ(from->text(), u"125"_s);
    QApplication::clipboard()->setText(u"45"_s);
    from->paste();
    EXPECT_EQ(from->text(), u"12545"_s);
}

TEST_F(SalesRegisterWindow, PreviewBuildsTheReportOrSaysWhyNot)
{
    ModalWatcher watcher;
    // Nothing in the range: "No record exists." and no preview window.
    type(u"txtFromInvoiceno"_s, u"90000"_s);
    type(u"txtToInvoiceno"_s, u"90010"_s);
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"No record exists."_s);
    EXPECT_EQ(reports.preview().current(), nullptr);

    box(u"txtFromInvoiceno"_s)->clear();
    box(u"txtToInvoiceno"_s)->clear();
    window->fromDate()->setDate(QDate(2026, 6, 1));
    PointerShapes pointer(window);
    window->previewButton()->click();
    EXPECT_EQ(pointer.shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
    RptReportViewer *first = reports.preview().current();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->ReportName()->rowCount(), window->resultSet().recordCount());

    // A second preview is a second window; the first stays open with its report.
    type(u"txtFromInvoiceno"_s, u"2"_s);
    window->previewButton()->click();
    RptReportViewer *second = reports.preview().current();
    EXPECT_NE(second, first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(watcher.count(), 1);

    // A company without its name in the registry: the build fails, and says so.
    const QString nameless = ReportChecks::demoCopy(
        u"nameless.sqlite"_s, u"delete from Project_registry where registrykey = 'companyname'"_s);
    const auto other = Connection::openSqlite(nameless);
    reports.InitializeClass(*other);
    window->activateWindow();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
    EXPECT_TRUE(watcher.last().text.contains(u"companyname"_s));
    EXPECT_EQ(reports.preview().current(), second);
    EXPECT_TRUE(pointerIsNormal());
}

TEST_F(SalesRegisterWindow, PrintPrintsOnceWithoutADialog)
{
    QString why;
    if (!PrintServer::ready(&why))
        GTEST_SKIP() << why.toStdString();
    ModalWatcher watcher;
    const qsizetype before = PrintServer::jobs().size();
    window->fromDate()->setDate(QDate(2026, 6, 20));
    type(u"txtFromInvoiceno"_s, u"1"_s);
    window->printButton()->click();
    EXPECT_EQ(watcher.count(), 0);                     // no print dialog, no message
    EXPECT_EQ(PrintServer::jobs().size(), before + 1); // exactly one job
    EXPECT_TRUE(PrintServer::waitUntilIdle());
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(viewer->ReportName()->objects().front()->BackColor(), -1);
    // The status line says where the pages went and how many.
    const int pages = viewer->ReportName()->pageCount();
    EXPECT_TRUE(window->statusLine()->text().startsWith(
        (pages == 1 ? u"1 page"_s : u"%1 pages"_s.arg(pages)) + u" sent to the printer "_s +
        PrintServer::printer))
        << window->statusLine()->text().toStdString();

    // The same print refused (the refusing queue made the default): the printer's reason, and
    // no word left of the pages sent before.
    const ScopedEnvironment refusing("LPDEST", PrintServer::rejectingPrinter.toUtf8());
    window->printButton()->click();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Critical);
    EXPECT_TRUE(watcher.last().text.contains(PrintServer::rejectingReason));
    EXPECT_TRUE(window->statusLine()->text().isEmpty())
        << window->statusLine()->text().toStdString();
}

// Keys as a display delivers them: to the window first, which hands them to the control. Each
// is previewed once, so Enter moves one control on and Tab leaves a date picker at once.
TEST_F(SalesRegisterWindow, KeysThroughTheWindowMoveOneControl)
{
    QWindow *display = window->windowHandle();
    box(u"txtCustomerID"_s)->setFocus();
    QTest::keyClick(display, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    QTest::keyClick(display, Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_EQ(focus(), box(u"txtTownID"_s));

    window->fromDate()->setFocus();
    QTest::keyClick(display, Qt::Key_Tab);
    EXPECT_EQ(focus(), window->toDate());
    QTest::keyClick(display, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(focus(), box(u"txtCustomerID"_s));

    // Ctrl+Q through the window closes it once.
    QTest::keyClick(display, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}
