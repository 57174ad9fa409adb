#pragma once

#include <QString>

// The database a benchmark reads: the path given in NVR_BENCH_DB, or a demo database of a
// million sale lines generated once into the system's temporary folder.
namespace BenchDatabase {
QString path(int saleLines = 1'000'000, int customers = 400);
// Peak resident memory of this process so far, in MiB.
double peakMemoryMiB();
} // namespace BenchDatabase
