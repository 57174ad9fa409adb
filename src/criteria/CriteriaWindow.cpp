#include "criteria/CriteriaWindow.h"

#include "criteria/CriteriaAccessibility.h"
#include "criteria/CriteriaGrid.h"
#include "criteria/DatePicker.h"
#include "criteria/ReportContext.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/SharedConnection.h"
#include "lookup/LookupDialogs.h"
#include "lookup/SchCompany.h"
#include "lookup/SchCustomers.h"
#include "lookup/SchProducts.h"
#include "lookup/SchSectors.h"
#include "lookup/SchTowns.h"
#include "presentation/Report.h"
#include "preview/MessageBoxes.h"
#include "preview/PreviewSlot.h"
#include "preview/ReportViewer.h"
#include "preview/RptReportViewer.h"
#include "preview/ShowError.h"
#include "printing/ReportPrinter.h"
#include "reports/IdLookup.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// The busy pointer over a window while a build runs; the normal one is back on every exit.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window, bool show = true) : m_window(window)
    {
        if (show)
            m_window->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer() { restore(); }
    void restore() { m_window->unsetCursor(); }

private:
    QWidget *m_window;
};

} // namespace

CriteriaWindow::CriteriaWindow(const ReportDefinition &definition, ReportContext &context)
    : ReportWindow(definition.entry(), context), m_definition(definition)
{
    auto *layout = new QVBoxLayout(this);
    CriteriaGrid grid(this);
    layout->addLayout(grid.layout());
    const WindowDesign &design = definition.design();
    m_fromDate = new DatePicker(this);
    m_fromDate->setObjectName(design.fromControl);
    m_toDate = new DatePicker(this);
    m_toDate->setObjectName(design.toControl);
    for (DatePicker *picker : {m_fromDate, m_toDate})
        picker->offerPeriods(m_fromDate, m_toDate,
                             [this] { return this->context().periodStart(); });
    grid.addDates(m_fromDate, m_toDate);
    for (const CriteriaField &field : definition.fields()) {
        if (field.isIdBox())
            addIdBox(grid.addIdBox(field));
        else if (field.kind == FieldKind::Choice)
            m_choices.emplace_back(field.key, grid.addChoice(field));
        else
            m_rangeBoxes.emplace_back(field.key, grid.addRangeBox(field));
    }
    addCommandButtons();
    QWidget *last = m_close;
    for (const CriteriaField &field : definition.fields()) {
        if (field.afterCommands) {
            QWidget::setTabOrder(last, control(field.control));
            last = control(field.control);
        }
    }
    CriteriaAccessibility::describe(*this);
}

CriteriaWindow::~CriteriaWindow() = default;

template<typename Operation> void CriteriaWindow::guarded(Operation operation)
{
    // A window operation never lets a failure escape into the event loop: whatever it is, the
    // user is told and the window stays usable.
    try {
        operation();
    } catch (const Failure &f) {
        unsetCursor();
        ShowError(f, this);
    } catch (const std::exception &e) {
        unsetCursor();
        ShowError(e, this);
    }
}

void CriteriaWindow::addIdBox(IdBox *box)
{
    m_idBoxes.push_back(box);
    connect(box->searchButton(), &QPushButton::clicked, this, [this, box] {
        // A search button looks up with the dialog first, then puts the focus in its box.
        guarded([&] {
            (void)lookup(*box, 3);
            box->idEdit()->setFocus();
        });
    });
}

