#pragma once

#include "criteria/CriteriaWindow.h"

// The company/sector-wise sale's window: the period, a company (required) and a sector.
class RptCompanySectorWiseSale : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptCompanySectorWiseSale(ReportContext &context);
};
