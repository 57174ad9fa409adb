#pragma once

#include "criteria/CriteriaWindow.h"

// The product sale-return ledger's window: the period and one product, which must be found.
class RptProductSaleReturnLedger : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptProductSaleReturnLedger(ReportContext &context);
};
