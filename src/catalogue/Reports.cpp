#include "catalogue/Reports.h"

#include "criteria/CriteriaWindow.h"
#include "criteria/ReportContext.h"
#include "db/SharedConnection.h"
#include "preview/PreviewSlot.h"
#include "preview/RptReportViewer.h"
#include "reports/ReportCatalog.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

Reports::Reports()
    : m_connection(std::make_unique<SharedConnection>()),
      m_preview(std::make_unique<PreviewSlot>()),
      m_context(std::make_unique<ReportContext>(*m_connection, *m_preview)),
      m_windows(ReportCatalog::entries().size())
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
    m_connection->set(Con);
    m_context->setPeriodStart(std::move(periodStart));
}

void Reports::launch(const ReportEntry &report)
{
    std::unique_ptr<CriteriaWindow> &slot = m_windows.at(slotOf(report));
    if (!slot)
        slot = std::make_unique<CriteriaWindow>(report.definition(), *m_context);
    slot->launch();
}

CriteriaWindow *Reports::window(const ReportEntry &report) const
{
    return m_windows.at(slotOf(report)).get();
}

size_t Reports::slotOf(const ReportEntry &report)
{
    const std::span<const ReportEntry> rows = ReportCatalog::entries();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (&rows[i] == &report)
            return i;
    }
    throw std::logic_error("a report the catalogue does not hold");
}

// The host's named operations, each the launch of the row that bears its name.
void Reports::launchNamed(const QString &launchOperation)
{
    const ReportEntry *report = ReportCatalog::byLaunchOperation(launchOperation);
    if (!report)
        throw std::logic_error("a launch operation without its catalogue row");
    launch(*report);
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
    launchNamed(u"SalesStockStatement"_s);
}
void Reports::SalesRegister()
{
    launchNamed(u"SalesRegister"_s);
}
void Reports::SalesSummary()
{
    launchNamed(u"SalesSummary"_s);
}
void Reports::ProductSalesLedger()
{
    launchNamed(u"ProductSalesLedger"_s);
}
void Reports::ProductWiseSales()
{
    launchNamed(u"ProductWiseSales"_s);
}
void Reports::CompanySectorWiseSale()
{
    launchNamed(u"CompanySectorWiseSale"_s);
}
void Reports::CompanyWiseSale()
{
    launchNamed(u"CompanyWiseSale"_s);
}
void Reports::CustomerTownSectorWiseSales()
{
    launchNamed(u"CustomerTownSectorWiseSales"_s);
}
void Reports::ProductSaleReturnLedger()
{
    launchNamed(u"ProductSaleReturnLedger"_s);
}
void Reports::SaleReturnsSummary()
{
    launchNamed(u"SaleReturnsSummary"_s);
}
void Reports::SaleReturnRegister()
{
    launchNamed(u"SaleReturnRegister"_s);
}
