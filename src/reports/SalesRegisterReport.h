#pragma once

#include "reports/ReportDefinition.h"

// The sales register: every invoice line of a period, for one customer, sector and town when
// given, within a range of invoice numbers.
class SalesRegisterReport : public ReportDefinition
{
public:
    [[nodiscard]] static const SalesRegisterReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;

    // Invoice bounds as they enter the query: the number typed, or 1 and 99999.
    [[nodiscard]] static QString fromBound(const ReportCriteria &criteria);
    [[nodiscard]] static QString toBound(const ReportCriteria &criteria);
    // The customer, sector and town clauses, each only for an id box that is not blank.
    [[nodiscard]] static QString clauses(const ReportCriteria &criteria);
    // The range line of the report: "Invoiceno Between : 1 To 99999".
    [[nodiscard]] static QString invoiceText(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SalesRegisterReport();
};
