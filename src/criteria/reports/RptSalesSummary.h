#pragma once

#include "criteria/CriteriaWindow.h"

// The sales summary's window: the period, a customer, a sector and a town.
class RptSalesSummary : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptSalesSummary(ReportContext &context);
};
