#include "CriteriaWindowTest.h"
#include "ModalWatcher.h"
#include "PrintServer.h"
#include "catalogue/Reports.h"
#include "criteria/CriteriaWindow.h"
#include "db/ResultTable.h"
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

// The windows of the customer/town/sector-wise sales, the two product ledgers and the sales
// and stock statement: what each does besides what every criteria window does.
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
        const QString caption = window->windowTitle();
        RptReportViewer *earlier = reports.preview().current();
        QLineEdit *codeBox = box(u"TxtProductCode"_s);
        QLineEdit *nameBox = box(u"TxtProductName"_s);
        ASSERT_NE(codeBox, nullptr);
        EXPECT_EQ(codeBox->maxLength(), 10);
        ModalWatcher watcher;

        window->fromDate()->setFocus();
        window->previewButton()->click();
        ASSERT_EQ(watcher.count(), 1);
        EXPECT_EQ(watcher.last().text, u"Enter Product Code."_s);
        EXPECT_EQ(watcher.last().title, caption);
        EXPECT_EQ(watcher.last().icon, QMessageBox::Warning);
        EXPECT_EQ(window->focusWidget(), codeBox);

        // A code the window has put there, that no look-up has named.
        codeBox->setText(code);
        window->fromDate()->setFocus();
        window->printButton()->click();
        ASSERT_EQ(watcher.count(), 2);
        EXPECT_EQ(watcher.last().text, u"Product Code doesn't exist."_s);
        EXPECT_EQ(watcher.last().icon, QMessageBox::Warning);
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
        EXPECT_TRUE(nameBox->text().isEmpty());
        codeBox->setFocus();
        QTest::keyClick(codeBox, Qt::Key_Tab);
        EXPECT_EQ(nameBox->text(), name);

        window->previewButton()->click();
        EXPECT_EQ(watcher.count(), 2);
        RptReportViewer *viewer = reports.preview().current();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->windowTitle(), caption + u" Report"_s);
        EXPECT_EQ(viewer->ReportName()->textObject(u"txtProduct"_s).text(),
                  u"Product : "_s + code + u"   "_s + name);
        EXPECT_EQ(viewer->ReportName()->rowCount(), window->resultSet().recordCount());
        viewer->close();
        window->close();
    }
}

TEST_F(LedgerAndStockWindows, CustomerTownSectorWindowPicksTheCompanyByButtonOnly)
{
    open(ReportKind::CustomerTownSectorWiseSales);
    EXPECT_EQ(window->windowTitle(), u"Customer/Town/Sector wise Sales"_s);
    EXPECT_EQ(box(u"txtCustomerID"_s)->maxLength(), 5);
    for (const char *name : {"txtSectorID", "txtTownID", "TxtCompanyId"})
        EXPECT_EQ(box(QLatin1String(name))->maxLength(), 3) << name;
    EXPECT_NE(window->findChild<QPushButton *>(u"BtnSchCopmany"_s), nullptr);
    ModalWatcher watcher;

    box(u"TxtCompanyId"_s)->setFocus();
    QTest::keyClick(box(u"TxtCompanyId"_s), Qt::Key_F1);
    EXPECT_EQ(watcher.count(), 0); // F1 does nothing in the company box
    box(u"txtTownID"_s)->setFocus();
    QTest::keyClick(box(u"txtTownID"_s), Qt::Key_F1);
    ASSERT_EQ(watcher.count(), 1);
    EXPECT_EQ(watcher.last().title, u"Search Town"_s);

    // The customer is looked up with this window's own query.
    const QString customer = scalar(u"select min(PartyId) from Parties where IsCustomer = 1"_s);
    box(u"txtCustomerID"_s)->setFocus();
    QTest::keyClicks(box(u"txtCustomerID"_s), customer);
    QTest::keyClick(box(u"txtCustomerID"_s), Qt::Key_Tab);
    EXPECT_EQ(window->sqlText(),
              u"Select Parties.* FROM Parties  Where IsCustomer=1  And PartyId='"_s + customer +
                  u"'"_s);
    EXPECT_FALSE(box(u"txtCustomerName"_s)->text().isEmpty());
    box(u"txtCustomerID"_s)->clear();

    watcher.then(pick(u"Crescent"_s));
    window->findChild<QPushButton *>(u"BtnSchCopmany"_s)->click();
    ASSERT_EQ(watcher.count(), 2);
    EXPECT_EQ(watcher.last().title, u"Search Company"_s);
    EXPECT_EQ(box(u"TxtCompanyName"_s)->text(), u"Crescent Agro Chemicals"_s);
    EXPECT_EQ(window->focusWidget(), box(u"TxtCompanyId"_s));

    window->fromDate()->setDate(QDate(2026, 5, 1));
    window->previewButton()->click();
    EXPECT_EQ(watcher.count(), 2);
    RptReportViewer *viewer = reports.preview().current();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), u"Customer/Town/Sector wise Sales Report"_s);
    EXPECT_EQ(viewer->ReportName()->parameterValue(1), u"Company Name:Crescent Agro Chemicals"_s);
    EXPECT_TRUE(window->sqlText().contains(u" and Left(Sb.productId,2) ='"_s +
                                           box(u"TxtCompanyId"_s)->text() + u"'"_s));
    viewer->close();
}

TEST_F(LedgerAndStockWindows, StatementChecksThePeriodOnPreviewOnly)
{
    open(ReportKind::SalesStockStatement);
    EXPECT_EQ(box(u"TxtCompanyCode"_s)->maxLength(), 10);
    EXPECT_NE(window->findChild<QPushButton *>(u"BtnSchCompany"_s), nullptr);
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
    EXPECT_EQ(watcher.last().title, u"Alert"_s);
    EXPECT_EQ(watcher.last().icon, QMessageBox::Warning);
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
