#include "presentation/ValueFormatter.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

TEST(ValueFormatter, FormatsFiguresDatesAndTexts)
{
    auto number = [](int decimals, bool trimZeros = false, bool blankZero = false) {
        return ValueFormat{.kind = ValueFormat::Kind::Number,
                           .decimals = decimals,
                           .trimZeros = trimZeros,
                           .blankZero = blankZero};
    };
    const ValueFormat money = number(2), quantity = number(2, true), blank = number(2, false, true);
    const ValueFormat date{.kind = ValueFormat::Kind::Date, .datePattern = u"dd-MMM-yyyy"_s};
    const ValueFormat text;
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        QVariant value;
        ValueFormat format;
        QString expected;
    } cases[] = {
        {999.994, money, u"999.99"_s},
        {999.996, money, u"1,000.00"_s}, // rounding carries into a new group
        {-1234567.5, money, u"-1,234,567.50"_s},
        {-12345678901.25, money, u"-12,345,678,901.25"_s}, // every figure of a large total
        {1e15, money, u"1,000,000,000,000,000.00"_s},
        {0.000001, number(6), u"0.000001"_s},
        {std::numeric_limits<double>::denorm_min(), money, u"0.00"_s},
        {inf, money, u"#####"_s},
        {std::numeric_limits<double>::quiet_NaN(), money, u"#####"_s},
        // Never a negative zero.
        {-0.0, money, u"0.00"_s},
        {-0.001, money, u"0.00"_s},
        {-0.4, number(0), u"0"_s},
        {-0.001, quantity, u"0"_s},
        // Quantities drop the zeros after the point, and the point with them.
        {12.5, quantity, u"12.5"_s},
        {1200, quantity, u"1,200"_s},
        // Half a unit of the last place shown goes away from zero, as the amount was stored
        // (1.005 is a little under 1.005 as a double).
        {1.005, money, u"1.01"_s},
        {-1.005, money, u"-1.01"_s},
        {2.675, money, u"2.68"_s},
        {1234567.895, money, u"1,234,567.90"_s},
        {1.00499999, money, u"1.00"_s},
        {2.5, number(0), u"3"_s},
        {-0.5, number(0), u"-1"_s},
        {12.345, quantity, u"12.35"_s},
        {0.0005, number(3), u"0.001"_s},
        // Blank only when zero as printed.
        {0.004, blank, QString()},
        {-0.004, blank, QString()},
        {0.006, blank, u"0.01"_s},
        {QDate(2026, 4, 5), date, u"05-Apr-2026"_s},
        {QDateTime(QDate(2026, 12, 6), QTime(13, 5)), date, u"06-Dec-2026"_s},
        {u"2026-07-01 00:00:00"_s, date, u"01-Jul-2026"_s},
        {u"not a date"_s, date, u"not a date"_s},
        {QVariant(), date, QString()},
        {u"1234.5"_s, money, u"1,234.50"_s}, // a stored number
        {u"n/a"_s, money, u"n/a"_s},
        // A number shown as text: as stored, without grouping or noise in the last digits.
        {0.1 + 0.2, text, u"0.3"_s},
        {1234567.0, text, u"1234567"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ValueFormatter::format(c.value, c.format), c.expected)
            << c.value.toString().toStdString();
}

// Totals are kept as whole units of the last place their lines show and printed at the
// total's own decimals.
TEST(ValueFormatter, PrintsTotalsHeldAsWholeUnits)
{
    const ValueFormat money{.kind = ValueFormat::Kind::Number, .decimals = 2};
    const ValueFormat quantity{.kind = ValueFormat::Kind::Number, .decimals = 2, .trimZeros = true};
    const ValueFormat blank{.kind = ValueFormat::Kind::Number, .decimals = 2, .blankZero = true};
    const ValueFormat whole{.kind = ValueFormat::Kind::Number, .decimals = 0};
    const struct
    {
        std::optional<qint64> units;
        int decimals;
        ValueFormat format;
        QString expected;
    } cases[] = {
        {303, 2, money, u"3.03"_s},
        {-303, 2, money, u"-3.03"_s},
        {7, 2, money, u"0.07"_s},
        {-7, 2, money, u"-0.07"_s},
        {1234567890, 2, money, u"12,345,678.90"_s},
        {5, 0, money, u"5.00"_s},
        {12345, 3, money, u"12.35"_s},
        {-12345, 3, money, u"-12.35"_s},
        {250, 2, whole, u"3"_s},
        {1250, 2, quantity, u"12.5"_s},
        {0, 2, blank, QString()},
        {1, 2, blank, u"0.01"_s},
        {std::nullopt, 2, money, u"#####"_s},
        {std::numeric_limits<qint64>::max(), 0, money, u"#####"_s}, // no room for the cents
        {std::numeric_limits<qint64>::min() + 1, 2, money, u"-92,233,720,368,547,758.07"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ValueFormatter::figure(c.units, c.decimals, c.format), c.expected)
            << c.units.value_or(-1) << " at " << c.decimals;
}
