// A million-row sales register through the report engine: time to the first page, pagination
// rate, PDF export rate and peak memory before and after the export.
//   build/bench/bench_report_engine [--pdf-pages N]   (NVR_BENCH_DB=FILE for another database)
#include "BenchDatabase.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "presentation/Report.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int pdfPages = -1; // all
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--pdf-pages") == 0)
            pdfPages = QByteArray(argv[i + 1]).toInt();
    }

    const auto connection = Connection::openSqlite(BenchDatabase::path());
    Recordset rows;
    QElapsedTimer timer;
    timer.start();
    rows.open(ReferenceQueries::salesRegister(u"2025-07-01"_s, u"2026-06-30"_s, QString(), u"1"_s,
                                              u"9999999"_s),
              *connection);
    const double query = double(timer.nsecsElapsed()) / 1e9;

    timer.restart();
    auto report = Report::fromLayout(u"crpSalesRegisterIW"_s);
    report->textObject(u"txtCompName"_s).SetText(u"Norvale Agro Distributors (Pvt) Ltd."_s);
    report->textObject(u"txtInvoice"_s).SetText(u"Invoiceno Between : 1 To 9999999"_s);
    report->Database().SetDataSource(rows);
    // As the report definitions do: the criteria line comes after the data source.
    report->setCriteriaLine(u"Period 01-Jul-2025 to 30-Jun-2026"_s);
    const PageContent first = report->page(0);
    const double firstPage = double(timer.nsecsElapsed()) / 1e9;

    // Pagination on its own, on a second report: binding (group breaks), then counting.
    auto counted = Report::fromLayout(u"crpSalesRegisterIW"_s);
    timer.restart();
    counted->Database().SetDataSource(rows);
    const double bind = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    const int pages = counted->pageCount();
    const double paginate = double(timer.nsecsElapsed()) / 1e9;
    counted.reset();
    const double memoryBefore = BenchDatabase::peakMemoryMiB();

    const QString pdf = QDir::tempPath() + u"/nvrptsales-bench-register.pdf"_s;
    const int exportPages = pdfPages > 0 ? std::min(pdfPages, pages) : pages;
    timer.restart();
    int written = 0;
    report->exportPdf(pdf, [&](int done, int) {
        written = done;
        return done < exportPages;
    });
    const double exportSeconds = double(timer.nsecsElapsed()) / 1e9;
    QFile::remove(pdf);

    std::printf("rows bound              %d (query and read: %.2f s)\n", rows.recordCount(), query);
    std::printf("first page ready        %.3f s after the build (budget 0.3 s), %zu items\n",
                firstPage, first.items.size());
    std::printf("binding                 %.3f s (columns resolved, group breaks found)\n", bind);
    std::printf("pagination              %d pages in %.3f s: %.1f million rows/s (budget 1)\n",
                pages, paginate, rows.recordCount() / paginate / 1e6);
    std::printf("PDF export              %d pages in %.1f s: %.0f pages/s (budget 500)\n", written,
                exportSeconds, written / exportSeconds);
    std::printf("peak memory             %.0f MiB before the export, %.0f MiB after it\n",
                memoryBefore, BenchDatabase::peakMemoryMiB());
    return 0;
}
