#include "reports/HeadlessReport.h"

#include "reports/IdLookup.h"
#include "db/Connection.h"
#include "presentation/Report.h"

HeadlessReport::HeadlessReport(const ReportDefinition &definition, ReportCriteria criteria,
                               const Connection &connection, const ReportPrinting *printing)
    : m_definition(definition), m_criteria(std::move(criteria)), m_connection(connection),
      m_printing(printing)
{
}

HeadlessReport::~HeadlessReport() = default;

void HeadlessReport::lookUpNames(const ReportDefinition &definition, ReportCriteria &criteria,
                                 const Connection &connection)
{
    for (const CriteriaField &f : definition.fields()) {
        if (!f.isIdBox() || criteria.names.contains(f.key))
            continue;
        const QString id = criteria.text(f.key);
        QString name = f.initialName();
        if (!id.isEmpty()) {
            Recordset found;
            found.open(IdLookup::query(f, id), connection);
            if (found.recordCount() > 0)
                name = found.field(IdLookup::nameField(f.lookup)).toString();
        }
        criteria.names.insert(f.key, name);
    }
}

HeadlessReport::Outcome HeadlessReport::build(ReportAction action)
{
    lookUpNames(m_definition, m_criteria, m_connection);
    if (std::optional<Refusal> refused = m_definition.refusal(m_criteria, action)) {
        m_message = *refused;
        return Outcome::Refused;
    }
    m_sql = m_definition.query(m_criteria, m_connection.dialect());
    m_definition.openRows(m_rows, m_criteria, m_connection);
    if (m_rows.recordCount() == 0) {
        m_message = m_definition.emptyResult();
        return Outcome::Empty;
    }
    m_report = m_definition.makeReport(m_criteria, m_rows, m_connection, m_printing);
    return Outcome::Built;
}
