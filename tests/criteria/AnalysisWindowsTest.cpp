#include "AnalysesFixture.h"
#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "PointerShapes.h"
#include "PrintServer.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
#include "presentation/Report.h"
#include "presentation/widgets/PreviewSlot.h"
#include "presentation/widgets/RptReportViewer.h"

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
        QString title;
        bool modal = false;
        bool ownedByCriteriaWindow = false;
        QStringList parameters;
        int rows = 0;
    };
    ModalWatcher::Handler record(Shown &shown)
    {
        return [this, &shown](QWidget *modal) {
            shown.viewer = qobject_cast<RptReportViewer *>(modal);
            ASSERT_NE(shown.viewer, nullptr);
            shown.title = modal->windowTitle();
            shown.modal = modal->isModal();
            shown.ownedByCriteriaWindow =
                modal->windowHandle()->transientParent() == window->windowHandle();
            const Report *report = shown.viewer->ReportName();
            for (int k = 1; k <= report->parameterFieldCount(); ++k)
                shown.parameters.append(report->parameterValue(k));
            shown.rows = report->rowCount();
            modal->close();
        };
    }
};

TEST_F(AnalysisWindows, CompanyWiseNameBoxesKeysAndLookups)
{
    open(ReportKind::CompanyWiseSale);
    ModalWatcher watcher;
    EXPECT_EQ(window->windowTitle(), u"Company Wise Sale"_s);
    EXPECT_EQ(window->fromDate()->objectName(), u"DtpFrom"_s);
    EXPECT_EQ(window->toDate()->objectName(), u"DtpTo"_s);
    EXPECT_EQ(box(u"TxtName"_s)->text(), u"All Customers"_s);
    EXPECT_EQ(box(u"txtTownName"_s)->text(), u"All Towns"_s);
    EXPECT_EQ(box(u"txtSectorName"_s)->text(), u"All Sectors"_s);

    // Leaving a box shows the name; any change puts the default text back.
    type(u"txtCustomerID"_s, u"C0001"_s);
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_Tab);
    EXPECT_EQ(box(u"TxtName"_s)->text(),
              scalar(u"select PartyName from Parties where PartyId = 'C0001'"_s));
    EXPECT_EQ(window->sqlText(),
              u" Select * FROM Parties where IsCustomer = 1  And PartyId='C0001'"_s);
    EXPECT_EQ(focus(), box(u"txtTownID"_s));
    box(u"txtCustomerID"_s)->setText(u"C000"_s);
    EXPECT_EQ(box(u"TxtName"_s)->text(), u"All Customers"_s);

    // Enter moves on one control and goes no further: the box never sees it.
    QSignalSpy entered(box(u"txtTownID"_s), &QLineEdit::returnPressed);
    box(u"txtTownID"_s)->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    EXPECT_EQ(entered.count(), 0);

    // F1: customer then town, each moving on; in the sector box the focus stays.
    watcher.then(pick(u"Cash"_s));
    box(u"txtCustomerID"_s)->setFocus();
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_F1);
    EXPECT_EQ(box(u"txtCustomerID"_s)->text(), u"CASH"_s);
    EXPECT_EQ(box(u"TxtName"_s)->text(), u"Cash Sales"_s);
    EXPECT_EQ(focus(), box(u"txtTownID"_s));
    const QString town = scalar(u"select TownName from Towns where TownId = 3"_s);
    watcher.then(pick(town));
    QTest::keyClick(box(u"txtTownID"_s), Qt::Key_F1);
    EXPECT_EQ(box(u"txtTownName"_s)->text(), town);
    EXPECT_EQ(box(u"txtTownID"_s)->text(), u"3"_s);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    QTest::keyClick(box(u"txtSectorID"_s), Qt::Key_F1); // closed without a choice
    EXPECT_EQ(watcher.count(), 3);
    EXPECT_TRUE(box(u"txtSectorID"_s)->text().isEmpty());
    EXPECT_TRUE(box(u"txtSectorName"_s)->text().isEmpty()); // the dialog's empty name
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));

    // A search button closed without a choice empties its box and puts the focus in it.
    box(u"txtCustomerID"_s)->setFocus();
    window->findChild<QPushButton *>(u"btnSchTown"_s)->click();
    EXPECT_EQ(watcher.count(), 4);
    EXPECT_TRUE(box(u"txtTownID"_s)->text().isEmpty());
    EXPECT_EQ(box(u"txtTownName"_s)->text(), u"All Towns"_s);
    EXPECT_EQ(focus(), box(u"txtTownID"_s));
}

