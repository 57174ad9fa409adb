// What building the sales and stock statement costs over SQLite's own time for its query, on
// a million sale lines: the query into the window's result set, and the whole build (query,
// result set, report object prepared and bound).
//   build/bench/bench_stock_statement      (NVR_BENCH_DB=FILE to use another database)
#include "BenchDatabase.h"
#include "reports/HeadlessReport.h"
#include "reports/SalesStockStatementReport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "presentation/Report.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Processor time of the whole process, in seconds: on a shared machine it counts the work done,
// not the waiting for a core.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Cost
{
    double wall = 0;
    double cpu = 0;
};

// Times an operation both ways.
template<typename Operation> Cost timed(Operation operation)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    operation();
    return {double(timer.nsecsElapsed()) / 1e9, cpuSeconds() - cpu};
}

void measure(const QString &path, const Connection &connection, const ReportCriteria &criteria,
             const char *label)
{
    const SalesStockStatementReport &statement = SalesStockStatementReport::instance();
    const QString sql = statement.query(criteria, connection.dialect());
    const QByteArray translated = connection.translate(sql).text.toUtf8();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<double> engineWall, engineCpu, setWall, setCpu, wholeWall, wholeCpu;
    int rows = 0;
    for (int run = 0; run < 3; ++run) {
        const Cost engine = timed([&] { rows = BenchDatabase::stepEveryRow(db, translated); });
        const Cost resultSet = timed([&] {
            Recordset recordset;
            recordset.open(sql, connection);
        });
        const Cost whole = timed([&] {
            HeadlessReport built(statement, criteria, connection);
            if (built.build() != HeadlessReport::Outcome::Built) {
                std::fprintf(stderr, "the statement found nothing\n");
                std::exit(1);
            }
        });
        engineWall.push_back(engine.wall);
        engineCpu.push_back(engine.cpu);
        setWall.push_back(resultSet.wall);
        setCpu.push_back(resultSet.cpu);
        wholeWall.push_back(whole.wall);
        wholeCpu.push_back(whole.cpu);
    }
    sqlite3_close(db);
    const double ew = BenchDatabase::median(engineWall), ec = BenchDatabase::median(engineCpu);
    const double rw = BenchDatabase::median(setWall), rc = BenchDatabase::median(setCpu);
    const double ww = BenchDatabase::median(wholeWall), wc = BenchDatabase::median(wholeCpu);
    std::printf("%s: %d products\n", label, rows);
    std::printf("  sqlite alone    %.3f s wall  %.3f s cpu\n", ew, ec);
    std::printf("  result set      %.3f s wall  %.3f s cpu  (%.2f x sqlite wall, %.2f x cpu)\n", rw,
                rc, rw / ew, rc / ec);
    std::printf("  whole build     %.3f s wall  %.3f s cpu  (%.2f x sqlite wall, %.2f x cpu; "
                "budget 2 x)\n",
                ww, wc, ww / ew, wc / ec);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString path = BenchDatabase::path();
    const auto connection = Connection::openSqlite(path);
    // The whole year: every movement in the period columns.
    measure(path, *connection, {QDate(2025, 7, 1), QDate(2026, 6, 30), {}, {}},
            "statement, whole year, all companies");
    // The last quarter: nine months of movements folded into the opening balance.
    measure(path, *connection, {QDate(2026, 4, 1), QDate(2026, 6, 30), {}, {}},
            "statement, last quarter, all companies");
    measure(path, *connection,
            {QDate(2026, 4, 1), QDate(2026, 6, 30), {{u"company"_s, u"12"_s}}, {}},
            "statement, last quarter, company 12");
    std::printf("peak memory            %.0f MiB\n", BenchDatabase::peakMemoryMiB());
    return 0;
}
