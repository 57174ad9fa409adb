#include "criteria/DatePicker.h"

#include "criteria/PeriodPresets.h"
#include "reports/SqlDateRange.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// A whole date as the box shows it whose day its month does not have: 31/02/2026.
bool dayBeyondItsMonth(const QString &text)
{
    static const QRegularExpression parts(u"^(\\d{2})/(\\d{2})/(\\d{4})$"_s);
    const QRegularExpressionMatch m = parts.match(text);
    if (!m.hasMatch())
        return false;
    const QDate first(m.captured(3).toInt(), m.captured(2).toInt(), 1);
    const int day = m.captured(1).toInt();
    return first.isValid() && day > first.daysInMonth() && day <= 31;
}

} // namespace

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(u"dd/MM/yyyy"_s);
    setDateRange(SqlDateRange::first(), SqlDateRange::last());
    setCalendarPopup(true);
    lineEdit()->installEventFilter(this);
    // After the editor has done with the change.
    connect(
        lineEdit(), &QLineEdit::textChanged, this,
        [this](const QString &text) { keepTypedMonth(text); }, Qt::QueuedConnection);
}

void DatePicker::keepTypedMonth(const QString &text)
{
    // The editor rebuilds the parts not being typed from the date it holds. While the text is
    // a day its month does not have, that date is moved into the month typed, so that mending
    // the day gives a date in that month; the text stays as typed.
    if (m_keeping || !dayBeyondItsMonth(text) || lineEdit()->text() != text)
        return;
    const QDate month(text.mid(6, 4).toInt(), text.mid(3, 2).toInt(), 1);
    if (date().year() == month.year() && date().month() == month.month())
        return;
    m_keeping = true;
    const int cursor = lineEdit()->cursorPosition();
    setDate(month);
    // Put back without the editor seeing it, or it would rebuild the text from that date.
    const QSignalBlocker quiet(lineEdit());
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
    m_keeping = false;
}

QValidator::State DatePicker::validate(QString &input, int &pos) const
{
    // The editor would turn the day into the month's last as it is typed, or fill a part in
    // from the date it last took: what is typed stays as typed, and leaving the box says why
    // it is no date.
    if (dayBeyondItsMonth(input))
        return QValidator::Intermediate;
    QString mended = input;
    int at = pos;
    const QValidator::State state = QDateEdit::validate(mended, at);
    if (state != QValidator::Invalid && mended != input)
        return QValidator::Intermediate;
    pos = at;
    return state;
}

void DatePicker::fixup(QString &input) const
{
    if (!dayBeyondItsMonth(input))
        QDateEdit::fixup(input);
}

QString DatePicker::refusal() const
{
    const QString text = lineEdit()->text();
    if (QDate::fromString(text, displayFormat()).isValid())
        return QString();
    static const QRegularExpression parts(u"^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"_s);
    const QRegularExpressionMatch m = parts.match(text);
    if (m.hasMatch()) {
        const int day = m.captured(1).toInt(), month = m.captured(2).toInt(),
                  year = m.captured(3).toInt();
        const QDate first(year, month, 1);
        if (first.isValid() && day > first.daysInMonth())
            return u"%1 is not a date: %2 has %3 days."_s.arg(
                text.trimmed(), QLocale::c().toString(first, u"MMMM yyyy"_s),
                QString::number(first.daysInMonth()));
        if (month < 1 || month > 12)
            return u"%1 is not a date: a month is 01 to 12."_s.arg(text.trimmed());
    }
    return u"%1 is not a date: type the day, month and year as dd/mm/yyyy."_s.arg(text.trimmed());
}

bool DatePicker::refuseLeaving()
{
    const QString why = refusal();
    if (why.isEmpty())
        return false;
    QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
    return true;
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_clicked = true;
        return QDateEdit::eventFilter(watched, event);
    }
    // While the box has the focus: a click on another control of the window, or its access
    // key, would act on a date that is not the one shown. The press is caught as it reaches
    // the window, before Qt moves the focus, or else as it reaches the control; its release
    // too, which would hide the reason shown.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        QWidget *target = nullptr;
        if (watched == window()->windowHandle()) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            target = window()->childAt(mouse->position().toPoint());
        } else if (auto *widget = qobject_cast<QWidget *>(watched);
                   widget && widget->window() == window()) {
            target = widget;
        }
        if (target && target != this && !isAncestorOf(target) && refuseLeaving())
            return true;
    } else if (event->type() == QEvent::Shortcut && watched != this && refuseLeaving()) {
        return true;
    }
    return false;
}

