#include "preview/PreviewSlot.h"

#include "preview/RptReportViewer.h"

PreviewSlot::~PreviewSlot()
{
    delete m_window;
    for (const QPointer<RptReportViewer> &w : std::as_const(m_released))
        delete w;
}

RptReportViewer *PreviewSlot::replace()
{
    if (m_window) {
        if (m_window->isVisible()) {
            // It goes when its user closes it.
            m_window->setAttribute(Qt::WA_DeleteOnClose);
            m_released.append(m_window);
        } else {
            delete m_window;
        }
    }
    m_released.removeAll(nullptr);
    m_window = new RptReportViewer;
    return m_window;
}

RptReportViewer *PreviewSlot::reuse()
{
    if (!m_window)
        m_window = new RptReportViewer;
    return m_window;
}

RptReportViewer *PreviewSlot::reuseUnlessOpen()
{
    if (m_window && m_window->isVisible())
        return replace();
    return reuse();
}
