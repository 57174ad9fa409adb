// How much reading a report's rows into the result set costs over SQLite's own time for the
// same query, and how many bytes the snapshot holds against its raw values.
//   build/bench/bench_resultset            (NVR_BENCH_DB=FILE to use another database)
#include "BenchDatabase.h"
#include "ReferenceQueries.h"
#include "db/Connection.h"
#include "db/ResultTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// SQLite alone, opened afresh: the floor the result set is measured against.
double engineSeconds(const QString &path, const QString &sql, int &rows)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer timer;
    timer.start();
    rows = BenchDatabase::stepEveryRow(db, sql.toUtf8());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    sqlite3_close(db);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString path = BenchDatabase::path();
    // The sales register over the whole year and every invoice number: a million rows.
    const QString sql = ReferenceQueries::salesRegister(u"2025-07-01"_s, u"2026-06-30"_s, QString(),
                                                        u"1"_s, u"9999999"_s);
    const auto connection = Connection::openSqlite(path);
    const QString translated = connection->translate(sql).text;

    std::vector<double> engine, build;
    int rows = 0;
    size_t bytes = 0, raw = 0;
    for (int run = 0; run < 3; ++run) {
        engine.push_back(engineSeconds(path, translated, rows));
        QElapsedTimer timer;
        timer.start();
        const auto table = connection->execute(sql);
        build.push_back(double(timer.nsecsElapsed()) / 1e9);
        bytes = table->byteSize();
        raw = table->rawValueBytes();
    }
    const double e = BenchDatabase::median(engine), b = BenchDatabase::median(build);
    std::printf("rows                 %d\n", rows);
    std::printf("sqlite alone         %.3f s\n", e);
    std::printf("result set build     %.3f s  (%.2f x sqlite; budget 1.30 x)\n", b, b / e);
    std::printf("snapshot bytes       %.1f MiB for %.1f MiB of raw values (%.2f x; budget 2 x)\n",
                double(bytes) / 1048576.0, double(raw) / 1048576.0, double(bytes) / double(raw));
    std::printf("peak memory          %.0f MiB\n", BenchDatabase::peakMemoryMiB());
    return 0;
}
