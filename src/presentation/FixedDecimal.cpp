#include "presentation/FixedDecimal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kSignificant = 15; // digits a double holds for any decimal written with them
constexpr double kUnitsLimit = 9.0e18;

// Divides, rounding half away from zero.
qint64 divideRounded(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor, remainder = value % divisor;
    if (std::llabs(remainder) * 2 >= divisor)
        return quotient + (value < 0 ? -1 : 1);
    return quotient;
}

// A value near a half unit: rounded as its 15-digit decimal, digit by digit.
std::optional<qint64> unitsOfDecimal(double value, int decimals)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", kSignificant - 1, value);
    // d.dddddddddddddde[+-]x
    qint64 mantissa = 0;
    const char *p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    for (; *p && *p != 'e'; ++p) {
        if (*p != '.')
            mantissa = mantissa * 10 + (*p - '0');
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    if (negative)
        mantissa = -mantissa;
    const int shift = exponent - (kSignificant - 1) + decimals;
    if (shift >= 0)
        return FixedDecimal::rescaled(mantissa, 0, shift);
    if (shift < -18)
        return 0;
    return divideRounded(mantissa, FixedDecimal::power(-shift));
}

} // namespace

qint64 FixedDecimal::power(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

std::optional<qint64> FixedDecimal::units(double value, int decimals)
{
    const double scaled = value * double(power(decimals));
    if (!std::isfinite(scaled) || std::fabs(scaled) >= kUnitsLimit)
        return std::nullopt;
    // Far from a half unit the double's own rounding is the decimal's; near one, the few ulps
    // between the stored decimal and its double decide, so the decimal is read digit by digit.
    const double magnitude = std::fabs(scaled);
    const double fraction = magnitude - std::floor(magnitude);
    const double tolerance = std::max(1.0, magnitude) * 0x1p-44;
    if (std::fabs(fraction - 0.5) > tolerance)
        return qint64(std::round(scaled));
    return unitsOfDecimal(value, decimals);
}

std::optional<qint64> FixedDecimal::rescaled(qint64 units, int from, int to)
{
    if (to < from)
        return from - to > 18 ? 0 : divideRounded(units, power(from - to));
    qint64 result = units;
    for (int k = from; k < to; ++k) {
        if (__builtin_mul_overflow(result, qint64(10), &result))
            return std::nullopt;
    }
    return result;
}

double FixedDecimal::toDouble(qint64 units, int decimals)
{
    // Dividing rather than multiplying by 10^-n gives the double nearest the decimal.
    return double(units) / double(power(decimals));
}
