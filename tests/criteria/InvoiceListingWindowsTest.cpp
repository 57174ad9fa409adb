// The windows of the sales summary, the sale return register and the sale returns summary:
// what each does differently from the sales register's window.
#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
#include "criteria/reports/RptSaleReturnRegister.h"
#include "criteria/reports/RptSaleReturnsSummary.h"
#include "criteria/reports/RptSalesSummary.h"
#include "db/ResultTable.h"
#include "host/DemoDatabase.h"
#include "presentation/Report.h"
#include "presentation/widgets/PreviewSlot.h"
#include "presentation/widgets/RptReportViewer.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Listing
{
    ReportKind kind;
    QString caption;
    bool returnRange;
};

const std::vector<Listing> &listings()
{
    static const std::vector<Listing> all{
        {ReportKind::SalesSummary, u"Sales Summary"_s, false},
        {ReportKind::SaleReturnRegister, u"Sale Returns Register Invoice Wise"_s, true},
        {ReportKind::SaleReturnsSummary, u"Sale Returns Summary"_s, false}};
    return all;
}

} // namespace

using InvoiceListingWindows = CriteriaWindowTest;

TEST_F(InvoiceListingWindows, OpenWithTheirCaptionsAndBoxes)
{
    EXPECT_NE(dynamic_cast<RptSalesSummary *>(open(listings()[0].kind)), nullptr);
    EXPECT_NE(dynamic_cast<RptSaleReturnRegister *>(open(listings()[1].kind)), nullptr);
    EXPECT_NE(dynamic_cast<RptSaleReturnsSummary *>(open(listings()[2].kind)), nullptr);
    for (const Listing &listing : listings()) {
        SCOPED_TRACE(listing.caption.toStdString());
        open(listing.kind);
        const bool summary = !listing.returnRange;
        EXPECT_EQ(box(u"txtCustomerID"_s)->maxLength(), 5);
        EXPECT_EQ(box(u"txtSectorID"_s)->maxLength(), summary ? 3 : 5);
        EXPECT_EQ(box(u"txtTownID"_s)->maxLength(), summary ? 3 : 5);
        EXPECT_EQ(box(u"txtFromInvoiceno"_s) != nullptr, listing.returnRange);
        EXPECT_EQ(box(u"txtToInvoiceno"_s) != nullptr, listing.returnRange);

        // Enter walks the boxes in order.
        QStringList order{u"txtCustomerID"_s};
        box(order.front())->setFocus();
        for (int k = 0; k < (listing.returnRange ? 4 : 2); ++k) {
            QTest::keyClick(window->focusWidget(), Qt::Key_Return);
            QApplication::processEvents();
            order.append(window->focusWidget()->objectName());
        }
        EXPECT_EQ(order, listing.returnRange
                             ? (QStringList{u"txtCustomerID"_s, u"txtSectorID"_s, u"txtTownID"_s,
                                            u"txtFromInvoiceno"_s, u"txtToInvoiceno"_s})
                             : (QStringList{u"txtCustomerID"_s, u"txtSectorID"_s, u"txtTownID"_s}));
        window->closeButton()->click();
    }
}

// Every id box of these windows empties its name box at every change, the town's included.
TEST_F(InvoiceListingWindows, EveryNameBoxIsClearedAtEachChange)
{
    for (const Listing &listing : listings()) {
        SCOPED_TRACE(listing.caption.toStdString());
        open(listing.kind);
        QLineEdit *town = box(u"txtTownID"_s);
        town->setFocus();
        QTest::keyClicks(town, u"12"_s);
        QTest::keyClick(town, Qt::Key_Tab);
        EXPECT_EQ(window->sqlText(), u" Select * FROM Towns where TownId=12"_s);
        EXPECT_EQ(box(u"txtTownName"_s)->text(),
                  scalar(u"select TownName from Towns where TownId = 12"_s));
        town->setText(u"13"_s);
        EXPECT_TRUE(box(u"txtTownName"_s)->text().isEmpty());

        QLineEdit *customer = box(u"txtCustomerID"_s);
        customer->setFocus();
        QTest::keyClicks(customer, u"cash"_s);
        QTest::keyClick(customer, Qt::Key_Tab);
        EXPECT_EQ(box(u"txtCustomerName"_s)->text(), u"Cash Sales"_s);
        customer->setText(u"CAS"_s);
        EXPECT_TRUE(box(u"txtCustomerName"_s)->text().isEmpty());

        QLineEdit *sector = box(u"txtSectorID"_s);
        sector->setText(u"1"_s);
        ASSERT_TRUE(window->lookup(*window->idBox(u"txtSectorID"_s), 1));
        EXPECT_FALSE(box(u"txtSectorName"_s)->text().isEmpty());
        sector->setText(u"10"_s);
        EXPECT_TRUE(box(u"txtSectorName"_s)->text().isEmpty());
        window->closeButton()->click();
    }
}