void CriteriaWindow::addCommandButtons()
{
    const WindowDesign &design = m_definition.design();
    auto make = [this](const QString &name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(true); // Enter on a focused button presses it
        return button;
    };
    m_preview = make(u"CmdPreview"_s, design.previewCaption);
    m_print = make(u"CmdPrint"_s, design.printCaption);
    m_close = make(u"CmdClose"_s, design.closeCaption);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_preview);
    row->addWidget(m_print);
    row->addWidget(m_close);
    static_cast<QVBoxLayout *>(layout())->addSpacing(8);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    // Print asks nothing: the status line says where the pages went.
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(u"StatusLine"_s);
    m_statusLine->setFrameShape(QFrame::StyledPanel);
    m_statusLine->setFrameShadow(QFrame::Sunken);
    m_statusLine->setMinimumHeight(m_statusLine->fontMetrics().height() + 6);
    static_cast<QVBoxLayout *>(layout())->addWidget(m_statusLine);
    connect(m_preview, &QPushButton::clicked, this, [this] { guarded([this] { Preview(); }); });
    connect(m_print, &QPushButton::clicked, this, [this] { guarded([this] { Print(); }); });
    connect(m_close, &QPushButton::clicked, this, [this] { close(); });
}

QDateEdit *CriteriaWindow::fromDate() const
{
    return m_fromDate;
}

QDateEdit *CriteriaWindow::toDate() const
{
    return m_toDate;
}

IdBox *CriteriaWindow::idBox(const QString &control) const
{
    for (IdBox *box : m_idBoxes) {
        if (box->field().control == control)
            return box;
    }
    return nullptr;
}

QLineEdit *CriteriaWindow::numberBox(const QString &control) const
{
    for (const auto &[key, box] : m_rangeBoxes) {
        if (box->objectName() == control)
            return box;
    }
    return nullptr;
}

QWidget *CriteriaWindow::control(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    return findChild<QWidget *>(name);
}

ReportCriteria CriteriaWindow::criteria() const
{
    ReportCriteria c;
    c.from = m_fromDate->date();
    c.to = m_toDate->date();
    for (IdBox *box : m_idBoxes) {
        c.texts.insert(box->field().key, box->text());
        c.names.insert(box->field().key, box->name());
    }
    for (const auto &[key, box] : m_rangeBoxes)
        c.texts.insert(key, box->text());
    for (const auto &[key, list] : m_choices)
        c.texts.insert(key, list->currentData().toString());
    return c;
}

const Connection &CriteriaWindow::connection() const
{
    return const_cast<CriteriaWindow *>(this)->context().connection().get();
}

void CriteriaWindow::Load()
{
    if (!m_filtersInstalled) {
        // Key preview and leaving checks see every control, whatever has the focus.
        for (QWidget *w : findChildren<QWidget *>())
            w->installEventFilter(this);
        winId(); // the window exists from now on, so its presses can be seen first
        windowHandle()->installEventFilter(this);
        m_filtersInstalled = true;
    }
    // A window comes back as new: default period, every box empty or at its default text.
    for (IdBox *box : m_idBoxes)
        box->reset();
    for (const auto &[key, box] : m_rangeBoxes)
        box->clear();
    for (const auto &[key, list] : m_choices)
        list->setCurrentIndex(0);
    m_statusLine->clear();
    guarded([this] {
        m_fromDate->setDate(context().periodStart());
        m_toDate->setDate(QDate::currentDate());
    });
    m_fromDate->setFocus();
}

LookupDialog &CriteriaWindow::dialogFor(LookupKind kind)
{
    LookupDialogs &dialogs = context().lookups();
    switch (kind) {
    case LookupKind::Customer:
        return dialogs.customers();
    case LookupKind::Sector:
        return dialogs.sectors();
    case LookupKind::Town:
        return dialogs.towns();
    case LookupKind::Company:
        return dialogs.companies();
    case LookupKind::Product:
        break;
    }
    return dialogs.products();
}

bool CriteriaWindow::lookup(IdBox &box, int mode)
{
    try {
        if (mode == 2 || mode == 3) {
            LookupDialog &dialog = dialogFor(box.field().lookup);
            dialog.showModal(this);
            box.setId(dialog.idOutput());
        }
        if (box.text().isEmpty())
            return false;
        m_sql = IdLookup::query(box.field(), box.text());
        Recordset found;
        found.open(m_sql, connection());
        if (found.recordCount() == 0)
            return false;
        box.setName(found.field(IdLookup::nameField(box.field().lookup)).toString());
        return true;
    } catch (const Failure &f) {
        ShowError(f, this);
    } catch (const std::exception &e) {
        ShowError(e, this);
    }
    return false;
}

