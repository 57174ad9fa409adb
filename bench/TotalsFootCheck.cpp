// Whether a year's sales register of a million lines foots, checked once by hand (not a timed
// test): every invoice total and grand total is the sum of the lines printed above it on the
// pages, the PDF's text reads the same figures, and every subtotal the workbook stores is the
// sum of the cells it covers, to the cent.
//   build/bench/bench_totals_foot [--folder DIR] [--workbook-only]
//   (NVR_BENCH_DB=FILE for another database)
#include "BenchDatabase.h"
#include "ReferenceQueries.h"
#include "TotalsFooting.h"
#include "XlsxReader.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "presentation/Report.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPdfPagesAtOnce = 400;

struct Subtotal
{
    int sheet, row, column;
    QString formula;
    qint64 stored; // millionths
};

// A workbook far larger than memory would hold as text, read as it streams out of the package:
// number cells as millionths by sheet, column and row, and the subtotals.
struct Workbook
{
    std::vector<QString> names;
    std::vector<std::map<int, std::vector<std::pair<int, qint64>>>> columns; // sheet: column: (row, value)
    std::vector<Subtotal> subtotals;
};

qint64 millionths(double value)
{
    return std::llround(value * 1e6);
}

Workbook readWorkbook(const QString &path)
{
    Workbook book;
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, path, u"xl/workbook.xml"_s});
    unzip.waitForFinished(-1);
    QXmlStreamReader names(unzip.readAllStandardOutput());
    while (!names.atEnd()) {
        names.readNext();
        if (names.isStartElement() && names.name() == u"sheet")
            book.names.push_back(names.attributes().value(u"name"_s).toString());
    }
    for (size_t s = 0; s < book.names.size(); ++s) {
        book.columns.emplace_back();
        QProcess sheet;
        sheet.start(u"unzip"_s, {u"-p"_s, path, u"xl/worksheets/sheet%1.xml"_s.arg(s + 1)});
        QXmlStreamReader xml;
        int row = 0, column = 0;
        QString type, formula, text;
        bool inFormula = false, inValue = false;
        // Token by token: an element's text may arrive in two reads of the stream.
        auto drain = [&] {
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"c") {
                    XlsxReader::parseReference(xml.attributes().value(u"r"_s).toString(), row,
                                               column);
                    type = xml.attributes().value(u"t"_s).toString();
                    formula.clear();
                } else if (xml.isStartElement() && (xml.name() == u"f" || xml.name() == u"v")) {
                    inFormula = xml.name() == u"f";
                    inValue = !inFormula;
                    text.clear();
                } else if (xml.isCharacters() && (inFormula || inValue)) {
                    text += xml.text();
                } else if (xml.isEndElement() && xml.name() == u"f") {
                    formula = text;
                    inFormula = false;
                } else if (xml.isEndElement() && xml.name() == u"v") {
                    inValue = false;
                    if (!type.isEmpty())
                        continue;
                    const qint64 value = millionths(text.toDouble());
                    if (formula.isEmpty())
                        book.columns[s][column].emplace_back(row, value);
                    else
                        book.subtotals.push_back({int(s), row, column, formula, value});
                }
            }
        };
        while (sheet.state() != QProcess::NotRunning || sheet.bytesAvailable() > 0) {
            sheet.waitForReadyRead(1000);
            xml.addData(sheet.readAllStandardOutput());
            drain();
        }
    }
    return book;
}

