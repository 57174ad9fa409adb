#include "criteria/ReportContext.h"

#include "host/PeriodDefaults.h"

ReportContext::ReportContext(SharedConnection &connection, PreviewSlot &preview)
    : m_connection(connection), m_preview(preview)
{
}

ReportContext::~ReportContext() = default;

PeriodDefaults &ReportContext::periodDefaults()
{
    if (!m_periodDefaults)
        m_periodDefaults = std::make_unique<PeriodDefaults>(m_connection);
    return *m_periodDefaults;
}
