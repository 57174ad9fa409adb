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

    // " And r.salereturnid between 1 and 99999": the number at the start of each range box,
    // or 1 and 99999 for a blank one.
    [[nodiscard]] static QString rangeClause(const ReportCriteria &criteria);
    // "Invoiceno Between : 12a To 99999": the range boxes as typed, or 1 and 99999.
    [[nodiscard]] static QString invoiceText(const ReportCriteria &criteria);

protected:
    void prepare(Report &report, const ReportCriteria &criteria, const Recordset &rows,
                 const Connection &connection) const override;

private:
    SaleReturnRegisterReport();
};
