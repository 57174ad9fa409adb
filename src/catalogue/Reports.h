#pragma once

#include "reports/ReportCatalog.h"
#include "criteria/ReportContext.h"

#include <QObject>
#include <array>
#include <memory>

class Connection;
class PreviewSlot;
class ReportContext;
class ReportWindow;
class SharedConnection;

// The component's entry point. The host creates one, hands it its open connection with
// InitializeClass, and calls a launch operation when its user picks a report. Each launch
// opens that report's criteria window, modeless, and returns at once. The object owns every
// window it creates (one per kind, kept after the window is closed) and the preview window
// slot; all go when it goes.
class Reports
{
public:
    Reports();
    ~Reports();
    Reports(const Reports &) = delete;
    Reports &operator=(const Reports &) = delete;

    // Keeps a reference to the host's connection (not a copy): every later query of every
    // window runs on it. A later call replaces it. The host also says where its current
    // period starts (the windows' default From date); without it, the year's first day.
    void InitializeClass(Connection &Con, PeriodStart periodStart = {});

    void SalesStockStatement();
    void SalesRegister();
    void SalesSummary();
    void ProductSalesLedger();
    void ProductWiseSales();
    void CompanySectorWiseSale();
    void CompanyWiseSale();
    void CustomerTownSectorWiseSales();
    void ProductSaleReturnLedger();
    void SaleReturnsSummary();
    void SaleReturnRegister();

    void launch(ReportKind kind);
    // The window in that report's slot; nullptr until the report is first launched.
    [[nodiscard]] ReportWindow *window(ReportKind kind) const;
    [[nodiscard]] PreviewSlot &preview();
    [[nodiscard]] ReportContext &context();

private:
    std::unique_ptr<ReportWindow> createWindow(ReportKind kind);

    std::unique_ptr<SharedConnection> m_connection;
    std::unique_ptr<PreviewSlot> m_preview;
    std::unique_ptr<ReportContext> m_context;
    std::array<std::unique_ptr<ReportWindow>, ReportCatalog::count> m_windows;
};
