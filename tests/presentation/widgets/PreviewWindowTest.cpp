#include "ModalWatcher.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/LayoutParser.h"
#include "presentation/Report.h"
#include "presentation/widgets/PageView.h"
#include "presentation/widgets/PreviewSlot.h"
#include "presentation/widgets/ReportViewer.h"
#include "presentation/widgets/RptReportViewer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<Report> boundReport(int rows = 300)
{
    QFile file(u":/fixtures/twoGroups.json"_s);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    auto report = std::make_unique<Report>(
        std::make_shared<ReportLayout>(LayoutParser::parse(file.readAll(), file.fileName())));
    auto table = std::make_shared<ResultTable>(
        QStringList{u"region"_s, u"customer"_s, u"qty"_s, u"price"_s, u"amount"_s});
    for (int i = 0; i < rows; ++i) {
        const QByteArray region = "Region " + QByteArray::number(i / 100);
        const QByteArray customer = "Customer " + QByteArray::number(i / 9);
        table->appendText(0, std::string_view(region.constData(), size_t(region.size())));
        table->appendText(1, std::string_view(customer.constData(), size_t(customer.size())));
        table->appendInteger(2, i % 7);
        table->appendReal(3, 12.5);
        table->appendReal(4, i * 1.25);
    }
    table->finish();
    Recordset rs;
    rs.open(table);
    report->Database().SetDataSource(rs, 3, 1);
    return report;
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
