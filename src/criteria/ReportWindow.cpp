#include "criteria/ReportWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

ReportWindow::ReportWindow(const ReportEntry &entry, ReportContext &context)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_entry(entry), m_context(context)
{
    setObjectName(entry.window);
    setWindowTitle(entry.caption);
}

void ReportWindow::launch()
{
    if (!isVisible()) {
        Load();
        m_loaded = true;
        fixSizeAndCentre();
        show();
    }
    raise();
    activateWindow();
}

void ReportWindow::fixSizeAndCentre()
{
    adjustSize();
    setFixedSize(sizeHint().expandedTo(minimumSizeHint()));
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void ReportWindow::closeEvent(QCloseEvent *event)
{
    m_loaded = false;
    QWidget::closeEvent(event);
}
