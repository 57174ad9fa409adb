#pragma once

#include "criteria/CriteriaWindow.h"

// The product sales ledger's window: the period and one product, which must be found.
class RptProductSalesLedger : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptProductSalesLedger(ReportContext &context);
};
