// What a year of Monthly Sales by product costs against the sales register's own query for the
// same year, on a million sale lines: the register's query into a result set, and the whole
// Monthly Sales build (query, result set, report object prepared and bound). Budget: 2 x.
//   build/bench/bench_monthly_sales      (NVR_BENCH_DB=FILE to use another database)
#include "BenchDatabase.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/Report.h"
#include "reports/HeadlessReport.h"
#include "reports/MonthlySalesReport.h"
#include "reports/SalesRegisterReport.h"
#include "reports/StandardFields.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

template<typename Operation> double seconds(Operation operation)
{
    QElapsedTimer timer;
    timer.start();
    operation();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto connection = Connection::openSqlite(BenchDatabase::path());
    const QDate from(2025, 7, 1), to(2026, 6, 30);
    // Every invoice of the year: the register's default range stops at 99999.
    const ReportCriteria registerCriteria{
        from, to, {{StandardFields::invoiceToKey, u"999999999"_s}}, {}};
    const ReportCriteria monthlyCriteria{from, to, {{MonthlySalesReport::byKey, u"product"_s}}, {}};
    const QString registerSql =
        SalesRegisterReport::instance().query(registerCriteria, connection->dialect());
    std::vector<double> registerTimes, monthlyTimes;
    int lines = 0, rows = 0;
    for (int run = 0; run < 3; ++run) {
        registerTimes.push_back(seconds([&] {
            Recordset recordset;
            recordset.open(registerSql, *connection);
            lines = recordset.rows()->rowCount();
        }));
        monthlyTimes.push_back(seconds([&] {
            HeadlessReport built(MonthlySalesReport::instance(), monthlyCriteria, *connection);
            if (built.build() != HeadlessReport::Outcome::Built) {
                std::fprintf(stderr, "Monthly Sales found nothing\n");
                std::exit(1);
            }
            rows = built.takeReport()->rowCount();
        }));
    }
    const double r = BenchDatabase::median(registerTimes), m = BenchDatabase::median(monthlyTimes);
    std::printf("sales register query, a year:   %.3f s  (%d lines)\n", r, lines);
    std::printf("Monthly Sales by product, built: %.3f s  (%d products; %.2f x the register, "
                "budget 2 x)\n",
                m, rows, m / r);
    std::printf("peak memory                      %.0f MiB\n", BenchDatabase::peakMemoryMiB());
    return 0;
}
