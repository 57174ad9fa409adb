// The windows of the sales summary, the sale return register and the sale returns summary:
// what each does differently from the sales register's window (whose test covers what they
// share: preview, no record, print).
#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
#include "criteria/reports/RptSaleReturnRegister.h"
#include "criteria/reports/RptSaleReturnsSummary.h"
#include "criteria/reports/RptSalesSummary.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"

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

// Enter walks the boxes in order: the return register's range boxes come last.
TEST_F(InvoiceListingWindows, EnterWalksTheBoxesInOrder)
{
    EXPECT_NE(dynamic_cast<RptSalesSummary *>(open(listings()[0].kind)), nullptr);
    EXPECT_NE(dynamic_cast<RptSaleReturnRegister *>(open(listings()[1].kind)), nullptr);
    EXPECT_NE(dynamic_cast<RptSaleReturnsSummary *>(open(listings()[2].kind)), nullptr);
    for (const Listing &listing : listings()) {
        SCOPED_TRACE(listing.caption.toStdString());
        open(listing.kind);
        QStringList order{u"txtCustomerID"_s, u"txtSectorID"_s, u"txtTownID"_s};
        if (listing.returnRange)
            order << u"txtFromInvoiceno"_s << u"txtToInvoiceno"_s;
        QStringList walked{order.front()};
        box(order.front())->setFocus();
        while (walked.size() < order.size()) {
            QTest::keyClick(window->focusWidget(), Qt::Key_Return);
            QApplication::processEvents();
            walked.append(window->focusWidget()->objectName());
        }
        EXPECT_EQ(walked, order);
        window->closeButton()->click();
    }
}

// Unlike the sales register's, these windows' town box empties its name at every change.
TEST_F(InvoiceListingWindows, TownNameIsClearedAtEachChange)
{
    for (const Listing &listing : listings()) {
        SCOPED_TRACE(listing.caption.toStdString());
        open(listing.kind);
        type(u"txtTownID"_s, u"12"_s);
        QTest::keyClick(box(u"txtTownID"_s), Qt::Key_Tab);
        EXPECT_EQ(box(u"txtTownName"_s)->text(),
                  scalar(u"select TownName from Towns where TownId = 12"_s));
        box(u"txtTownID"_s)->setText(u"13"_s);
        EXPECT_TRUE(box(u"txtTownName"_s)->text().isEmpty());
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
    QTest::keyClicks(from, u"12a.5xyz9+-"_s);
    EXPECT_EQ(from->text(), u"12a.5xyz9"_s); // nine characters, whatever they are
    window->fromDate()->setDate(QDate(2025, 7, 1));
    window->toDate()->setDate(QDate(2026, 6, 30));
    ModalWatcher watcher;
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 0);
    EXPECT_TRUE(window->sqlText().contains(u" And r.salereturnid >= 12 "_s))
        << window->sqlText().toStdString();
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->ReportName()->textObject(u"txtInvoice"_s).text(),
              u"Invoiceno Between : 12a.5xyz9 To "_s +
                  scalar(u"select max(SaleReturnID) from "
                         u"SaleReturns where SaleReturnDate "
                         u"between '2025-07-01' and '2026-06-30'"_s));
    const ResultTable &rows = *window->resultSet().rows();
    ASSERT_GT(rows.rowCount(), 0);
    EXPECT_EQ(rows.number(rows.columnIndex(u"salereturnid"_s), 0), 12);
    viewer->close();
}
