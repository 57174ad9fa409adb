// A million-line sales register written as an Excel workbook: export time, rows a second, file
// size, and memory: resident before the export and the peak during it (the peak is reset just
// before the export, so the figure is what writing the workbook holds on top of the report).
//   build/bench/bench_xlsx_export   (NVR_BENCH_DB=FILE for another database)
#include "BenchDatabase.h"
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
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM").
double statusMiB(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return -1;
}

// Processor time of this process so far (user and system), in seconds: on a shared machine
// a fairer figure than the wall clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Starts the peak resident memory afresh (Linux: writing 5 to clear_refs resets VmHWM).
bool resetPeak()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const auto connection = Connection::openSqlite(BenchDatabase::path());
    Recordset rows;
    rows.open(ReferenceQueries::salesRegister(u"2025-07-01"_s, u"2026-06-30"_s, QString(), u"1"_s,
                                              u"9999999"_s),
              *connection);
    auto report = Report::fromLayout(u"crpSalesRegisterIW"_s);
    report->textObject(u"txtCompName"_s).SetText(u"Norvale Agro Distributors (Pvt) Ltd."_s);
    report->textObject(u"txtInvoice"_s).SetText(u"Invoiceno Between : 1 To 9999999"_s);
    report->Database().SetDataSource(rows);
    report->setCriteriaLine(u"Period 01-Jul-2025 to 30-Jun-2026"_s);

    const QString path = QDir::tempPath() + u"/nvrptsales-bench-register.xlsx"_s;
    const double before = statusMiB("VmRSS");
    const bool reset = resetPeak();
    QElapsedTimer timer;
    const double cpuBefore = cpuSeconds();
    timer.start();
    if (!report->exportXlsx(path))
        return 1; // nothing cancels it here
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    const double peak = statusMiB("VmHWM");

    const int lines = report->rowCount();
    std::printf("sales register lines          %d\n", lines);
    std::printf("xlsx export                   %.2f s (%.0f lines/s), processor %.2f s\n", seconds,
                double(lines) / seconds, cpu);
    std::printf("xlsx file                     %.1f MiB\n",
                double(QFileInfo(path).size()) / 1048576.0);
    std::printf("resident before export        %.0f MiB\n", before);
    std::printf("peak during export            %.0f MiB%s (+%.0f MiB)\n", peak,
                reset ? "" : " (peak not reset: since start)", peak - before);
    std::printf("process peak                  %.0f MiB\n", BenchDatabase::peakMemoryMiB());
    QFile::remove(path);
    return 0;
}
