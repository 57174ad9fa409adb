#pragma once

#include "reports/ReportDefinition.h"

// Company/sector-wise sale: for one company (Products.CompanyId), per product and per sector
// of the customers, the net quantity and net value of the sales less the returns of a period.
class CompanySectorWiseSaleReport : public ReportDefinition
{
public:
    [[nodiscard]] static const CompanySectorWiseSaleReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;
    [[nodiscard]] const PeriodComparison::Design *comparison() const override;
    // Preview wants a company; both Preview and Print refuse a From date after the To date.
    [[nodiscard]] std::optional<Refusal> refusal(const ReportCriteria &criteria,
                                                 ReportAction action) const override;

    // Parameter fields 1 to 3: company, sector, period.
    [[nodiscard]] static QStringList parameterTexts(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    CompanySectorWiseSaleReport();
};
