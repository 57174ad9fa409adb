// One keystroke in the customer lookup over 100,000 customers: the time from the filter text
// changing to the grid holding the new list (query, reading, binding the grid).
//   build/bench/bench_lookup
#include "BenchDatabase.h"
#include "db/Connection.h"
#include "db/SharedConnection.h"
#include "lookup/SchCustomers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const auto connection = Connection::openSqlite(BenchDatabase::path(20000, 100000));
    SharedConnection shared;
    shared.set(connection.get());
    SchCustomers dialog(shared);
    dialog.openForTest();

    // A user typing names letter by letter, and erasing them again.
    const QStringList words{u"o'hara"_s, u"khan agro"_s, u"seed house"_s, u"patel"_s, u"kisan"_s};
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
        for (const QString &word : words) {
            QString text;
            for (QChar c : word) {
                text += c;
                QElapsedTimer timer;
                timer.start();
                dialog.filterBox()->setText(text);
                times.push_back(double(timer.nsecsElapsed()) / 1e6);
            }
            while (!text.isEmpty()) {
                text.chop(1);
                QElapsedTimer timer;
                timer.start();
                dialog.filterBox()->setText(text);
                times.push_back(double(timer.nsecsElapsed()) / 1e6);
            }
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("keystrokes              %zu over 100,000 customers\n", times.size());
    std::printf("median                  %.1f ms\n", times[times.size() / 2]);
    std::printf("95th percentile         %.1f ms\n", times[times.size() * 95 / 100]);
    std::printf("slowest                 %.1f ms (budget 50 ms; the slowest is an empty filter: "
                "every customer)\n",
                times.back());
    return 0;
}
