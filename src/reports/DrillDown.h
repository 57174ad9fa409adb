#pragma once

#include "reports/ReportCriteria.h"

#include <memory>
#include <optional>

class Connection;
class Report;
class ReportDefinition;
class ReportPrinting;
class ResultTable;

// From a row of a summary report to the lines behind it: which detail report, with which
// criteria (the summary's period, the row's key and every criterion of the summary the detail
// has a box for), and in words what the link leads to and which criteria it cannot apply.
struct DrillTarget
{
    const ReportDefinition *detail;
    ReportCriteria criteria;
    QString description; // the tooltip
};

namespace DrillDown {

// Where the row of a summary's rows leads (or the figure in one column of it, for a summary
// whose links are per figure); nothing for reports that lead nowhere, or a row without a key.
[[nodiscard]] std::optional<DrillTarget> target(const ReportDefinition &summary,
                                                const ReportCriteria &criteria,
                                                const ResultTable &rows, int row,
                                                const QString &column = {});

// Makes the summary report's rows (or their figures) links that build their detail report headless, through the
// detail's definition, as its window would build it, on the summary's own database: the links
// share the connection, which stays open while the report lives.
void attach(Report &report, const ReportDefinition &summary, const ReportCriteria &criteria,
            std::shared_ptr<const ResultTable> rows, const Connection &connection,
            const ReportPrinting *printing);

} // namespace DrillDown