TEST_F(AnalysisWindows, CompanyWisePreviewChecksDatesAndRowsThenShowsModal)
{
    open(ReportKind::CompanyWiseSale);
    ModalWatcher watcher;
    // A reversed period is refused before anything runs.
    setPeriod(QDate(2026, 5, 2), QDate(2026, 5, 1));
    box(u"txtSectorID"_s)->setFocus();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"From date must be less than or equal to To date"_s);
    EXPECT_EQ(watcher.last().title, u"Alert"_s);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Warning);
    EXPECT_EQ(focus(), window->fromDate());
    EXPECT_FALSE(window->resultSet().isOpen());

    // Nothing found: Preview selects the customer box, Print leaves the focus alone.
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    box(u"txtCustomerID"_s)->setText(u"ZZZZ"_s);
    box(u"txtSectorID"_s)->setFocus();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_EQ(watcher.last().title, u"Information"_s);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Information);
    EXPECT_EQ(focus(), box(u"txtCustomerID"_s));
    EXPECT_EQ(box(u"txtCustomerID"_s)->selectedText(), u"ZZZZ"_s);
    box(u"txtSectorID"_s)->setFocus();
    window->printButton()->click();
    ASSERT_EQ(watcher.count(), 3);
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    EXPECT_EQ(reports.preview().current(), nullptr);

    // Rows: the report in a preview window shown modally over this one, caption unchanged.
    box(u"txtCustomerID"_s)->clear();
    Shown shown;
    watcher.then(record(shown));
    PointerShapes pointer(window);
    window->previewButton()->click();
    EXPECT_EQ(pointer.shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
    ASSERT_EQ(watcher.count(), 4);
    ASSERT_NE(shown.viewer, nullptr);
    EXPECT_TRUE(shown.modal);
    EXPECT_TRUE(shown.ownedByCriteriaWindow);
    EXPECT_EQ(shown.title, u"Previewing Report"_s);
    EXPECT_EQ(shown.rows, window->resultSet().recordCount());
    EXPECT_EQ(shown.parameters, (QStringList{u"From Date : 01/03/2026,   To Date : 31/05/2026"_s,
                                             u"Customer: All Customers"_s, u"Town: All Towns"_s,
                                             u"Sector: All Sectors"_s}));
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);

    // The slot's window is reused while it is closed.
    Shown again;
    watcher.then(record(again));
    window->previewButton()->click();
    EXPECT_EQ(again.viewer, shown.viewer);
    EXPECT_EQ(watcher.count(), 5);
}

TEST_F(AnalysisWindows, PreviewWhileAnotherReportsPreviewIsOpenGetsItsOwnWindow)
{
    ModalWatcher watcher;
    open(ReportKind::SalesRegister);
    window->fromDate()->setDate(QDate(2026, 6, 20));
    window->previewButton()->click();
    RptReportViewer *registerPreview = reports.preview().current();
    ASSERT_NE(registerPreview, nullptr);
    ASSERT_TRUE(registerPreview->isVisible());
    const Report *registerReport = registerPreview->ReportName();

    for (ReportKind kind : {ReportKind::CompanyWiseSale, ReportKind::ProductWiseSales}) {
        open(kind);
        setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
        Shown shown;
        watcher.then(record(shown));
        window->previewButton()->click();
        ASSERT_EQ(watcher.count(), 1) << "the preview and nothing else";
        watcher.clear();
        EXPECT_NE(shown.viewer, registerPreview);
        EXPECT_TRUE(shown.modal);
        EXPECT_GT(shown.rows, 0);
        EXPECT_TRUE(registerPreview->isVisible());
        EXPECT_EQ(registerPreview->ReportName(), registerReport);
        EXPECT_FALSE(registerPreview->isModal());
    }
}

