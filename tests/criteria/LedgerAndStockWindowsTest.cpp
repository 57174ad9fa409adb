#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "PrintServer.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
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

// The windows of the two product ledgers and the sales and stock statement: what each does
// besides what every criteria window does.
class LedgerAndStockWindows : public CriteriaWindowTest
{
protected:
    QString product() const
    {
        return scalar(u"select ProductId from SaleReturnsBody group by ProductId "
                      u"order by count(*) desc, ProductId limit 1"_s);
    }
};

TEST_F(LedgerAndStockWindows, LedgersRefuseAMissingOrUnfoundCodeBeforeAnyQuery)
{
    const QString code = product();
    const QString name =
        scalar(u"select ProductName from Products where ProductId = '"_s + code + u"'"_s);
    for (ReportKind kind : {ReportKind::ProductSalesLedger, ReportKind::ProductSaleReturnLedger}) {
        open(kind);
        RptReportViewer *earlier = reports.preview().current();
        QLineEdit *codeBox = box(u"TxtProductCode"_s);
        QLineEdit *nameBox = box(u"TxtProductName"_s);
        ASSERT_NE(codeBox, nullptr);
        ModalWatcher watcher;

        window->fromDate()->setFocus();
        window->previewButton()->click();
        ASSERT_EQ(watcher.count(), 1);
        EXPECT_EQ(watcher.last().text, u"Enter Product Code."_s);
        EXPECT_EQ(window->focusWidget(), codeBox);

        // A code the window has put there, that no look-up has named.
        codeBox->setText(code);
        window->fromDate()->setFocus();
        window->printButton()->click();
        ASSERT_EQ(watcher.count(), 2);
        EXPECT_EQ(watcher.last().text, u"Product Code doesn't exist."_s);
        EXPECT_EQ(window->focusWidget(), codeBox);
        EXPECT_TRUE(window->sqlText().isEmpty()); // no query of any kind ran
        EXPECT_FALSE(window->resultSet().isOpen());
        EXPECT_EQ(reports.preview().current(), earlier);

        // Leaving the box names it; any change to the code clears the name again.
        QTest::keyClick(codeBox, Qt::Key_Tab);
        EXPECT_EQ(nameBox->text(), name);
        codeBox->setText(code + u" "_s);
        EXPECT_TRUE(nameBox->text().isEmpty());
        codeBox->setText(code);
        codeBox->setFocus();
        QTest::keyClick(codeBox, Qt::Key_Tab);

        window->previewButton()->click();
        EXPECT_EQ(watcher.count(), 2);
        RptReportViewer *viewer = reports.preview().current();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->ReportName()->rowCount(), window->resultSet().recordCount());
        viewer->close();
        window->close();
    }
}

TEST_F(LedgerAndStockWindows, StatementChecksThePeriodOnPreviewOnly)
{
    open(ReportKind::SalesStockStatement);
    ModalWatcher watcher;
    box(u"TxtCompanyCode"_s)->setFocus();
    QTest::keyClick(box(u"TxtCompanyCode"_s), Qt::Key_F1);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().title, u"Search Company"_s);

    window->fromDate()->setDate(QDate(2026, 6, 30));
    window->toDate()->setDate(QDate(2026, 6, 29));
    window->previewButton()->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().text, u"From date must be less than or equal to To date"_s);
    EXPECT_FALSE(window->resultSet().isOpen());
    EXPECT_EQ(reports.preview().current(), nullptr);

    // Print builds with the dates as they are: opening figures, and nothing in the period.
    QString why;
    if (PrintServer::ready(&why)) {
        const qsizetype before = PrintServer::jobs().size();
        window->printButton()->click();
        EXPECT_EQ(watcher.count(), 2);
        EXPECT_EQ(PrintServer::jobs().size(), before + 1); // exactly one job
        EXPECT_TRUE(PrintServer::waitUntilIdle());
    } else {
        EXPECT_TRUE(window->BuildReport());
    }
    ASSERT_TRUE(window->resultSet().isOpen());
    const ResultTable &rows = *window->resultSet().rows();
    ASSERT_GT(rows.rowCount(), 0);
    for (int r = 0; r < rows.rowCount(); ++r)
        EXPECT_EQ(rows.number(rows.columnIndex(u"SaleQty"_s), r), 0);
    ASSERT_NE(reports.preview().current(), nullptr);
    EXPECT_FALSE(reports.preview().current()->isVisible());
}
