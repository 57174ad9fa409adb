#include "criteria/CriteriaWindow.h"

#include "criteria/IdLookup.h"
#include "criteria/NumericKeyFilter.h"
#include "criteria/ReportContext.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/SharedConnection.h"
#include "host/PeriodDefaults.h"
#include "lookup/LookupDialogs.h"
#include "lookup/SchCompany.h"
#include "lookup/SchCustomers.h"
#include "lookup/SchProducts.h"
#include "lookup/SchSectors.h"
#include "lookup/SchTowns.h"
#include "presentation/Report.h"
#include "presentation/widgets/PreviewSlot.h"
#include "presentation/widgets/RptReportViewer.h"
#include "presentation/widgets/ShowError.h"

#include <QApplication>
#include <QDateEdit>
#include <QGridLayout>
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
    explicit BusyPointer(QWidget *window) : m_window(window)
    {
        m_window->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer() { restore(); }
    void restore() { m_window->unsetCursor(); }

private:
    QWidget *m_window;
};

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(u"lbl"_s + QString(text).remove(u' '));
    return l;
}

} // namespace

CriteriaWindow::CriteriaWindow(const ReportEntry &entry, ReportContext &context)
    : ReportWindow(entry, context)
{
    auto *layout = new QVBoxLayout(this);
    m_grid = new QGridLayout;
    m_grid->setColumnStretch(3, 1);
    m_grid->setHorizontalSpacing(6);
    layout->addLayout(m_grid);
}

CriteriaWindow::~CriteriaWindow() = default;

void CriteriaWindow::addDateRow(const QString &fromName, const QString &toName)
{
    auto makePicker = [this](const QString &name) {
        auto *picker = new QDateEdit(this);
        picker->setObjectName(name);
        picker->setDisplayFormat(u"dd/MM/yyyy"_s);
        picker->setCalendarPopup(true);
        return picker;
    };
    m_fromDate = makePicker(fromName);
    m_toDate = makePicker(toName);
    auto *row = new QHBoxLayout;
    QLabel *from = label(u"From Date"_s, this);
    from->setBuddy(m_fromDate);
    QLabel *to = label(u"To Date"_s, this);
    to->setBuddy(m_toDate);
    row->addWidget(m_fromDate);
    row->addSpacing(24);
    row->addWidget(to);
    row->addWidget(m_toDate);
    row->addStretch(1);
    m_grid->addWidget(from, m_row, 0);
    m_grid->addLayout(row, m_row, 1, 1, 3);
    ++m_row;
}

IdBox *CriteriaWindow::addIdBox(IdBoxSpec spec)
{
    auto *id = new QLineEdit(this);
    id->setFixedWidth(id->fontMetrics().horizontalAdvance(u'W') * std::max(5, spec.maxLength) / 2 +
                      24);
    auto *name = new QLineEdit(this);
    name->setReadOnly(true);
    name->setFocusPolicy(Qt::NoFocus);
    name->setMinimumWidth(260);
    QPalette grey = name->palette();
    grey.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    name->setPalette(grey);
    auto *search = new QPushButton(u"..."_s, this);
    search->setFixedWidth(30);
    search->setFocusPolicy(Qt::ClickFocus);
    QLabel *caption = label(spec.label, this);
    caption->setBuddy(id);
    auto *box = new IdBox(std::move(spec), id, name, search, this);
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(id, m_row, 1);
    m_grid->addWidget(search, m_row, 2);
    m_grid->addWidget(name, m_row, 3);
    ++m_row;
    m_idBoxes.push_back(box);
    connect(search, &QPushButton::clicked, this, [this, box] {
        // A search button looks up with the dialog first, then puts the focus in its box.
        (void)lookup(*box, 3);
        box->idEdit()->setFocus();
    });
    return box;
}

void CriteriaWindow::addNumberRow(const QString &fromName, const QString &fromLabel,
                                  const QString &toName, const QString &toLabel, int maxLength,
                                  bool digitsOnly)
{
    auto makeBox = [&](const QString &name) {
        auto *box = new QLineEdit(this);
        box->setObjectName(name);
        box->setMaxLength(maxLength);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(u'9') * (maxLength + 1) + 16);
        box->setAlignment(Qt::AlignRight);
        if (digitsOnly)
            NumericKeyFilter::install(box, false);
        m_numberBoxes.push_back(box);
        return box;
    };
    QLineEdit *from = makeBox(fromName);
    QLineEdit *to = makeBox(toName);
    QLabel *fromCaption = label(fromLabel, this);
    fromCaption->setBuddy(from);
    QLabel *toCaption = label(toLabel, this);
    toCaption->setBuddy(to);
    auto *row = new QHBoxLayout;
    row->addWidget(from);
    row->addSpacing(24);
    row->addWidget(toCaption);
    row->addWidget(to);
    row->addStretch(1);
    m_grid->addWidget(fromCaption, m_row, 0);
    m_grid->addLayout(row, m_row, 1, 1, 3);
    ++m_row;
}

