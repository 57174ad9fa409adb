#include "host/PeriodDefaults.h"

#include "db/CompanyRegistry.h"
#include "db/Connection.h"
#include "db/Failure.h"

using namespace Qt::StringLiterals;

QDate PeriodDefaults::PeriodStartDate() const
{
    const QDate fallback(QDate::currentDate().year(), 1, 1);
    try {
        const std::optional<QVariant> stored =
            CompanyRegistry::value(m_connection, u"periodstart"_s);
        if (!stored)
            return fallback;
        const QVariant &value = *stored;
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
            return value.toDate();
        const QString text = value.toString().trimmed();
        for (const QString &format : {u"yyyy-MM-dd"_s, u"dd/MM/yyyy"_s, u"yyyyMMdd"_s}) {
            const QDate d = QDate::fromString(text.left(format.size()), format);
            if (d.isValid())
                return d;
        }
    } catch (const Failure &) {
        // A company without the row, or without a registry: the calendar year it is.
    }
    return fallback;
}

std::function<QDate()> PeriodDefaults::of(const Connection &connection)
{
    return [&connection] { return PeriodDefaults(connection).PeriodStartDate(); };
}
