#pragma once

#include "criteria/CriteriaWindow.h"

// The sale return register's window: the period, a customer, a sector, a town and a range of
// return numbers typed as free text.
class RptSaleReturnRegister : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptSaleReturnRegister(ReportContext &context);
};
