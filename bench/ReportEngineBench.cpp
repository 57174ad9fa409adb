// A million-row sales register through the report engine: time to the first page, pagination
// rate, PDF export rate and peak memory before and after the export.
//   build/bench/bench_report_engine [--pdf-pages N] [--writer engine|qt] [--keep FILE]
//   (NVR_BENCH_DB=FILE for another database; --writer qt: through QPdfWriter, as before the
//   engine had its own PDF writer, for figures side by side)
#include "BenchDatabase.h"
#include "QtPdfExport.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "presentation/Report.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int pdfPages = -1; // all
    bool qtWriter = false;
    QString keep; // where to leave the PDF, to look at it
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--pdf-pages") == 0)
            pdfPages = QByteArray(argv[i + 1]).toInt();
        if (qstrcmp(argv[i], "--writer") == 0)
            qtWriter = qstrcmp(argv[i + 1], "qt") == 0;
        if (qstrcmp(argv[i], "--keep") == 0)
            keep = QString::fromLocal8Bit(argv[i + 1]);
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

    const QString pdf =
        keep.isEmpty() ? QDir::tempPath() + u"/nvrptsales-bench-register.pdf"_s : keep;
    const int exportPages = pdfPages > 0 ? std::min(pdfPages, pages) : pages;
    timer.restart();
    int written = 0;
    const Report::Progress progress = [&](int done, int) {
        written = done;
        return exportPages == pages || done < exportPages;
    };
    // A partial export is cancelled after its last page and leaves no file to measure.
    if (qtWriter)
        QtPdfExport::write(*report, pdf, progress);
    else
        [[maybe_unused]] const bool whole = report->exportPdf(pdf, progress);
    const double exportSeconds = double(timer.nsecsElapsed()) / 1e9;
    const double pdfBytes = double(QFileInfo(pdf).size());
    if (keep.isEmpty())
        QFile::remove(pdf);

    std::printf("rows bound              %d (query and read: %.2f s)\n", rows.recordCount(), query);
    std::printf("first page ready        %.3f s after the build (budget 0.3 s), %zu items\n",
                firstPage, first.items.size());
    std::printf("binding                 %.3f s (columns resolved, group breaks found)\n", bind);
    std::printf("pagination              %d pages in %.3f s: %.1f million rows/s (budget 1)\n",
                pages, paginate, rows.recordCount() / paginate / 1e6);
    std::printf("PDF export (%s)%s %d pages in %.2f s: %.0f pages/s (budget 2000)\n",
                qtWriter ? "QPdfWriter" : "engine", qtWriter ? "" : "    ", written, exportSeconds,
                written / exportSeconds);
    if (pdfBytes > 0)
        std::printf("PDF size                %.0f bytes, %.0f a page\n", pdfBytes, pdfBytes / written);
    std::printf("peak memory             %.0f MiB before the export, %.0f MiB after it\n",
                memoryBefore, BenchDatabase::peakMemoryMiB());
    return 0;
}
