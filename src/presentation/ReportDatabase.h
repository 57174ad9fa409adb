#pragma once

class Recordset;
class Report;

// A report's database: binding a result set makes it the report's data source.
class ReportDatabase
{
public:
    explicit ReportDatabase(Report &report) : m_report(report) {}

    // Binds the result set's rows (those its filter lets through, in order) to the report.
    // With a data tag (3, a result set) and table number (1, the report's only table) or
    // without them, the binding is the same. Fields are matched to result columns by name,
    // without regard to case; a column the result set lacks is a Failure naming it. The rows
    // are shared with the report, which keeps them while it is used.
    void SetDataSource(const Recordset &recordset, int dataTag = 0, int tableNumber = 0);

private:
    Report &m_report;
};