// The return register's range boxes take any text: its leading number enters the query, the
// text as typed the report's range line.
TEST_F(InvoiceListingWindows, ReturnRangeBoxesTakeFreeText)
{
    open(listings()[1].kind);
    QLineEdit *from = box(u"txtFromInvoiceno"_s);
    from->setFocus();
    QTest::keyClicks(from, u"12a.5xyz"_s);
    EXPECT_EQ(from->text(), u"12a.5"_s); // five characters, whatever they are
    from->setText(u"12a"_s);
    window->fromDate()->setDate(QDate(2025, 7, 1));
    window->toDate()->setDate(QDate(2026, 6, 30));
    ModalWatcher watcher;
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 0);
    EXPECT_TRUE(window->sqlText().contains(u" And r.salereturnid between 12 and 99999 "_s))
        << window->sqlText().toStdString();
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), u"Sale Returns Register Invoice Wise Report"_s);
    EXPECT_EQ(viewer->ReportName()->textObject(u"txtInvoice"_s).text(),
              u"Invoiceno Between : 12a To 99999"_s);
    EXPECT_EQ(viewer->ReportName()->textObject(u"txtDate"_s).text(),
              u"Date Between : 01-Jul-2025 To 30-Jun-2026"_s);
    const ResultTable &rows = *window->resultSet().rows();
    ASSERT_GT(rows.rowCount(), 0);
    EXPECT_EQ(rows.number(rows.columnIndex(u"salereturnid"_s), 0), 12);
    viewer->close();
}

// Preview: a new preview window captioned after the window, or "No record exists." under the
// window's caption and nothing opened.
TEST_F(InvoiceListingWindows, PreviewShowsTheReportOrSaysNoRecordExists)
{
    for (const Listing &listing : listings()) {
        SCOPED_TRACE(listing.caption.toStdString());
        open(listing.kind);
        RptReportViewer *before = reports.preview().current();
        ModalWatcher watcher;
        box(u"txtSectorID"_s)->setText(u"999"_s); // no such sector: nothing found
        window->previewButton()->click();
        ASSERT_EQ(watcher.count(), 1);
        EXPECT_EQ(watcher.last().text, u"No record exists."_s);
        EXPECT_EQ(watcher.last().title, listing.caption);
        EXPECT_EQ(watcher.last().icon, QMessageBox::Information);
        EXPECT_EQ(reports.preview().current(), before);
        EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);

        box(u"txtSectorID"_s)->clear();
        window->fromDate()->setDate(QDate(2026, 1, 1));
        window->toDate()->setDate(QDate(2026, 6, 30));
        window->previewButton()->click();
        EXPECT_EQ(watcher.count(), 1);
        RptReportViewer *viewer = reports.preview().current();
        ASSERT_NE(viewer, nullptr);
        EXPECT_NE(viewer, before);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->windowTitle(), listing.caption + u" Report"_s);
        EXPECT_EQ(viewer->ReportName()->textObject(u"txtDate"_s).text(),
                  u"Date Between : 01-Jan-2026 To 30-Jun-2026"_s);
        EXPECT_EQ(viewer->ReportName()->layout().name, ReportCatalog::entry(listing.kind).layout);
        EXPECT_EQ(viewer->ReportName()->rowCount(), window->resultSet().recordCount());
        if (listing.kind == ReportKind::SalesSummary) {
            EXPECT_EQ(viewer->ReportName()->textObject(u"txtCompName"_s).text(),
                      DemoDatabase::companyName());
        }
        viewer->close();
        window->closeButton()->click();
    }
}
