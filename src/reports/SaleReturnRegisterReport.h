#pragma once

#include "reports/ReportDefinition.h"

// The sale return register: every line of the customers' sale returns of a period, with the
// return's header figures, for one customer, sector and town when given, within a range of
// return numbers.
class SaleReturnRegisterReport : public ReportDefinition
{
public:
    [[nodiscard]] static const SaleReturnRegisterReport &instance();

    [[nodiscard]] QString query(const ReportCriteria &criteria, SqlDialect dialect) const override;

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SaleReturnRegisterReport();
};
