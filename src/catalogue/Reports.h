#pragma once

#include "criteria/ReportContext.h"
#include "reports/ReportCatalog.h"

#include <QObject>
#include <memory>
#include <vector>

class Connection;
class CriteriaWindow;
class PreviewSlot;
class ReportContext;
class SharedConnection;

// The component's entry point. The host creates one, hands it its open connection with
// InitializeClass, and calls a launch operation when its user picks a report. Each launch
// opens that report's criteria window, modeless, and returns at once. The object owns every
// window it creates (one per catalogue row, kept after the window is closed) and the preview
// window slot; all go when it goes.
class Reports
{
public:
    Reports();
    ~Reports();
    Reports(const Reports &) = delete;
    Reports &operator=(const Reports &) = delete;

    // Takes a share of the host's connection (not a copy): every later query of every window
    // runs on it. A later call replaces it; a preview left open keeps reading the database
    // its report came from. The host also says where its current
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

    // Opens the criteria window of a catalogue row, as its launch operation does.
    void launch(const ReportEntry &report);
    // The window in that report's slot; nullptr until the report is first launched.
    [[nodiscard]] CriteriaWindow *window(const ReportEntry &report) const;
    [[nodiscard]] PreviewSlot &preview();
    [[nodiscard]] ReportContext &context();

private:
    void launchNamed(const QString &launchOperation);
    [[nodiscard]] static size_t slotOf(const ReportEntry &report);

    std::unique_ptr<SharedConnection> m_connection;
    std::unique_ptr<PreviewSlot> m_preview;
    std::unique_ptr<ReportContext> m_context;
    std::vector<std::unique_ptr<CriteriaWindow>> m_windows; // by catalogue row
};