IdBox *CriteriaWindow::focusedIdBox() const
{
    // The window's active control, whether or not the window is the active one just now (a
    // lookup dialog may have only just closed).
    QWidget *focus = focusWidget();
    for (IdBox *box : m_idBoxes) {
        if (box->idEdit() == focus)
            return box;
    }
    return nullptr;
}

bool CriteriaWindow::leaveIdBox()
{
    IdBox *box = focusedIdBox();
    if (!box || m_validating || box->text().isEmpty())
        return true;
    m_validating = true;
    bool ok = lookup(*box, 1);
    if (!ok)
        ok = lookup(*box, 3); // the user picks an entry that exists
    m_validating = false;
    if (!ok) {
        box->idEdit()->setFocus();
        return false;
    }
    return true;
}

bool CriteriaWindow::focusNextPrevChild(bool next)
{
    if (!leaveIdBox())
        return true; // the focus stays in the box
    return ReportWindow::focusNextPrevChild(next);
}

void CriteriaWindow::pressF1(IdBox &box)
{
    LookupDialog &dialog = dialogFor(box.field().lookup);
    dialog.showModal(nullptr);
    box.setId(dialog.idOutput());
    box.setName(dialog.nameOutput());
    if (QWidget *next = control(box.field().focusAfterF1))
        next->setFocus();
}

