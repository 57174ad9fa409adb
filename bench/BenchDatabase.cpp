#include "BenchDatabase.h"

#include "host/DemoDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
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

int stepEveryRow(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    int rows = 0;
    double sink = 0;
    const int columns = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                sink += sqlite3_column_bytes(st, c);
            else
                sink += sqlite3_column_double(st, c);
        }
    }
    sqlite3_finalize(st);
    if (sink == -1) // keeps the reads from being optimised away
        std::puts("");
    return rows;
}

double median(std::vector<double> timings)
{
    std::sort(timings.begin(), timings.end());
    return timings[timings.size() / 2];
}

} // namespace BenchDatabase
