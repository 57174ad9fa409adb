#include "preview/RptReportViewer.h"

#include "db/Failure.h"
#include "presentation/Report.h"
#include "preview/MessageBoxes.h"
#include "preview/PageView.h"
#include "preview/ReportViewer.h"
#include "preview/ShowError.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

constexpr int kNoColour = -1;
constexpr int kWhite = 16777215; // 0xFFFFFF
const QString kDefaultCaption = QStringLiteral("Previewing Report");

} // namespace

RptReportViewer::RptReportViewer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"RptReportViewer"_s);
    setWindowTitle(kDefaultCaption);
    m_viewer = new ReportViewer(this);
    connect(m_viewer, &ReportViewer::printButtonClicked, this, [this] { RemoveObjectColors(); });
    connect(m_viewer, &ReportViewer::closeRequested, this, &QWidget::close);
    connect(m_viewer->pageView(), &PageView::rowActivated, this,
            [this](int tableRow, int object) { openRow(tableRow, object); });
    resize(900, 700);
}

void RptReportViewer::openRow(int tableRow, int object)
{
    const std::optional<RowLink> link =
        m_report ? m_report->link(tableRow, object) : std::nullopt;
    if (!link)
        return;
    try {
        QString message;
        std::unique_ptr<Report> detail;
        {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            struct Restore
            {
                ~Restore() { QApplication::restoreOverrideCursor(); }
            } restore;
            detail = link->open(message);
        }
        if (!detail) {
            MessageBoxes::show(this, QMessageBox::Information, link->description, message);
            return;
        }
        // A window of its own; it goes when its user closes it.
        auto *window = new RptReportViewer;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setReportName(std::move(detail));
        if (isModal())
            window->showModal(this); // a window beside a modal one would take no input
        else
            window->show();
    } catch (const Failure &f) {
        ShowError(f, this);
    } catch (const std::exception &e) {
        ShowError(e, this);
    }
}

void RptReportViewer::placeOnScreen()
{
    // Wide enough for a whole page at its printed size, as tall as the screen allows, centred.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 900);
    const int wanted = m_report ? m_viewer->pageWidthHint(m_report->pageSize().width()) : 900;
    const QSize size(std::min(wanted, available.width() * 95 / 100),
                     available.height() * 9 / 10);
    resize(size);
    move(available.center() - QPoint(size.width() / 2, size.height() / 2));
}

RptReportViewer::~RptReportViewer() = default;

void RptReportViewer::setReportName(std::unique_ptr<Report> report)
{
    m_viewer->setReportSource(nullptr);
    m_report = std::move(report);
    m_loaded = false;
    // A reused window never keeps the caption of the report it showed before.
    QString title = m_report ? m_report->ReportTitle() : QString();
    if (title.isEmpty() && m_report)
        title = m_report->layout().title;
    setCaption(title.isEmpty() ? kDefaultCaption : title);
    if (isVisible())
        load();
}

void RptReportViewer::setCaption(const QString &title)
{
    const QString criteria = m_report ? m_report->criteriaLine() : QString();
    setWindowTitle(criteria.isEmpty() ? title : title + u" \u2014 "_s + criteria);
}

void RptReportViewer::showEvent(QShowEvent *event)
{
    if (!m_placed && !event->spontaneous()) {
        m_placed = true;
        placeOnScreen();
    }
    QWidget::showEvent(event);
    if (!m_loaded)
        load();
}

void RptReportViewer::load()
{
    m_loaded = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_viewer->setReportSource(m_report.get());
        m_viewer->ViewReport();
    } catch (const Failure &f) {
        QApplication::restoreOverrideCursor();
        ShowError(f, this);
        return;
    }
    QApplication::restoreOverrideCursor();
    m_viewer->Zoom(1);
}

void RptReportViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The viewer fills the client area exactly, whatever its size.
    m_viewer->move(0, 0);
    m_viewer->resize(width(), height());
}

void RptReportViewer::closeEvent(QCloseEvent *event)
{
    m_loaded = false;
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

void RptReportViewer::showModal(QWidget *owner)
{
    if (owner) {
        winId();
        owner->winId();
        windowHandle()->setTransientParent(owner->windowHandle());
    }
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    const QPointer<RptReportViewer> self(this);
    connect(this, &RptReportViewer::closed, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    loop.exec();
    if (!self)
        return;
    setWindowModality(Qt::NonModal);
    if (windowHandle())
        windowHandle()->setTransientParent(nullptr);
}

void RptReportViewer::RemoveObjectColors()
{
    if (!m_report)
        return;
    for (const ReportSection &section : m_report->Sections()) {
        for (ReportObject *object : section.ReportObjects()) {
            if (object->Name().toUpper().startsWith(u"NO"_s))
                continue;
            if (object->kind() == ReportObject::Kind::Text ||
                object->kind() == ReportObject::Kind::Field)
                object->SetBackColor(kNoColour);
            else if (object->kind() == ReportObject::Kind::Box)
                object->SetFillColor(kWhite);
        }
    }
    m_viewer->refresh();
}
