#include "criteria/DatePicker.h"

#include "criteria/SqlDateRange.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

using namespace Qt::StringLiterals;

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(u"dd/MM/yyyy"_s);
    setDateRange(SqlDateRange::first(), SqlDateRange::last());
    setCalendarPopup(true);
    lineEdit()->installEventFilter(this);
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress)
        m_clicked = true;
    return QDateEdit::eventFilter(watched, event);
}

bool DatePicker::focusNextPrevChild(bool next)
{
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