bool CriteriaWindow::keyPreview(QKeyEvent *key)
{
    const int code = key->key();
    if (code == Qt::Key_Return || code == Qt::Key_Enter) {
        // On to the next control, as a Tab typed after this Enter would take it.
        if (QWidget *focus = focusWidget())
            QCoreApplication::postEvent(
                focus, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return m_definition.design().discardEnter;
    }
    if (code == Qt::Key_Q && key->modifiers() == Qt::ControlModifier) {
        if (m_close && m_close->isEnabled())
            m_close->click();
        return true;
    }
    if (code == Qt::Key_F1) {
        IdBox *box = focusedIdBox();
        if (box && box->field().f1)
            guarded([&] { pressF1(*box); });
        return true;
    }
    return false;
}

bool CriteriaWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // A key from the display passes the window first and then reaches the control: it is
        // previewed once, at the control, where every key arrives however it was sent.
        if (watched != windowHandle() && keyPreview(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::MouseButtonPress: {
        // Qt gives the focus away before the clicked control sees the press, so the press is
        // caught as it reaches the window: clicking another control leaves the id box like
        // Tab does, and with an unknown id the click does not happen.
        if (watched != windowHandle())
            break;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        QWidget *target = childAt(mouse->position().toPoint());
        while (target && target != this && !(target->focusPolicy() & Qt::ClickFocus) &&
               !qobject_cast<QPushButton *>(target))
            target = target->parentWidget();
        IdBox *box = focusedIdBox();
        if (box && target && target != this && target != box->idEdit() && !leaveIdBox())
            return true;
        break;
    }
    case QEvent::Shortcut: {
        // An access key (Alt+V) leaves the id box as well.
        IdBox *box = focusedIdBox();
        if (box && watched != box->idEdit() && !leaveIdBox())
            return true;
        break;
    }
    default:
        break;
    }
    return ReportWindow::eventFilter(watched, event);
}

void CriteriaWindow::showMessage(const Refusal &message)
{
    MessageBoxes::show(this,
                       message.icon == Refusal::Icon::Information ? QMessageBox::Information
                                                                  : QMessageBox::Warning,
                       message.title, message.text);
    if (QWidget *focus = control(message.focus)) {
        if (auto *edit = qobject_cast<QLineEdit *>(focus))
            edit->selectAll();
        focus->setFocus();
    }
}

bool CriteriaWindow::refused(ReportAction action)
{
    const std::optional<Refusal> refusal = m_definition.refusal(criteria(), action);
    if (refusal)
        showMessage(*refusal);
    return refusal.has_value();
}

bool CriteriaWindow::BuildReport()
{
    const bool whole = m_definition.design().style == BuildStyle::Whole;
    BusyPointer busy(this, whole);
    try {
        m_sql = m_definition.query(criteria(), connection().dialect());
        if (m_resultSet.isOpen())
            m_resultSet.close();
        m_definition.openRows(m_resultSet, criteria(), connection());
        if (!whole)
            return true;
        if (m_resultSet.recordCount() == 0) {
            busy.restore();
            showMessage(m_definition.emptyResult());
            return false;
        }
        std::unique_ptr<Report> report = m_definition.makeReport(
            criteria(), m_resultSet, connection(), &ReportPrinter::printing());
        context().preview().replace()->setReportName(std::move(report));
        return true;
    } catch (const Failure &f) {
        busy.restore();
        ShowError(f, this);
    } catch (const std::exception &e) {
        busy.restore();
        ShowError(e, this);
    }
    return false;
}

bool CriteriaWindow::FillReport()
{
    try {
        std::unique_ptr<Report> report = m_definition.makeReport(
            criteria(), m_resultSet, connection(), &ReportPrinter::printing());
        // A preview window left open by another report keeps its report; this one gets its own.
        context().preview().reuseUnlessOpen()->setReportName(std::move(report));
        return true;
    } catch (const Failure &f) {
        unsetCursor();
        ShowError(f, this);
    } catch (const std::exception &e) {
        unsetCursor();
        ShowError(e, this);
    }
    return false;
}

void CriteriaWindow::Preview()
{
    if (refused(ReportAction::Preview))
        return;
    const WindowDesign &design = m_definition.design();
    if (design.style == BuildStyle::Whole) {
        if (!BuildReport())
            return;
        RptReportViewer *viewer = context().preview().current();
        viewer->setCaption(entry().caption + u" Report"_s);
        viewer->show();
        viewer->raise();
        viewer->activateWindow();
        return;
    }
    BusyPointer busy(this, design.busyPointerOnPreview);
    if (!BuildReport())
        return;
    if (m_resultSet.recordCount() == 0) {
        busy.restore();
        Refusal empty = m_definition.emptyResult();
        empty.focus = design.emptyFocus;
        showMessage(empty);
        return;
    }
    if (!FillReport())
        return;
    busy.restore();
    // The reused window is captioned afresh: it never keeps the report it showed before.
    RptReportViewer *viewer = context().preview().current();
    viewer->setCaption(entry().caption + u" Report"_s);
    viewer->showModal(this);
}

void CriteriaWindow::Print()
{
    if (refused(ReportAction::Print))
        return;
    BusyPointer busy(this, m_definition.design().style == BuildStyle::QueryThenFill);
    if (!BuildReport())
        return;
    if (m_resultSet.recordCount() == 0) {
        busy.restore();
        showMessage({u"No record found"_s, u"Information"_s, Refusal::Icon::Information, {}});
        return;
    }
    if (m_definition.design().style == BuildStyle::QueryThenFill && !FillReport())
        return;
    printReport();
}

void CriteriaWindow::printReport()
{
    // A print that fails leaves no word of an earlier one that went.
    m_statusLine->clear();
    RptReportViewer *viewer = context().preview().current();
    viewer->RemoveObjectColors();
    Report *report = viewer->ReportName();
    report->PrintOut(false);
    // The printer PrintOut chose: the report's own when the system has it, else the default.
    const QString printer = ReportPrinter::choosePrinter(report->selectedPrinter().printer);
    m_statusLine->setText(ReportViewer::sentToPrinter(report->pageCount(), printer));
}
