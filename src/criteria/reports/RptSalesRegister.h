#pragma once

#include "criteria/CriteriaWindow.h"

// The sales register's window: the period, a customer, a sector, a town and an invoice-number
// range.
class RptSalesRegister : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptSalesRegister(ReportContext &context);
};
