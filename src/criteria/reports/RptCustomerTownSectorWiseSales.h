#pragma once

#include "criteria/CriteriaWindow.h"

// The customer/town/sector-wise sales window: the period, a town, a sector, a customer and a
// company, the company picked with its button only.
class RptCustomerTownSectorWiseSales : public CriteriaWindow
{
    Q_OBJECT
public:
    explicit RptCustomerTownSectorWiseSales(ReportContext &context);
};
