#include "catalogue/Reports.h"

#include "criteria/ReportContext.h"
#include "criteria/reports/RptCompanySectorWiseSale.h"
#include "criteria/reports/RptCompanyWiseSale.h"
#include "criteria/reports/RptCustomerTownSectorWiseSales.h"
#include "criteria/reports/RptProductSaleReturnLedger.h"
#include "criteria/reports/RptProductSalesLedger.h"
#include "criteria/reports/RptProductWiseSales.h"
#include "criteria/reports/RptSaleReturnRegister.h"
#include "criteria/reports/RptSaleReturnsSummary.h"
#include "criteria/reports/RptSalesRegister.h"
#include "criteria/reports/RptSalesStockStatement.h"
#include "criteria/reports/RptSalesSummary.h"
#include "db/SharedConnection.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"

#include <stdexcept>

Reports::Reports()
    : m_connection(std::make_unique<SharedConnection>()),
      m_preview(std::make_unique<PreviewSlot>()),
      m_context(std::make_unique<ReportContext>(*m_connection, *m_preview))
{
}

Reports::~Reports()
{
    // Windows first: they refer to the context, the slot and the connection.
    for (auto &w : m_windows)
        w.reset();
    m_preview.reset();
}

void Reports::InitializeClass(Connection &Con, PeriodStart periodStart)
{
    m_connection->set(&Con);
    m_context->setPeriodStart(std::move(periodStart));
}

std::unique_ptr<ReportWindow> Reports::createWindow(ReportKind kind)
{
    switch (kind) {
    case ReportKind::SalesRegister:
        return std::make_unique<RptSalesRegister>(*m_context);
    case ReportKind::CompanyWiseSale:
        return std::make_unique<RptCompanyWiseSale>(*m_context);
    case ReportKind::CompanySectorWiseSale:
        return std::make_unique<RptCompanySectorWiseSale>(*m_context);
    case ReportKind::ProductWiseSales:
        return std::make_unique<RptProductWiseSales>(*m_context);
    case ReportKind::SalesSummary:
        return std::make_unique<RptSalesSummary>(*m_context);
    case ReportKind::SaleReturnRegister:
        return std::make_unique<RptSaleReturnRegister>(*m_context);
    case ReportKind::SaleReturnsSummary:
        return std::make_unique<RptSaleReturnsSummary>(*m_context);
    case ReportKind::CustomerTownSectorWiseSales:
        return std::make_unique<RptCustomerTownSectorWiseSales>(*m_context);
    case ReportKind::ProductSalesLedger:
        return std::make_unique<RptProductSalesLedger>(*m_context);
    case ReportKind::ProductSaleReturnLedger:
        return std::make_unique<RptProductSaleReturnLedger>(*m_context);
    case ReportKind::SalesStockStatement:
        return std::make_unique<RptSalesStockStatement>(*m_context);
    }
    throw std::logic_error("unknown report");
}

void Reports::launch(ReportKind kind)
{
    std::unique_ptr<ReportWindow> &slot = m_windows[size_t(kind)];
    if (!slot)
        slot = createWindow(kind);
    slot->launch();
}

ReportWindow *Reports::window(ReportKind kind) const
{
    return m_windows[size_t(kind)].get();
}

PreviewSlot &Reports::preview()
{
    return *m_preview;
}

ReportContext &Reports::context()
{
    return *m_context;
}

void Reports::SalesStockStatement()
{
    launch(ReportKind::SalesStockStatement);
}
void Reports::SalesRegister()
{
    launch(ReportKind::SalesRegister);
}
void Reports::SalesSummary()
{
    launch(ReportKind::SalesSummary);
}
void Reports::ProductSalesLedger()
{
    launch(ReportKind::ProductSalesLedger);
}
void Reports::ProductWiseSales()
{
    launch(ReportKind::ProductWiseSales);
}
void Reports::CompanySectorWiseSale()
{
    launch(ReportKind::CompanySectorWiseSale);
}
void Reports::CompanyWiseSale()
{
    launch(ReportKind::CompanyWiseSale);
}
void Reports::CustomerTownSectorWiseSales()
{
    launch(ReportKind::CustomerTownSectorWiseSales);
}
void Reports::ProductSaleReturnLedger()
{
    launch(ReportKind::ProductSaleReturnLedger);
}
void Reports::SaleReturnsSummary()
{
    launch(ReportKind::SaleReturnsSummary);
}
void Reports::SaleReturnRegister()
{
    launch(ReportKind::SaleReturnRegister);
}
