#include "criteria/DatePicker.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>

using namespace Qt::StringLiterals;

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(u"dd/MM/yyyy"_s);
    setCalendarPopup(true);
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
    QDateEdit::keyPressEvent(event);
}

void DatePicker::mouseReleaseEvent(QMouseEvent *event)
{
    QDateEdit::mouseReleaseEvent(event);
    // A click leaves a bare cursor, into which a digit cannot go without making the date
    // invalid: select the section clicked, so that typing replaces it.
    if (event->button() == Qt::LeftButton && lineEdit()->hasSelectedText() == false) {
        const Section clicked = sectionAt(lineEdit()->cursorPosition());
        if (clicked != NoSection)
            setSelectedSection(clicked);
    }
}

void DatePicker::openCalendar()
{
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    const QPointF at =
        arrow.isValid() ? QPointF(arrow.center()) : QPointF(width() - 4, height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QDateEdit::mousePressEvent(&press);
}
