#include "reports/SqlDateRange.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

QDate SqlDateRange::first()
{
    return {1753, 1, 1};
}

QDate SqlDateRange::last()
{
    return {9999, 12, 31};
}

bool SqlDateRange::contains(QDate date)
{
    return date.isValid() && date >= first() && date <= last();
}

QDate SqlDateRange::parse(const QString &text)
{
    // Qt reads a sign or a fifth digit into a year ("-0001-01-01"): four digits only.
    static const QRegularExpression shape(u"^[0-9]{4}-[0-9]{2}-[0-9]{2}$"_s);
    if (!shape.match(text).hasMatch())
        return {};
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd"_s);
    return contains(date) ? date : QDate();
}
