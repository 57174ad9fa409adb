// Every CSV of a report is its query's rows in the query's order, whichever way it is written.
#include "CommandRun.h"
#include "DemoFixture.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportDefinition.h"
#include "db/Connection.h"
#include "db/CsvWriter.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"
#include "presentation/DataBinding.h"
#include "presentation/Report.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The stock statement prints its companies by name, while its query lists them by id: the CSV
// file, standard output (a terminal or pipe, and a string in process) and the preview's export
// are byte for byte the query's rows, in the query's order.
TEST(CsvOutput, EveryCsvOfAReportIsTheQueryRowsInTheQueryOrder)
{
    const QStringList period{u"--from"_s, u"2026-01-01"_s, u"--to"_s, u"2026-06-30"_s};
    QTemporaryDir folder;
    auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    const QString file = folder.filePath(u"file.csv"_s);
    const CommandRun::Outcome toFile =
        CommandRun::report(u"sales-stock-statement"_s, period + QStringList{u"--csv"_s, file});
    ASSERT_EQ(toFile.status, CliStatus::Ok) << toFile.err.toStdString();
    const CommandRun::Outcome toString =
        CommandRun::report(u"sales-stock-statement"_s, period + QStringList{u"--csv"_s, u"-"_s});
    ASSERT_EQ(toString.status, CliStatus::Ok) << toString.err.toStdString();
    QProcess process;
    process.start(QStringLiteral(NVR_EXECUTABLE),
                  QStringList{u"report"_s, u"sales-stock-statement"_s} + period +
                      QStringList{u"--csv"_s, u"-"_s, u"--db"_s, DemoFixture::path()});
    ASSERT_TRUE(process.waitForFinished(120000));
    ASSERT_EQ(process.exitCode(), CliStatus::Ok);
    const QByteArray toPipe = process.readAllStandardOutput();

    // The query's rows, and the report the preview shows of them, exported as its button does.
    ReportCriteria criteria;
    criteria.from = QDate(2026, 1, 1);
    criteria.to = QDate(2026, 6, 30);
    const ReportDefinition *definition =
        &ReportCatalog::byCommandName(u"sales-stock-statement"_s)->definition();
    const auto db = Connection::openSqlite(DemoFixture::path());
    Recordset rows;
    rows.open(definition->query(criteria, db->dialect()), *db);
    QBuffer queryRows;
    queryRows.open(QIODevice::WriteOnly);
    ASSERT_TRUE(CsvWriter::write(queryRows, *rows.rows()));
    auto report = Report::fromLayout(u"crpSalesStockStatement"_s);
    report->Database().SetDataSource(rows);
    const QString exported = folder.filePath(u"preview.csv"_s);
    report->exportCsv(exported);

    // The layout prints the rows in another order than the query gives them.
    bool reordered = false;
    for (int r = 0; r < report->rowCount() && !reordered; ++r)
        reordered = report->binding().tableRow(r) != r;
    ASSERT_TRUE(reordered);

    EXPECT_GT(queryRows.data().count('\n'), 10);
    EXPECT_EQ(bytes(file), queryRows.data());
    EXPECT_EQ(toString.out.toUtf8(), queryRows.data());
    EXPECT_EQ(toPipe, queryRows.data());
    EXPECT_EQ(bytes(exported), queryRows.data());
}
