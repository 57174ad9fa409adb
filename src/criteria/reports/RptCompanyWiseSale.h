#pragma once

#include "criteria/CriteriaWindow.h"

// The company-wise sale's window: the period, a customer, a town and a sector.
class RptCompanyWiseSale : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptCompanyWiseSale(ReportContext &context);
};
