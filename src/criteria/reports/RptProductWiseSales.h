#pragma once

#include "criteria/CriteriaWindow.h"

// The product-wise sales' window: the period, a company, a customer, a town and a sector.
class RptProductWiseSales : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptProductWiseSales(ReportContext &context);
};
