#pragma once

#include "criteria/CriteriaWindow.h"
#include "criteria/reports/SalesRegisterReport.h"

// The sales register's window: the period, a customer, a sector, a town and an invoice-number
// range.
class RptSalesRegister : public CriteriaWindow
{
    Q_OBJECT
public:
    RptSalesRegister(const ReportEntry &entry, ReportContext &context);

    [[nodiscard]] SalesRegisterReport::Criteria criteria() const;

protected:
    QString composeQuery() override;
    std::unique_ptr<Report> prepareReport() override;
};
