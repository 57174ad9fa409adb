#pragma once

#include "reports/ReportDefinition.h"
#include "db/Recordset.h"

#include <memory>

class Connection;
class Report;

// A report built without its window, as the command line and drill-down build it. Each id
// given is looked up as leaving its box would, so that the texts show the names its window
// shows; then the report's refusals, its query and its preparation run as in the window.
class HeadlessReport
{
public:
    enum class Outcome {
        Built,   // report() is ready
        Refused, // the criteria were refused: message() says why
        Empty    // nothing found: message() is the report's answer to that
    };

    HeadlessReport(const ReportDefinition &definition, ReportCriteria criteria,
                   const Connection &connection);
    ~HeadlessReport();

    // Builds; database and report failures are thrown as Failure.
    Outcome build(ReportAction action = ReportAction::Preview);

    [[nodiscard]] const ReportCriteria &criteria() const { return m_criteria; }
    [[nodiscard]] const Refusal &message() const { return m_message; }
    [[nodiscard]] const Recordset &rows() const { return m_rows; }
    [[nodiscard]] const QString &sqlText() const { return m_sql; }
    [[nodiscard]] Report *report() const { return m_report.get(); }
    [[nodiscard]] std::unique_ptr<Report> takeReport() { return std::move(m_report); }

    // The names a window shows beside the ids given: each id looked up (a name already given
    // is kept); an id that is not found leaves the name box as its change rule leaves it.
    static void lookUpNames(const ReportDefinition &definition, ReportCriteria &criteria,
                            const Connection &connection);

private:
    const ReportDefinition &m_definition;
    ReportCriteria m_criteria;
    const Connection &m_connection;
    Refusal m_message;
    Recordset m_rows;
    QString m_sql;
    std::unique_ptr<Report> m_report;
};
