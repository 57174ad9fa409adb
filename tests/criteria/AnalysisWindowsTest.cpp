#include "AnalysesFixture.h"
#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "PointerShapes.h"
#include "PrintServer.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
#include "presentation/Report.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The three analyses' windows: query first, then the report prepared in the preview window
// of the slot, shown modally over the criteria window.
class AnalysisWindows : public CriteriaWindowTest
{
protected:
    QString database() const override { return AnalysesFixture::path(); }

    // How a preview window looked while it was shown, then closes it.
    struct Shown
    {
        RptReportViewer *viewer = nullptr;
        bool modal = false;
        bool ownedByCriteriaWindow = false;
        int rows = 0;
        QString caption;
    };
    ModalWatcher::Handler record(Shown &shown)
    {
        return [this, &shown](QWidget *modal) {
            shown.viewer = qobject_cast<RptReportViewer *>(modal);
            ASSERT_NE(shown.viewer, nullptr);
            shown.modal = modal->isModal();
            shown.ownedByCriteriaWindow =
                modal->windowHandle()->transientParent() == window->windowHandle();
            shown.rows = shown.viewer->ReportName()->rowCount();
            shown.caption = modal->windowTitle();
            modal->close();
        };
    }
};

// Enter moves one control on; a reversed period and an empty result are refused with the
// focus where the user must act; rows show modally over the window, in a reused window.
TEST_F(AnalysisWindows, CompanyWiseEnterRefusalsAndModalPreview)
{
    open(ReportKind::CompanyWiseSale);
    ModalWatcher watcher;
    QSignalSpy entered(box(u"txtTownID"_s), &QLineEdit::returnPressed);
    box(u"txtTownID"_s)->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    EXPECT_EQ(entered.count(), 0);

    setPeriod(QDate(2026, 5, 2), QDate(2026, 5, 1));
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"From date must be less than or equal to To date"_s);
    EXPECT_EQ(focus(), window->fromDate());
    EXPECT_FALSE(window->resultSet().isOpen());

    // Nothing found: Preview selects the customer box, Print leaves the focus alone.
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    box(u"txtCustomerID"_s)->setText(u"ZZZZ"_s);
    box(u"txtSectorID"_s)->setFocus();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_EQ(box(u"txtCustomerID"_s)->selectedText(), u"ZZZZ"_s);
    box(u"txtSectorID"_s)->setFocus();
    window->printButton()->click();
    ASSERT_EQ(watcher.count(), 3);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    EXPECT_EQ(reports.preview().current(), nullptr);

    box(u"txtCustomerID"_s)->clear();
    Shown shown;
    watcher.then(record(shown));
    PointerShapes pointer(window);
    window->previewButton()->click();
    EXPECT_EQ(pointer.shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
    ASSERT_NE(shown.viewer, nullptr);
    EXPECT_TRUE(shown.modal);
    EXPECT_TRUE(shown.ownedByCriteriaWindow);
    EXPECT_EQ(shown.rows, window->resultSet().recordCount());
    Shown again;
    watcher.then(record(again));
    window->previewButton()->click();
    EXPECT_EQ(again.viewer, shown.viewer);
}

TEST_F(AnalysisWindows, PreviewWhileAnotherReportsPreviewIsOpenGetsItsOwnWindow)
{
    ModalWatcher watcher;
    open(ReportKind::SalesRegister);
    window->fromDate()->setDate(QDate(2026, 6, 20));
    window->previewButton()->click();
    RptReportViewer *registerPreview = reports.preview().current();
    ASSERT_NE(registerPreview, nullptr);
    const Report *registerReport = registerPreview->ReportName();

    open(ReportKind::ProductWiseSales);
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    Shown shown;
    watcher.then(record(shown));
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 1) << "the preview and nothing else";
    EXPECT_NE(shown.viewer, registerPreview);
    EXPECT_GT(shown.rows, 0);
    EXPECT_TRUE(registerPreview->isVisible());
    EXPECT_EQ(registerPreview->ReportName(), registerReport);
    // Each window under its own report's caption and criteria.
    EXPECT_TRUE(
        registerPreview->windowTitle().startsWith(u"Sales Register Report \u2014 Period "_s))
        << registerPreview->windowTitle().toStdString();
    EXPECT_TRUE(shown.caption.startsWith(u"Product Wise Sale Report \u2014 Period "_s))
        << shown.caption.toStdString();

    // A register previewed and closed leaves its window in the slot; product-wise sales reuses
    // it under its own caption.
    open(ReportKind::SalesRegister);
    window->fromDate()->setDate(QDate(2026, 6, 20));
    window->previewButton()->click();
    RptReportViewer *closedRegister = reports.preview().current();
    ASSERT_NE(closedRegister, registerPreview);
    closedRegister->close();
    open(ReportKind::ProductWiseSales);
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    Shown reused;
    watcher.then(record(reused));
    window->previewButton()->click();
    EXPECT_EQ(reused.viewer, closedRegister);
    EXPECT_EQ(reused.caption, shown.caption);
}

// Preview wants a company and puts the focus in its box; Print runs without one and finds
// nothing.
TEST_F(AnalysisWindows, CompanySectorWiseWantsACompanyForPreviewOnly)
{
    open(ReportKind::CompanySectorWiseSale);
    ModalWatcher watcher;
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    box(u"txtSectorID"_s)->setFocus();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"Must Select a Company"_s);
    EXPECT_EQ(focus(), box(u"TxtCompanyId"_s));
    EXPECT_FALSE(window->resultSet().isOpen());

    window->printButton()->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_TRUE(window->resultSet().isOpen());

    box(u"TxtCompanyId"_s)->setText(u"11"_s);
    Shown shown;
    watcher.then(record(shown));
    window->previewButton()->click();
    ASSERT_NE(shown.viewer, nullptr);
    EXPECT_TRUE(shown.modal);
    EXPECT_GT(shown.rows, 0);
}

TEST_F(AnalysisWindows, PrintPrintsOneJobWithoutShowingThePreview)
{
    QString why;
    if (!PrintServer::ready(&why))
        GTEST_SKIP() << why.toStdString();
    open(ReportKind::CompanyWiseSale);
    ModalWatcher watcher;
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    const qsizetype before = PrintServer::jobs().size();
    window->printButton()->click();
    EXPECT_EQ(watcher.count(), 0);                     // no print dialog, no message
    EXPECT_EQ(PrintServer::jobs().size(), before + 1); // exactly one job
    EXPECT_TRUE(PrintServer::waitUntilIdle());
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(viewer->ReportName()->objects().front()->BackColor(), -1);
}
