#pragma once

#include <QDate>

class SharedConnection;

// The host's period component: the start of the current financial period, the default From
// date of every report window. It is the registry row periodstart where the company keeps
// one (as yyyy-MM-dd or dd/MM/yyyy), otherwise the first day of the current year.
class PeriodDefaults
{
public:
    explicit PeriodDefaults(const SharedConnection &connection) : m_connection(connection) {}

    [[nodiscard]] QDate PeriodStartDate() const;

private:
    const SharedConnection &m_connection;
};
