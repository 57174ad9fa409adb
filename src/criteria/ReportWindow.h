#pragma once

#include "reports/ReportCatalog.h"

#include <QWidget>

class ReportContext;

// A report's criteria window: a fixed-size window centred on the screen, shown modeless. It
// loads afresh whenever it is shown after being created or closed; showing it while it is
// open keeps its criteria as the user left them. Closing it unloads it; the object stays.
class ReportWindow : public QWidget
{
    Q_OBJECT
public:
    ReportWindow(const ReportEntry &entry, ReportContext &context);

    // The launch operation's work: load when not open, then show.
    void launch();
    [[nodiscard]] bool isLoaded() const { return m_loaded; }
    [[nodiscard]] const ReportEntry &entry() const { return m_entry; }

protected:
    // Sets the window's criteria to their defaults.
    virtual void Load() = 0;
    void closeEvent(QCloseEvent *event) override;
    [[nodiscard]] ReportContext &context() { return m_context; }
    // Fixes the size to the layout's and centres the window on the screen.
    void fixSizeAndCentre();

private:
    const ReportEntry &m_entry;
    ReportContext &m_context;
    bool m_loaded = false;
};