TEST_F(AnalysisWindows, CompanySectorWiseWantsACompanyForPreviewOnly)
{
    open(ReportKind::CompanySectorWiseSale);
    ModalWatcher watcher;
    EXPECT_TRUE(box(u"TxtCompanyName"_s)->text().isEmpty());
    EXPECT_EQ(box(u"txtSectorName"_s)->text(), u"All Sectors"_s);
    EXPECT_NE(window->findChild<QPushButton *>(u"Btnschgroup"_s), nullptr);
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());

    box(u"txtSectorID"_s)->setFocus();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().text, u"Must Select a Company"_s);
    EXPECT_EQ(watcher.last().title, u"information"_s);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Information);
    EXPECT_EQ(focus(), box(u"TxtCompanyId"_s));
    EXPECT_FALSE(window->resultSet().isOpen());

    // Print runs the query with the empty company, which finds nothing.
    window->printButton()->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_TRUE(window->resultSet().isOpen());

    // Clearing the company writes "All Companies"; typing leaves the name as it is.
    type(u"TxtCompanyId"_s, u"1"_s);
    EXPECT_TRUE(box(u"TxtCompanyName"_s)->text().isEmpty());
    box(u"TxtCompanyId"_s)->clear();
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"All Companies"_s);
    type(u"TxtCompanyId"_s, u"11"_s);
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"All Companies"_s);
    QTest::keyClick(box(u"TxtCompanyId"_s), Qt::Key_Tab);
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"Crescent Agro Chemicals"_s);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));

    // F1 fills the box and keeps the focus there.
    const QString sector = scalar(u"select SectorName from Sectors where SectorId = 7"_s);
    watcher.then(pick(sector));
    QTest::keyClick(box(u"txtSectorID"_s), Qt::Key_F1);
    EXPECT_EQ(box(u"txtSectorName"_s)->text(), sector);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));
    box(u"txtSectorID"_s)->clear();
    EXPECT_EQ(box(u"txtSectorName"_s)->text(), u"All Sectors"_s);

    // A reversed period: "Alert" for Print too, and the focus stays.
    setPeriod(QDate(2026, 5, 2), QDate(2026, 5, 1));
    box(u"txtSectorID"_s)->setFocus();
    const int before = watcher.count();
    window->printButton()->click();
    ASSERT_EQ(watcher.count(), before + 1);
    EXPECT_EQ(watcher.last().title, u"Alert"_s);
    EXPECT_EQ(focus(), box(u"txtSectorID"_s));

    // With rows: the modal preview, sector named as a sector. Preview shows no busy pointer
    // here; Print does, and puts the normal one back.
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    Shown shown;
    watcher.then(record(shown));
    PointerShapes pointer(window);
    window->previewButton()->click();
    EXPECT_EQ(std::count(pointer.shapes.begin(), pointer.shapes.end(), Qt::WaitCursor), 0);
    box(u"TxtCompanyId"_s)->setText(u"97"_s);
    pointer.shapes.clear();
    window->printButton()->click();
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_EQ(pointer.shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor}));
    ASSERT_NE(shown.viewer, nullptr);
    EXPECT_TRUE(shown.modal);
    EXPECT_TRUE(shown.ownedByCriteriaWindow);
    EXPECT_EQ(shown.parameters,
              (QStringList{u"Company:Crescent Agro Chemicals"_s, u"Sector:All Sectors"_s,
                           u"From : 01/03/2026,   To : 31/05/2026"_s}));
    EXPECT_EQ(shown.viewer->ReportName()->PaperOrientation(), 2);
}

TEST_F(AnalysisWindows, ProductWiseBoxesRulesAndEmptyResult)
{
    open(ReportKind::ProductWiseSales);
    ModalWatcher watcher;
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"All Companies"_s);
    EXPECT_EQ(box(u"TxtName"_s)->text(), u"All Customers"_s);
    EXPECT_EQ(box(u"txtTownName"_s)->text(), u"All Towns"_s);
    EXPECT_EQ(box(u"txtSectorName"_s)->text(), u"All Sectors"_s);

    // No F1 in the company box; its button is BtnSchCompany, the customer's Btnschgroup.
    box(u"TxtCompanyId"_s)->setFocus();
    QTest::keyClick(box(u"TxtCompanyId"_s), Qt::Key_F1);
    QTest::qWait(50);
    EXPECT_EQ(watcher.count(), 0);
    watcher.then(pick(u"Cash"_s));
    window->findChild<QPushButton *>(u"Btnschgroup"_s)->click();
    EXPECT_EQ(box(u"txtCustomerID"_s)->text(), u"CASH"_s);
    EXPECT_EQ(box(u"TxtName"_s)->text(), u"Cash Sales"_s);
    EXPECT_EQ(focus(), box(u"txtCustomerID"_s));
    EXPECT_EQ(window->sqlText(),
              u" Select * FROM Parties where IsCustomer =1   And PartyId='CASH'"_s);
    watcher.then(pick(u"Crescent"_s));
    window->findChild<QPushButton *>(u"BtnSchCompany"_s)->click();
    EXPECT_EQ(box(u"TxtCompanyId"_s)->text(), u"11"_s);
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"Crescent Agro Chemicals"_s);

    // Company and customer: default text at every change; town and sector: when emptied.
    box(u"TxtCompanyId"_s)->setText(u"12"_s);
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"All Companies"_s);
    type(u"txtTownID"_s, u"3"_s);
    QTest::keyClick(box(u"txtTownID"_s), Qt::Key_Tab);
    const QString town = scalar(u"select TownName from Towns where TownId = 3"_s);
    EXPECT_EQ(box(u"txtTownName"_s)->text(), town);
    box(u"txtTownID"_s)->setText(u"4"_s);
    EXPECT_EQ(box(u"txtTownName"_s)->text(), town);
    box(u"txtTownID"_s)->clear();
    EXPECT_EQ(box(u"txtTownName"_s)->text(), u"All Towns"_s);

    // Nothing found (company 97 has no products): the customer box is selected.
    setPeriod(AnalysesFixture::from(), AnalysesFixture::to());
    box(u"TxtCompanyId"_s)->setText(u"97"_s);
    const int before = watcher.count();
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), before + 1);
    EXPECT_EQ(watcher.last().text, u"No record found"_s);
    EXPECT_EQ(focus(), box(u"txtCustomerID"_s));
    EXPECT_EQ(box(u"txtCustomerID"_s)->selectedText(), u"CASH"_s);
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
    EXPECT_EQ(viewer->ReportName()->ReportTitle(), u"Company Wise Sales"_s);
    EXPECT_EQ(viewer->ReportName()->objects().front()->BackColor(), -1);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}
