#include "BenchDatabase.h"

#include "host/DemoDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace BenchDatabase {

QString path(int saleLines, int customers)
{
    const QString given = qEnvironmentVariable("NVR_BENCH_DB");
    if (!given.isEmpty() && saleLines == 1'000'000)
        return given;
    const QString file =
        QDir::tempPath() + u"/nvrptsales-bench-%1-%2.sqlite"_s.arg(saleLines).arg(customers);
    if (!QFileInfo::exists(file)) {
        DemoDatabase::Options options;
        options.saleLines = saleLines;
        options.customers = customers;
        options.endDate = QDate(2026, 6, 30);
        QElapsedTimer timer;
        timer.start();
        DemoDatabase::create(file, options);
        std::printf("generated %s (%d sale lines, %d customers) in %.1f s\n", qPrintable(file),
                    saleLines, customers, double(timer.elapsed()) / 1000.0);
    }
    return file;
}

double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

} // namespace BenchDatabase
