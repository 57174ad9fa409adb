#pragma once

#include <QDate>
#include <functional>

class Connection;

// The host's period component: the start of the current financial period, the default From
// date of every report window. It is the registry row periodstart where the company keeps
// one (as yyyy-MM-dd or dd/MM/yyyy), otherwise the first day of the current year.
class PeriodDefaults
{
public:
    explicit PeriodDefaults(const Connection &connection) : m_connection(connection) {}

    [[nodiscard]] QDate PeriodStartDate() const;

    // The period start of that company's database, as the host hands it to the reports.
    [[nodiscard]] static std::function<QDate()> of(const Connection &connection);

private:
    const Connection &m_connection;
};
