// What setting an analysis beside an earlier period costs, on a million sale lines: each of the
// four analyses built as the command line builds it (query, result set, report object prepared
// and bound), without and with a comparison, against the earlier period's own query into a
// result set. Budget: the comparison adds at most that query. The demo company trades for one
// year: its year is compared with the year before (nothing there), and its second half-year
// with the first (both full).
//   build/bench/bench_compare      (NVR_BENCH_DB=FILE to use another database)
#include "BenchDatabase.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "presentation/Report.h"
#include "reports/CompanySectorWiseSaleReport.h"
#include "reports/CompanyWiseSaleReport.h"
#include "reports/CustomerTownSectorWiseSalesReport.h"
#include "reports/HeadlessReport.h"
#include "reports/PeriodComparison.h"
#include "reports/ProductWiseSalesReport.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

int build(const ReportDefinition &definition, const ReportCriteria &criteria,
          const Connection &connection)
{
    HeadlessReport built(definition, criteria, connection);
    if (built.build() != HeadlessReport::Outcome::Built) {
        std::fprintf(stderr, "%s found nothing\n", qPrintable(definition.entry().caption));
        std::exit(1);
    }
    return built.takeReport()->rowCount();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto connection = Connection::openSqlite(BenchDatabase::path());
    const struct
    {
        const char *caption;
        QDate from, to;
        QString mode;
    } periods[] = {
        {"year, against the year before", QDate(2025, 7, 1), QDate(2026, 6, 30),
         u"previous-year"_s},
        {"half-year, against the first", QDate(2026, 1, 1), QDate(2026, 6, 30),
         u"previous-period"_s},
    };
    const struct
    {
        const ReportDefinition *definition;
        QHash<QString, QString> texts;
    } analyses[] = {
        {&CompanyWiseSaleReport::instance(), {}},
        {&CompanySectorWiseSaleReport::instance(), {{u"company"_s, u"11"_s}}},
        {&CustomerTownSectorWiseSalesReport::instance(), {}},
        {&ProductWiseSalesReport::instance(), {}},
    };
    for (const auto &p : periods) {
        std::printf("%-34s %9s %9s %9s %9s %7s\n", p.caption, "alone", "compared", "added",
                    "earlier q", "rows");
        for (const auto &a : analyses) {
            const ReportCriteria plain{p.from, p.to, a.texts, {}};
            ReportCriteria compared = plain;
            compared.texts.insert(PeriodComparison::key, p.mode);
            const QString earlierSql = a.definition->query(
                PeriodComparison::earlierCriteria(compared), connection->dialect());
            std::vector<double> alone, both, earlier;
            int rows = 0;
            for (int run = 0; run < 7; ++run) { // a busy disk cache moves single runs by tenths
                alone.push_back(BenchDatabase::seconds(
                    [&] { (void)build(*a.definition, plain, *connection); }));
                both.push_back(BenchDatabase::seconds(
                    [&] { rows = build(*a.definition, compared, *connection); }));
                earlier.push_back(BenchDatabase::seconds([&] {
                    Recordset recordset;
                    recordset.open(earlierSql, *connection);
                }));
            }
            const double x = BenchDatabase::median(alone), y = BenchDatabase::median(both),
                         e = BenchDatabase::median(earlier);
            std::printf("%-34s %8.3fs %8.3fs %8.3fs %8.3fs %7d  added/earlier %.2f (budget 1)\n",
                        qPrintable(a.definition->entry().caption), x, y, y - x, e, rows,
                        (y - x) / e);
        }
    }
    std::printf("peak memory %.0f MiB\n", BenchDatabase::peakMemoryMiB());
    return 0;
}