// Every subtotal against the sum of the number cells it covers; a range reaching its own cell
// is a circular reference.
QStringList workbookFaults(const Workbook &book)
{
    static const QRegularExpression call(u"^SUBTOTAL\\(9,(.+)\\)$"_s);
    static const QRegularExpression range(
        u"(?:'((?:[^']|'')+)'!)?([A-Z]+)([0-9]+):([A-Z]+)([0-9]+)"_s);
    QStringList faults;
    for (const Subtotal &t : book.subtotals) {
        const QRegularExpressionMatch m = call.match(t.formula);
        if (!m.hasMatch()) {
            faults.append(u"not a sum: "_s + t.formula);
            continue;
        }
        qint64 sum = 0;
        auto it = range.globalMatch(m.captured(1));
        while (it.hasNext()) {
            const QRegularExpressionMatch r = it.next();
            int sheet = t.sheet;
            if (r.capturedLength(1) > 0) {
                const QString name = r.captured(1).replace(u"''"_s, u"'"_s);
                sheet = int(std::find(book.names.begin(), book.names.end(), name) -
                            book.names.begin());
            }
            int firstRow, firstColumn, lastRow, lastColumn;
            XlsxReader::parseReference(r.captured(2) + r.captured(3), firstRow, firstColumn);
            XlsxReader::parseReference(r.captured(4) + r.captured(5), lastRow, lastColumn);
            if (sheet == t.sheet && firstRow <= t.row && t.row <= lastRow &&
                firstColumn <= t.column && t.column <= lastColumn)
                faults.append(u"%1 at R%2C%3 covers its own cell"_s.arg(t.formula).arg(t.row + 1)
                                  .arg(t.column + 1));
            for (int c = firstColumn; c <= lastColumn; ++c) {
                const auto column = book.columns[size_t(sheet)].find(c);
                if (column == book.columns[size_t(sheet)].end())
                    continue;
                const auto &cells = column->second;
                auto cell = std::lower_bound(cells.begin(), cells.end(),
                                             std::make_pair(firstRow, qint64(LLONG_MIN)));
                for (; cell != cells.end() && cell->first <= lastRow; ++cell)
                    sum += cell->second;
            }
        }
        if (sum != t.stored)
            faults.append(u"%1 at R%2C%3 stores %4, its cells add up to %5"_s.arg(t.formula)
                              .arg(t.row + 1)
                              .arg(t.column + 1)
                              .arg(double(t.stored) / 1e6, 0, 'f', 2)
                              .arg(double(sum) / 1e6, 0, 'f', 2));
    }
    return faults;
}

void report(const char *what, const QStringList &faults, int checked, double seconds)
{
    std::printf("%-9s %d checked, %lld faults (%.0f s)\n", what, checked,
                static_cast<long long>(faults.size()), seconds);
    for (qsizetype i = 0; i < std::min<qsizetype>(faults.size(), 10); ++i)
        std::printf("  %s\n", qPrintable(faults[i]));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString folder = QDir::tempPath();
    bool workbookOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--folder") == 0 && i + 1 < argc)
            folder = QString::fromLocal8Bit(argv[i + 1]);
        workbookOnly = workbookOnly || qstrcmp(argv[i], "--workbook-only") == 0;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const auto connection = Connection::openSqlite(BenchDatabase::path());
    Recordset rows;
    rows.open(ReferenceQueries::salesRegister(u"2025-07-01"_s, u"2026-06-30"_s, QString(), u"1"_s,
                                              u"999999999"_s),
              *connection);
    auto register_ = Report::fromLayout(u"crpSalesRegisterIW"_s);
    register_->Database().SetDataSource(rows);
    register_->setCriteriaLine(u"Period 01-Jul-2025 to 30-Jun-2026"_s);
    const int pages = register_->pageCount();
    std::printf("sales register: %d lines on %d pages\n", rows.recordCount(), pages);

    QElapsedTimer timer;
    timer.start();
    QStringList pageFaults, pdfFaults;
    if (!workbookOnly) {
        int totals = 0;
        pageFaults = TotalsFooting::pageFaults(*register_, totals);
        report("totals", pageFaults, totals, double(timer.elapsed()) / 1000);

        timer.restart();
        const QString pdf = folder + u"/register.pdf"_s;
        if (!register_->exportPdf(pdf))
            return 3; // cancelled: nothing to check
        int figures = 0;
        for (int first = 0; first < pages; first += kPdfPagesAtOnce) {
            int checked = 0;
            pdfFaults += TotalsFooting::pdfFaults(*register_, pdf, checked, first,
                                                  std::min(pages, first + kPdfPagesAtOnce) - 1);
            figures += checked;
        }
        QFile::remove(pdf);
        report("PDF", pdfFaults, figures, double(timer.elapsed()) / 1000);
    }

    timer.restart();
    const QString xlsx = folder + u"/register.xlsx"_s;
    if (!register_->exportXlsx(xlsx))
        return 3;
    const Workbook book = readWorkbook(xlsx);
    QFile::remove(xlsx);
    const QStringList bookFaults = workbookFaults(book);
    report("workbook", bookFaults, int(book.subtotals.size()), double(timer.elapsed()) / 1000);
    std::printf("peak memory %.0f MiB\n", BenchDatabase::peakMemoryMiB());
    return pageFaults.isEmpty() && pdfFaults.isEmpty() && bookFaults.isEmpty() ? 0 : 1;
}