void DatePicker::focusInEvent(QFocusEvent *event)
{
    qApp->installEventFilter(this);
    // Coming back, the editor shows its last date again; a date refused stays as typed.
    const QString typed = lineEdit()->text();
    QDateEdit::focusInEvent(event);
    if (dayBeyondItsMonth(typed) && lineEdit()->text() != typed)
        lineEdit()->setText(typed);
}

void DatePicker::focusOutEvent(QFocusEvent *event)
{
    // The editor would mend an impossible date into the month's last day; it stays as typed.
    const QString why = refusal();
    if (why.isEmpty()) {
        qApp->removeEventFilter(this);
        QDateEdit::focusOutEvent(event);
        return;
    }
    QCoreApplication::sendEvent(lineEdit(), event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return; // another window or a menu for now: the box gets the focus back with it
    refuseLeaving();
    setFocus(Qt::OtherFocusReason);
}

bool DatePicker::focusNextPrevChild(bool next)
{
    if (refuseLeaving())
        return true;
    // The date editor would walk its sections; the window moves on to the next control.
    return QWidget::focusNextPrevChild(next);
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    const bool altDown =
        event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier) != 0;
    if (event->key() == Qt::Key_F4 || altDown) {
        openCalendar();
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        openMenu();
        return;
    }
    // Enter makes the editor settle its text, mending 31/02 into 28/02: refused instead.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && refuseLeaving())
        return;
    // After a click the cursor sits inside a part with nothing selected, where a digit cannot
    // go without making the date invalid: the first digit replaces the part clicked.
    const QString typed = event->text();
    if (m_clicked && typed.size() == 1 && typed.front().isDigit() &&
        !lineEdit()->hasSelectedText()) {
        if (currentSection() != NoSection)
            setSelectedSection(currentSection()); // the part the cursor is in
    }
    m_clicked = false;
    QDateEdit::keyPressEvent(event);
}

void DatePicker::openCalendar()
{
    // The arrow as the date editor finds it: a combo box's, in an editable frame.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    const QPointF at =
        arrow.isValid() ? QPointF(arrow.center()) : QPointF(width() - 4, height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QDateEdit::mousePressEvent(&press);
}

void DatePicker::offerPeriods(DatePicker *from, DatePicker *to, std::function<QDate()> periodStart)
{
    m_from = from;
    m_to = to;
    m_periodStart = std::move(periodStart);
}

void DatePicker::setAccessibleText(const QString &name, const QString &description)
{
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(lineEdit())}) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    }
}

void DatePicker::openMenu()
{
    showMenu(mapToGlobal(QPoint(0, height())));
}

void DatePicker::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_from || !m_to) {
        QDateEdit::contextMenuEvent(event);
        return;
    }
    showMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                         : mapToGlobal(QPoint(0, height())));
}

void DatePicker::showMenu(const QPoint &globalPosition)
{
    if (!m_from || !m_to)
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(u"mnuPeriods"_s);
    menu->setAccessibleName(u"Preset periods"_s);
    const QDate start = m_periodStart ? m_periodStart() : QDate();
    for (const PeriodPresets::Period &period : PeriodPresets::at(QDate::currentDate(), start)) {
        QAction *action = menu->addAction(
            u"%1\t%2 to %3"_s.arg(period.caption, period.from.toString(u"dd/MM/yyyy"_s),
                                  period.to.toString(u"dd/MM/yyyy"_s)));
        connect(action, &QAction::triggered, this, [this, period] {
            m_from->setDate(period.from);
            m_to->setDate(period.to);
        });
    }
    // The menu steals no place in the window's Enter and Tab order, and the focus comes back
    // to the box it was opened from.
    menu->popup(globalPosition);
}
