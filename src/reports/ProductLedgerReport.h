#pragma once

#include "reports/ReportDefinition.h"

// What the two product ledgers share: one product, which must be given and found, and the
// product line they print.
class ProductLedgerReport : public ReportDefinition
{
public:
    // One product's lines of the period, each with its document, customer, sector and town.
    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;

    // "Enter Product Code." for an empty code, "Product Code doesn't exist." while no look-up
    // has found it; the focus goes back to the code box.
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

    // "Product : " + the code + three blanks + the name, both as they stand.
    [[nodiscard]] static QString productText(const ReportCriteria &criteria);

protected:
    // What the ledger's query reads: its document's columns, the document and its lines
    // (aliased `document` and `line`), the document's date and the order of its lines.
    struct Source
    {
        QString columns, tables, document, line, date, order;
    };
    explicit ProductLedgerReport(Source source);

private:
    Source m_source;
};
