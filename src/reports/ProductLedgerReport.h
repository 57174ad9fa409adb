#pragma once

#include "reports/ReportDefinition.h"

// What the two product ledgers share: one product, which must be given and found, and the
// product line they print.
class ProductLedgerReport : public ReportDefinition
{
public:
    // "Enter Product Code." for an empty code, "Product Code doesn't exist." while no look-up
    // has found it; the focus goes back to the code box.
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

    // "Product : " + the code + three blanks + the name, both as they stand.
    [[nodiscard]] static QString productText(const ReportCriteria &criteria);

protected:
    explicit ProductLedgerReport(ReportKind kind);
};
