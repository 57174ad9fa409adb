#pragma once

#include "reports/ReportDefinition.h"

// The sales register: every invoice line of a period, for one customer, sector and town when
// given, within a range of invoice numbers (open-ended unless a last number is typed). A
// summary's figure may narrow it further to one company's or one product's lines (the keys of
// StandardFields), which no box of its window offers.
class SalesRegisterReport : public ReportDefinition
{
public:
    [[nodiscard]] static const SalesRegisterReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;

    // The customer, sector and town clauses, each only for an id box that is not blank.
    [[nodiscard]] static QString clauses(const ReportCriteria &criteria);
    [[nodiscard]] QStringList drillCriteria(const ReportCriteria &criteria) const override;

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SalesRegisterReport();
};
