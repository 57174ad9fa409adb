#pragma once

#include <memory>

class LookupDialogs;
class PeriodDefaults;
class PreviewSlot;
class SharedConnection;

// What every report window shares, owned by the Reports object: the host's connection, the
// preview window slot, the lookup dialogs and the host's period component (made on first use).
class ReportContext
{
public:
    ReportContext(SharedConnection &connection, PreviewSlot &preview);
    ~ReportContext();

    [[nodiscard]] SharedConnection &connection() { return m_connection; }
    [[nodiscard]] PreviewSlot &preview() { return m_preview; }
    [[nodiscard]] LookupDialogs &lookups() { return *m_lookups; }
    [[nodiscard]] PeriodDefaults &periodDefaults();

private:
    SharedConnection &m_connection;
    PreviewSlot &m_preview;
    std::unique_ptr<LookupDialogs> m_lookups;
    std::unique_ptr<PeriodDefaults> m_periodDefaults;
};
