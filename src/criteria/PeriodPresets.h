#pragma once

#include <QDate>
#include <QString>
#include <vector>

// The periods an accountant asks for most, counted from the company's financial year: its
// start day and month are those of the period start the host gives. Months are calendar
// months; quarters are quarters of the financial year. Periods still running end today.
class PeriodPresets
{
public:
    struct Period
    {
        QString caption;
        QDate from;
        QDate to;
    };

    [[nodiscard]] static std::vector<Period> at(QDate today, QDate periodStart);
    // The first day of the financial year that holds today.
    [[nodiscard]] static QDate yearStart(QDate today, QDate periodStart);
};
