#pragma once

#include "reports/ReportCatalog.h"
#include "reports/ReportCriteria.h"

#include <memory>
#include <optional>

class Connection;
class Report;
class ReportDefinition;
class ResultTable;

// From a row of a summary report to the lines behind it: which detail report, with which
// criteria (the summary's period and the row's key), and in words what the link leads to.
struct DrillTarget
{
    ReportKind detail;
    ReportCriteria criteria;
    QString description; // the tooltip
};

namespace DrillDown {

// Where the row of a summary's rows leads; nothing for reports that lead nowhere, or a row
// without a key.
[[nodiscard]] std::optional<DrillTarget> target(ReportKind summary, const ReportCriteria &criteria,
                                                const ResultTable &rows, int row);

// Makes the summary report's rows links that build their detail report headless, through the
// detail's definition, as its window would build it.
void attach(Report &report, ReportKind summary, const ReportCriteria &criteria,
            std::shared_ptr<const ResultTable> rows, const Connection &connection);

} // namespace DrillDown
