#pragma once

#include "presentation/ReportLayout.h"

#include <QString>
#include <QVariant>
#include <optional>

// Values as a report prints them: amounts right-aligned by the layout, with thousands
// separators and a fixed number of decimals (1,234,567.50); dates in the layout's pattern,
// whether the database gave a date or ISO text.
class ValueFormatter
{
public:
    [[nodiscard]] static QString format(const QVariant &value, const ValueFormat &format);
    // A figure rounded half away from zero to the format's decimals (FixedDecimal), so that
    // a total of the printed figures prints what they add up to.
    [[nodiscard]] static QString number(double value, const ValueFormat &format);
    // A figure held as whole units of `unitDecimals` places (a total), at the format's
    // decimals; "#####" for nothing (a total that could not be kept).
    [[nodiscard]] static QString figure(std::optional<qint64> units, int unitDecimals,
                                        const ValueFormat &format);
    [[nodiscard]] static QString date(const QVariant &value, const QString &pattern);

private:
    static QString grouped(const QString &plain, const ValueFormat &format);
};
