#include "CommandRun.h"
#include "DemoFixture.h"
#include "LineFigures.h"
#include "XlsxReader.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "host/CliStatus.h"
#include "host/DemoDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

int runReport(const QStringList &arguments, QString &err)
{
    const CommandRun::Outcome o = CommandRun::report(u"sales-register"_s, arguments);
    err = o.err;
    return o.status;
}

// An invoice's figures, from its raw line values.
struct Invoice : LineFigures
{
    QDate date;
    int lines = 0;
};

std::map<int, Invoice> invoicesOf(const QString &from, const QString &to)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    const auto t = connection->execute(
        u"select s.SaleId, s.SaleDate, b.Qty, b.Price, b.Discratio, b.Discvalue, b.stratio, "
        u"b.stvalue from SalesBody b, Sales s where b.SaleId = s.SaleId and s.SaleDate >= '"_s +
        from + u"' and s.SaleDate <= '"_s + to + u"'"_s);
    std::map<int, Invoice> invoices;
    for (int r = 0; r < t->rowCount(); ++r) {
        Invoice &i = invoices[int(t->number(0, r))];
        i.date = QDate::fromString(t->text(1, r).left(10), Qt::ISODate);
        ++i.lines;
        i += LineFigures::of(*t, 2, r);
    }
    return invoices;
}

} // namespace

TEST(ReportXlsx, SalesRegisterWorkbookHoldsEachInvoiceWithItsTotals)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"register.xlsx"_s);
    QString err;
    ASSERT_EQ(
        runReport({u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s, u"--xlsx"_s, path},
                  err),
        CliStatus::Ok)
        << err.toStdString();
    const XlsxReader book(path);
    ASSERT_TRUE(book.isValid());
    ASSERT_EQ(book.sheets().size(), 1u);
    const XlsxReader::Sheet &sheet = book.sheets().front();
    EXPECT_EQ(sheet.name, u"Sales Register"_s);
    EXPECT_EQ(sheet.cell(0, 0)->value, DemoDatabase::companyName());
    EXPECT_EQ(sheet.cell(1, 0)->value, u"Sales Register"_s);
    EXPECT_EQ(sheet.cell(2, 0)->value, u"Invoiceno Between : 1 To 99999"_s);
    EXPECT_TRUE(sheet.cell(3, 0)->value.contains(u"01-Jun-2026"_s));

    // The header row: the group header's labels, then the headings over the line fields.
    int header = -1;
    for (const auto &[r, row] : sheet.rows) {
        if (row.cells.count(0) && row.cells.at(0).value == u"Invoice")
            header = r;
    }
    ASSERT_GE(header, 0);
    const QStringList captions{u"Invoice"_s,   u"Date"_s,     u"Customer"_s,    u"Sector"_s,
                               u"Town"_s,      u"Product"_s,  u"Description"_s, u"Qty"_s,
                               u"Bonus"_s,     u"Price"_s,    u"Gross Value"_s, u"Discount"_s,
                               u"Sales Tax"_s, u"Net Value"_s};
    for (int c = 0; c < captions.size(); ++c)
        EXPECT_EQ(sheet.cell(header, c)->value, captions[c]) << c;
    EXPECT_EQ(sheet.frozenTopLeft, u"A%1"_s.arg(header + 2));

    std::map<int, Invoice> invoices = invoicesOf(u"2026-06-01"_s, u"2026-06-30"_s);
    ASSERT_GT(invoices.size(), 10u);
    std::map<int, int> linesSeen;
    int totalsSeen = 0;
    for (auto it = sheet.rows.upper_bound(header); it != sheet.rows.end(); ++it) {
        const XlsxReader::Row &row = it->second;
        const XlsxReader::Cell &first = row.cells.begin()->second;
        if (!first.isText()) {
            // A line: invoice number as a plain number, its date as a date.
            EXPECT_EQ(row.outlineLevel, 1);
            EXPECT_EQ(first.numberFormat, u"0"_s);
            const int invoice = int(first.number());
            ASSERT_TRUE(invoices.count(invoice)) << invoice;
            ++linesSeen[invoice];
            const XlsxReader::Cell &date = row.cells.at(1);
            EXPECT_EQ(date.type, QString());
            EXPECT_EQ(date.numberFormat, u"dd-mmm-yyyy"_s);
            EXPECT_EQ(QDate(1899, 12, 30).addDays(qint64(date.number())), invoices[invoice].date);
            EXPECT_TRUE(row.cells.at(2).isText());
            EXPECT_EQ(row.cells.at(10).numberFormat, u"#,##0.00"_s);
            EXPECT_EQ(row.cells.at(7).numberFormat, u"#,##0"_s);
            continue;
        }
        EXPECT_EQ(row.outlineLevel, 0);
        if (first.value == u"Grand total") {
            double gross = 0;
            for (const auto &[id, i] : invoices)
                gross += i.gross;
            EXPECT_NEAR(row.cells.at(10).number(), gross, 1e-6 * std::max(1.0, gross));
            EXPECT_EQ(std::next(it), sheet.rows.end());
            continue;
        }
        ASSERT_TRUE(first.value.startsWith(u"Invoice total "_s)) << first.value.toStdString();
        const int invoice = first.value.mid(14).toInt();
        ASSERT_TRUE(invoices.count(invoice)) << first.value.toStdString();
        const Invoice &i = invoices[invoice];
        EXPECT_EQ(linesSeen[invoice], i.lines);
        const double figures[] = {i.gross, i.discount, i.tax, i.net};
        for (int k = 0; k < 4; ++k) {
            const XlsxReader::Cell &total = row.cells.at(10 + k);
            EXPECT_EQ(total.formula, u"SUBTOTAL(9,%1%2:%1%3)"_s.arg(QChar(u'K' + k))
                                         .arg(it->first - i.lines + 1)
                                         .arg(it->first));
            EXPECT_NEAR(total.number(), figures[k], 1e-6 * std::max(1.0, figures[k]));
        }
        ++totalsSeen;
    }
    EXPECT_EQ(totalsSeen, int(invoices.size()));
    EXPECT_EQ(linesSeen.size(), invoices.size());
}

TEST(ReportXlsx, NothingFoundWritesNoWorkbook)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"none.xlsx"_s);
    QString err;
    EXPECT_EQ(
        runReport({u"--from"_s, u"2026-06-01"_s, u"--to"_s, u"2026-06-30"_s, u"--invoice-from"_s,
                   u"900"_s, u"--invoice-to"_s, u"100"_s, u"--xlsx"_s, path},
                  err),
        CliStatus::NoRecord);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(runReport({u"--xlsx"_s, folder.filePath(u"missing/x.xlsx"_s)}, err),
              CliStatus::Failure);
}
