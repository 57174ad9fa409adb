#include "criteria/ReportContext.h"

#include "host/PeriodDefaults.h"
#include "lookup/LookupDialogs.h"

ReportContext::ReportContext(SharedConnection &connection, PreviewSlot &preview)
    : m_connection(connection), m_preview(preview),
      m_lookups(std::make_unique<LookupDialogs>(connection))
{
}

ReportContext::~ReportContext() = default;

PeriodDefaults &ReportContext::periodDefaults()
{
    if (!m_periodDefaults)
        m_periodDefaults = std::make_unique<PeriodDefaults>(m_connection);
    return *m_periodDefaults;
}
