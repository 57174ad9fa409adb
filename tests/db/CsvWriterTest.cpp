#include "db/CsvWriter.h"
#include "db/ResultTable.h"

#include <QBuffer>
#include <cmath>
#include <random>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(CsvWriter, WritesNumbersAsSpreadsheetsShowThemAndQuotesOnlyWhatNeedsIt)
{
    ResultTable table(QStringList{u"name"_s, u"qty"_s, u"value"_s, u"day"_s, u"mixed"_s});
    table.appendText(0, "O'Hara, \"Jr\"");
    table.appendInteger(1, 1234567);
    table.appendReal(2, 0.1 + 0.2);
    table.appendDate(3, QDate(2026, 4, 1));
    table.appendInteger(4, 7);
    table.appendText(0, "plain");
    table.appendNull(1);
    table.appendReal(2, 1500.0);
    table.appendNull(3);
    table.appendText(4, "seven");
    table.finish();

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(CsvWriter::write(buffer, table));
    EXPECT_EQ(buffer.data(),
              QByteArray("name,qty,value,day,mixed\r\n"
                         "\"O'Hara, \"\"Jr\"\"\",1234567,0.3,2026-04-01,7\r\n"
                         "plain,,1500,,seven\r\n"));
    // A column that mixes numbers and texts keeps each value as it was.
    EXPECT_EQ(table.columnType(4), ResultTable::Type::Variant);
    EXPECT_EQ(table.value(4, 0).toInt(), 7);
}

// A number is written with at most 15 significant digits, the fewest that read back to it as
// a spreadsheet shows it; never in exponent form where a plain figure is short enough.
TEST(CsvWriter, WritesTheShortestTextOfFifteenDigits)
{
    const struct
    {
        double value;
        const char *text;
    } cases[] = {
        {3663.0000000000005, "3663"},
        {0.1 + 0.2, "0.3"},
        {-1234.5, "-1234.5"},
        {1500.0, "1500"},
        {0.0, "0"},
        {-0.0, "0"},
        {1e-5, "0.00001"},
        {-2.5e-7, "-0.00000025"},
        {123456789012345.6, "123456789012346"},
        {0.1234567890123456, "0.123456789012346"},
        {1e20, "100000000000000000000"},
        {1.5e21, "1.5E+21"},
        {2.5e-8, "2.5E-8"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CsvWriter::numberText(c.value), QByteArray(c.text)) << c.text;

    // Any figure of up to 15 digits reads back as the same double.
    std::mt19937_64 random(15);
    for (int i = 0; i < 20000; ++i) {
        const qint64 digits = qint64(random() % 1000000000000000ULL) - 500000000000000LL;
        const double value = double(digits) / std::pow(10.0, int(random() % 12));
        const QByteArray text = CsvWriter::numberText(value);
        ASSERT_EQ(text.toDouble(), value) << text.constData();
        ASSERT_FALSE(text.contains(',') || text.contains('e')) << text.constData();
    }
}
