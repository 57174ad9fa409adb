#pragma once

#include <QList>
#include <QPointer>

class RptReportViewer;

// The one preview window slot of the component. Most report windows put a new preview window
// into it at every build (an earlier one that is open stays open with its report); three
// reuse the one held and create one only when the slot is empty.
class PreviewSlot
{
public:
    PreviewSlot() = default;
    ~PreviewSlot();
    PreviewSlot(const PreviewSlot &) = delete;
    PreviewSlot &operator=(const PreviewSlot &) = delete;

    [[nodiscard]] RptReportViewer *current() const { return m_window; }
    // A new preview window, now held by the slot.
    RptReportViewer *replace();
    // The window held, or a new one when the slot is empty.
    RptReportViewer *reuse();
    // The window held, unless it is open (showing another report, which it keeps): then a
    // new one, as replace() gives.
    RptReportViewer *reuseUnlessOpen();

private:
    QPointer<RptReportViewer> m_window;
    QList<QPointer<RptReportViewer>> m_released; // replaced windows still open
};
