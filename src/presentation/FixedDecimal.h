#pragma once

#include <QtGlobal>
#include <optional>

// Amounts as a report prints them: a figure rounded to the decimals shown, held as a whole
// number of the smallest unit shown (cents, for two decimals), so that totals add up exactly
// to the figures printed above them on any number of rows.
class FixedDecimal
{
public:
    // The value rounded half away from zero to `decimals` places (0 to 9), in units of the
    // last place shown. The rounding is that of the value as written with 15 significant
    // digits (what the database stored), so 1.005 rounds to 1.01 although the nearest double
    // lies just below it. Nothing for infinity, NaN or a value too large for the units.
    [[nodiscard]] static std::optional<qint64> units(double value, int decimals);

    // The same units at other decimals: more decimals exactly, fewer rounded half away from
    // zero. Nothing when the result would not fit.
    [[nodiscard]] static std::optional<qint64> rescaled(qint64 units, int from, int to);

    [[nodiscard]] static double toDouble(qint64 units, int decimals);

    // 10^n for n from 0 to 18.
    [[nodiscard]] static qint64 power(int n);
};
