#pragma once

#include <QDate>
#include <functional>
#include <memory>

class LookupDialogs;
class PreviewSlot;
class SharedConnection;

// The host's answer to "where does the current period start?", the default From date of
// every report window. The host hands it over with its connection.
using PeriodStart = std::function<QDate()>;

// What every report window shares, owned by the Reports object: the host's connection and
// period start, the preview window slot and the lookup dialogs.
class ReportContext
{
public:
    ReportContext(SharedConnection &connection, PreviewSlot &preview);
    ~ReportContext();

    [[nodiscard]] SharedConnection &connection() { return m_connection; }
    [[nodiscard]] PreviewSlot &preview() { return m_preview; }
    [[nodiscard]] LookupDialogs &lookups() { return *m_lookups; }
    // The period start the host gave; the first day of this year when it gave none.
    [[nodiscard]] QDate periodStart() const;
    void setPeriodStart(PeriodStart periodStart) { m_periodStart = std::move(periodStart); }

private:
    SharedConnection &m_connection;
    PreviewSlot &m_preview;
    std::unique_ptr<LookupDialogs> m_lookups;
    PeriodStart m_periodStart;
};
