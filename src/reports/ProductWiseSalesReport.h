#pragma once

#include "reports/ReportDefinition.h"

// Product-wise sales: per product and sector of the customer, what the sales of a period sold
// and what was returned against those same sales, with the net; for one company (the first two
// characters of the product id), customer, town and sector when given.
class ProductWiseSalesReport : public ReportDefinition
{
public:
    [[nodiscard]] static const ProductWiseSalesReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;
    [[nodiscard]] const PeriodComparison::Design *comparison() const override;
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

    // The company, customer, town and sector clauses, in that order, each with two blanks
    // before it.
    [[nodiscard]] static QString filter(const ReportCriteria &criteria);
    // Sales billed in another sector than the customer's, or to a customer without an
    // account, are left out.
    [[nodiscard]] QString coverageRule() const override;
    // Parameter field 1: the period.
    [[nodiscard]] static QString periodText(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    ProductWiseSalesReport();
};
