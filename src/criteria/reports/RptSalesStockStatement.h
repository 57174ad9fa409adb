#pragma once

#include "criteria/CriteriaWindow.h"

// The sales and stock statement's window: the period and a company.
class RptSalesStockStatement : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptSalesStockStatement(ReportContext &context);
};
