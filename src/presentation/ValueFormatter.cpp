#include "presentation/ValueFormatter.h"

#include <QDate>
#include <QDateTime>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

QString ValueFormatter::number(double value, const ValueFormat &format)
{
    if (!std::isfinite(value))
        return u"#####"_s;
    const double scale = std::pow(10.0, format.decimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0)
        rounded = 0; // no "-0.00"
    if (format.blankZero && rounded == 0)
        return QString();
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", format.decimals, std::fabs(rounded));
    const char *point = std::strchr(digits, '.');
    const size_t integerLength = point ? size_t(point - digits) : std::strlen(digits);

    QString out;
    out.reserve(32);
    if (rounded < 0)
        out += u'-';
    for (size_t i = 0; i < integerLength; ++i) {
        if (i > 0 && (integerLength - i) % 3 == 0)
            out += u',';
        out += QLatin1Char(digits[i]);
    }
    if (point) {
        QString decimals = QString::fromLatin1(point + 1);
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
