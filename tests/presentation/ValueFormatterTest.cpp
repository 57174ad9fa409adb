#include "presentation/ValueFormatter.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

ValueFormat withDecimals(int decimals, bool trimZeros = false, bool blankZero = false)
{
    return ValueFormat{.kind = ValueFormat::Kind::Number,
                       .decimals = decimals,
                       .trimZeros = trimZeros,
                       .blankZero = blankZero};
}

ValueFormat money()
{
    return withDecimals(2);
}

struct Case
{
    double value;
    ValueFormat format;
    QString expected;
};

} // namespace

TEST(ValueFormatter, GroupsThousandsWithTheGivenDecimals)
{
    const std::vector<Case> cases = {
        {0, money(), u"0.00"_s},
        {7, money(), u"7.00"_s},
        {999.994, money(), u"999.99"_s},
        {999.996, money(), u"1,000.00"_s}, // rounding carries into a new group
        {1234, money(), u"1,234.00"_s},
        {12345.6, money(), u"12,345.60"_s},
        {123456.78, money(), u"123,456.78"_s},
        {1234567.891, money(), u"1,234,567.89"_s},
        {-1234567.5, money(), u"-1,234,567.50"_s},
        {-999, money(), u"-999.00"_s},
        {1234567, withDecimals(0), u"1,234,567"_s},
        {1234.5678, withDecimals(3), u"1,234.568"_s},
        // Quantities drop the zeros after the point, and the point with them.
        {12.5, withDecimals(2, true), u"12.5"_s},
        {1200, withDecimals(2, true), u"1,200"_s},
        {-0.25, withDecimals(2, true), u"-0.25"_s},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ValueFormatter::number(c.value, c.format), c.expected) << c.value;
}

TEST(ValueFormatter, ZeroIsBlankOnlyWhenAskedAndNeverNegative)
{
    const ValueFormat blank = withDecimals(2, false, true);
    EXPECT_EQ(ValueFormatter::number(0, blank), QString());
    EXPECT_EQ(ValueFormatter::number(0.004, blank), QString()); // zero as printed
    EXPECT_EQ(ValueFormatter::number(-0.004, blank), QString());
    EXPECT_EQ(ValueFormatter::number(0.006, blank), u"0.01"_s);
    EXPECT_EQ(ValueFormatter::number(-3, blank), u"-3.00"_s);

    EXPECT_EQ(ValueFormatter::number(-0.0, money()), u"0.00"_s);
    EXPECT_EQ(ValueFormatter::number(-0.001, money()), u"0.00"_s);
    EXPECT_EQ(ValueFormatter::number(-0.4, withDecimals(0)), u"0"_s);
    EXPECT_EQ(ValueFormatter::number(-0.001, withDecimals(2, true)), u"0"_s);
}

TEST(ValueFormatter, VeryLargeAndVerySmallValues)
{
    // The grand totals of a large database: billions, every figure and both decimals kept.
    EXPECT_EQ(ValueFormatter::number(9876543210.99, money()), u"9,876,543,210.99"_s);
    EXPECT_EQ(ValueFormatter::number(-12345678901.25, money()), u"-12,345,678,901.25"_s);
    EXPECT_EQ(ValueFormatter::number(1e15, money()), u"1,000,000,000,000,000.00"_s);
    EXPECT_EQ(ValueFormatter::number(1e-9, money()), u"0.00"_s);
    EXPECT_EQ(ValueFormatter::number(0.000001, withDecimals(6)), u"0.000001"_s);
    EXPECT_EQ(ValueFormatter::number(std::numeric_limits<double>::denorm_min(), money()),
              u"0.00"_s);
    EXPECT_EQ(ValueFormatter::number(std::numeric_limits<double>::infinity(), money()), u"#####"_s);
    EXPECT_EQ(ValueFormatter::number(std::numeric_limits<double>::quiet_NaN(), money()),
              u"#####"_s);
}

TEST(ValueFormatter, FormatsDatesTextsAndStoredNumbers)
{
    const ValueFormat date{.kind = ValueFormat::Kind::Date, .datePattern = u"dd-MMM-yyyy"_s};
    EXPECT_EQ(ValueFormatter::format(QDate(2026, 4, 5), date), u"05-Apr-2026"_s);
    EXPECT_EQ(ValueFormatter::format(QDateTime(QDate(2026, 12, 6), QTime(13, 5)), date),
              u"06-Dec-2026"_s);
    EXPECT_EQ(ValueFormatter::format(u"2026-07-01 00:00:00"_s, date), u"01-Jul-2026"_s);
    EXPECT_EQ(ValueFormatter::format(u"not a date"_s, date), u"not a date"_s);
    EXPECT_EQ(ValueFormatter::format(QVariant(), date), QString());

    EXPECT_EQ(ValueFormatter::format(u"1234.5"_s, money()), u"1,234.50"_s);
    EXPECT_EQ(ValueFormatter::format(u"n/a"_s, money()), u"n/a"_s);
    // A number shown as text: as stored, without grouping or noise in the last digits.
    const ValueFormat text;
    EXPECT_EQ(ValueFormatter::format(0.1 + 0.2, text), u"0.3"_s);
    EXPECT_EQ(ValueFormatter::format(1234567.0, text), u"1234567"_s);
    EXPECT_EQ(ValueFormatter::format(0.0, text), u"0"_s);
    EXPECT_EQ(ValueFormatter::format(u"C0317"_s, text), u"C0317"_s);
}
