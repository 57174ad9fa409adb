#include "db/CsvWriter.h"
#include "db/ResultTable.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(CsvWriter, WritesFullPrecisionNumbersAndQuotesOnlyWhatNeedsIt)
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
                         "\"O'Hara, \"\"Jr\"\"\",1234567,0.30000000000000004,2026-04-01,7\r\n"
                         "plain,,1500,,seven\r\n"));
    // A column that mixes numbers and texts keeps each value as it was.
    EXPECT_EQ(table.columnType(4), ResultTable::Type::Variant);
    EXPECT_EQ(table.value(4, 0).toInt(), 7);
}