void CriteriaWindow::addCommandButtons(const QString &previewCaption, const QString &printCaption,
                                       const QString &closeCaption)
{
    auto make = [this](const QString &name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(true); // Enter on a focused button presses it
        return button;
    };
    m_preview = make(u"CmdPreview"_s, previewCaption);
    m_print = make(u"CmdPrint"_s, printCaption);
    m_close = make(u"CmdClose"_s, closeCaption);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_preview);
    row->addWidget(m_print);
    row->addWidget(m_close);
    static_cast<QVBoxLayout *>(layout())->addSpacing(8);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    connect(m_preview, &QPushButton::clicked, this, [this] { Preview(); });
    connect(m_print, &QPushButton::clicked, this, [this] { Print(); });
    connect(m_close, &QPushButton::clicked, this, [this] { close(); });
}

IdBox *CriteriaWindow::idBox(const QString &idName) const
{
    for (IdBox *box : m_idBoxes) {
        if (box->spec().idName == idName)
            return box;
    }
    return nullptr;
}

QLineEdit *CriteriaWindow::numberBox(const QString &name) const
{
    for (QLineEdit *box : m_numberBoxes) {
        if (box->objectName() == name)
            return box;
    }
    return nullptr;
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
    // A window comes back as new: default period, every box empty.
    if (m_fromDate) {
        m_fromDate->setDate(context().periodDefaults().PeriodStartDate());
        m_toDate->setDate(QDate::currentDate());
    }
    for (IdBox *box : m_idBoxes)
        box->reset();
    for (QLineEdit *box : m_numberBoxes)
        box->clear();
    if (m_fromDate)
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
            LookupDialog &dialog = dialogFor(box.spec().kind);
            dialog.showModal(this);
            box.setId(dialog.idOutput());
        }
        if (box.text().isEmpty())
            return false;
        m_sql = IdLookup::query(box.spec(), box.text());
        Recordset found;
        found.open(m_sql, connection());
        if (found.recordCount() == 0)
            return false;
        box.setName(found.field(IdLookup::nameField(box.spec().kind)).toString());
        return true;
    } catch (const Failure &f) {
        ShowError(f, this);
        return false;
    }
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
    LookupDialog &dialog = dialogFor(box.spec().kind);
    dialog.showModal(nullptr);
    box.setId(dialog.idOutput());
    box.setName(dialog.nameOutput());
}

bool CriteriaWindow::keyPreview(QKeyEvent *key)
{
    const int code = key->key();
    if (code == Qt::Key_Return || code == Qt::Key_Enter) {
        // On to the next control, as a Tab typed after this Enter would take it.
        if (QWidget *focus = focusWidget())
            QCoreApplication::postEvent(
                focus, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return m_discardEnter;
    }
    if (code == Qt::Key_Q && key->modifiers() == Qt::ControlModifier) {
        if (m_close && m_close->isEnabled())
            m_close->click();
        return true;
    }
    if (code == Qt::Key_F1) {
        IdBox *box = focusedIdBox();
        if (box && box->spec().f1)
            pressF1(*box);
        return true;
    }
    return false;
}

bool CriteriaWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (keyPreview(static_cast<QKeyEvent *>(event)))
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

bool CriteriaWindow::BuildReport()
{
    BusyPointer busy(this);
    try {
        m_sql = composeQuery();
        if (m_resultSet.isOpen())
            m_resultSet.close();
        m_resultSet.open(m_sql, connection());
        if (m_resultSet.recordCount() == 0) {
            busy.restore();
            QMessageBox::information(this, entry().caption, u"No record exists."_s);
            return false;
        }
        std::unique_ptr<Report> report = prepareReport();
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

void CriteriaWindow::Preview()
{
    if (!BuildReport())
        return;
    RptReportViewer *viewer = context().preview().current();
    viewer->setWindowTitle(entry().caption + u" Report"_s);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void CriteriaWindow::Print()
{
    try {
        if (!BuildReport())
            return;
        if (m_resultSet.recordCount() == 0) {
            QMessageBox::information(this, u"Information"_s, u"No record found"_s);
            return;
        }
        RptReportViewer *viewer = context().preview().current();
        viewer->RemoveObjectColors();
        viewer->ReportName()->PrintOut(false);
    } catch (const Failure &f) {
        ShowError(f, this);
    }
}
