#pragma once

#include "reports/ReportDefinition.h"

// Company-wise sale: per company (the first two characters of the product id), the sales and
// the sale returns of a period, tax included, for one customer, town and sector when given.
class CompanyWiseSaleReport : public ReportDefinition
{
public:
    [[nodiscard]] static const CompanyWiseSaleReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;
    [[nodiscard]] const PeriodComparison::Design *comparison() const override;
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

    // The customer, town and sector clauses that close both the sales and the returns branch.
    [[nodiscard]] static QString filter(const ReportCriteria &criteria);
    // Parameter fields 1 to 4: the period, then customer, town and sector with their names.
    [[nodiscard]] static QStringList parameterTexts(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    CompanyWiseSaleReport();
};
