#pragma once

#include <QDate>
#include <QString>

// The dates a report's period may take: those SQL Server's datetime holds, 1753-01-01 to
// 9999-12-31, whichever database is read, so that a period that works on one works on all.
class SqlDateRange
{
public:
    [[nodiscard]] static QDate first();
    [[nodiscard]] static QDate last();
    [[nodiscard]] static bool contains(QDate date);
    // A date typed as YYYY-MM-DD within the range; an invalid date otherwise.
    [[nodiscard]] static QDate parse(const QString &text);
};
