#include "ModalWatcher.h"
#include "RegionSales.h"
#include "XlsxReader.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "presentation/widgets/ReportViewer.h"
#include "presentation/widgets/RptReportViewer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PreviewWindow, ExportExcelWritesTheWorkbookChosenInTheSaveDialog)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"regions.xlsx"_s);
    RptReportViewer window;
    window.setReportName(RegionSales::report(RegionSales::steady(30, 10, 4)));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QAction *exportExcel = window.CRViewer91()->exportExcelAction();
    ASSERT_NE(exportExcel, nullptr);
    EXPECT_EQ(exportExcel->text(), u"Export Excel"_s);
    EXPECT_TRUE(exportExcel->isEnabled());

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
        // Written on a copy of the report, in a worker.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.CRViewer91()->job() == nullptr; }, 20000));
        ASSERT_EQ(watcher.count(), 2);
        EXPECT_TRUE(watcher.last().text.contains(QDir::toNativeSeparators(path)));
    }
    EXPECT_TRUE(suggested.endsWith(u"Sales by Region.xlsx"_s)) << suggested.toStdString();

    const XlsxReader book(path);
    ASSERT_TRUE(book.isValid());
    // The layout's text, then the header row over 30 lines, 9 customer and 3 region totals and
    // the grand total.
    const XlsxReader::Sheet &sheet = book.sheets().front();
    EXPECT_EQ(sheet.cell(0, 0)->value, u"design text"_s);
    EXPECT_EQ(sheet.cell(2, 0)->value, u"Region"_s);
    EXPECT_EQ(int(sheet.rows.size()), 1 + 1 + 30 + 9 + 3 + 1);
    const XlsxReader::Cell *grand = sheet.cell(sheet.rows.rbegin()->first, 2);
    ASSERT_NE(grand, nullptr);
    EXPECT_DOUBLE_EQ(grand->number(), 1.25 * (29 * 30 / 2));

    // A cancelled dialog writes nothing.
    QFile::remove(path);
    ModalWatcher cancelling;
    exportExcel->trigger();
    EXPECT_EQ(cancelling.count(), 1);
    EXPECT_FALSE(QFile::exists(path));
}
