#include "presentation/ValueFormatter.h"

#include "presentation/FixedDecimal.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int kWidestUnits = 9; // decimals a figure is held at as whole units

// A figure too large for whole units: as the double prints, without exactness.
QString plainDigits(double value, int decimals)
{
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
    return QString::fromLatin1(digits);
}

} // namespace

QString ValueFormatter::number(double value, const ValueFormat &format)
{
    if (!std::isfinite(value))
        return u"#####"_s;
    const int decimals = std::clamp(format.decimals, 0, kWidestUnits);
    if (const std::optional<qint64> units = FixedDecimal::units(value, decimals))
        return figure(*units, decimals, format);
    return grouped(plainDigits(value, decimals), format);
}

QString ValueFormatter::figure(std::optional<qint64> units, int unitDecimals,
                               const ValueFormat &format)
{
    const int decimals = std::clamp(format.decimals, 0, kWidestUnits);
    if (units)
        units = FixedDecimal::rescaled(*units, unitDecimals, decimals);
    if (!units)
        return u"#####"_s;
    if (format.blankZero && *units == 0)
        return QString();
    const bool negative = *units < 0;
    // The magnitude's digits, at least one before the point.
    QString digits = QString::number(negative ? -quint64(*units) : quint64(*units));
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
    if (decimals > 0)
        digits.insert(digits.size() - decimals, u'.');
    return grouped(negative ? u'-' + digits : digits, format);
}

// Plain digits ("-1234567.50") with thousands separators, and the zeros after the point
// dropped where the layout asks.
QString ValueFormatter::grouped(const QString &plain, const ValueFormat &format)
{
    const bool negative = plain.startsWith(u'-');
    const QString digits = negative ? plain.mid(1) : plain;
    const qsizetype point = digits.indexOf(u'.');
    const qsizetype integerLength = point >= 0 ? point : digits.size();

    QString out;
    out.reserve(digits.size() + digits.size() / 3 + 2);
    if (negative)
        out += u'-';
    for (qsizetype i = 0; i < integerLength; ++i) {
        if (i > 0 && (integerLength - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    if (point >= 0) {
        QStringView decimals = QStringView(digits).mid(point + 1);
        if (format.trimZeros) {
            while (decimals.endsWith(u'0'))
                decimals.chop(1);
        }
        if (!decimals.isEmpty())
            out += u'.' + decimals;
    }
    return out;
}

QString ValueFormatter::date(const QVariant &value, const QString &pattern)
{
    QDate d;
    if (value.typeId() == QMetaType::QDate)
        d = value.toDate();
    else if (value.typeId() == QMetaType::QDateTime)
        d = value.toDateTime().date();
    else
        d = QDate::fromString(value.toString().left(10), Qt::ISODate);
    return d.isValid() ? d.toString(pattern) : value.toString();
}

QString ValueFormatter::format(const QVariant &value, const ValueFormat &format)
{
    if (value.isNull())
        return QString();
    switch (format.kind) {
    case ValueFormat::Kind::Number: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? number(d, format) : value.toString();
    }
    case ValueFormat::Kind::Date:
        return date(value, format.datePattern);
    case ValueFormat::Kind::Text:
        break;
    }
    if (value.typeId() == QMetaType::Double) {
        ValueFormat plain;
        plain.decimals = 6;
        plain.trimZeros = true;
        const QString s = number(value.toDouble(), plain);
        return s.isEmpty() ? u"0"_s : QString(s).remove(u',');
    }
    return value.toString();
}
