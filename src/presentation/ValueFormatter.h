#pragma once

#include "presentation/ReportLayout.h"

#include <QString>
#include <QVariant>

// Values as a report prints them: amounts right-aligned by the layout, with thousands
// separators and a fixed number of decimals (1,234,567.50); dates in the layout's pattern,
// whether the database gave a date or ISO text.
class ValueFormatter
{
public:
    [[nodiscard]] static QString format(const QVariant &value, const ValueFormat &format);
    [[nodiscard]] static QString number(double value, const ValueFormat &format);
    [[nodiscard]] static QString date(const QVariant &value, const QString &pattern);
};
