#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <vector>

struct sqlite3;

// The database a benchmark reads: the path given in NVR_BENCH_DB, or a demo database of a
// million sale lines generated once into the system's temporary folder.
namespace BenchDatabase {
QString path(int saleLines = 1'000'000, int customers = 400);
// Peak resident memory of this process so far, in MiB.
double peakMemoryMiB();
// SQLite alone, the floor a result set is measured against: prepares the statement and steps
// through every row, touching each value once as its own type. Returns the rows read; exits
// with SQLite's message when the statement cannot be prepared.
int stepEveryRow(sqlite3 *db, const QByteArray &sql);
// The middle of repeated timings, which one busy moment does not move.
double median(std::vector<double> timings);
// Seconds an operation takes.
template<typename Operation> double seconds(Operation operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    return double(timer.nsecsElapsed()) / 1e9;
}
} // namespace BenchDatabase
