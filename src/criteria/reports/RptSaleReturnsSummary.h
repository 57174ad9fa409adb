#pragma once

#include "criteria/CriteriaWindow.h"

// The sale returns summary's window: the period, a customer, a sector and a town.
class RptSaleReturnsSummary : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptSaleReturnsSummary(ReportContext &context);
};
