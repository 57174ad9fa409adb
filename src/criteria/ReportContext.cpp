#include "criteria/ReportContext.h"

#include "lookup/LookupDialogs.h"

ReportContext::ReportContext(SharedConnection &connection, PreviewSlot &preview)
    : m_connection(connection), m_preview(preview),
      m_lookups(std::make_unique<LookupDialogs>(connection))
{
}

ReportContext::~ReportContext() = default;

QDate ReportContext::periodStart() const
{
    if (m_periodStart)
        return m_periodStart();
    return QDate(QDate::currentDate().year(), 1, 1);
}
