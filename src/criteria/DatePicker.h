#pragma once

#include <QDateEdit>

// A report window's date picker, as users of such windows expect it: Tab leaves it (the day,
// month and year are walked with the arrow keys), a click selects the part clicked so that
// digits typed replace it, and Alt+Down or F4 opens the calendar.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    // Opens the calendar, as a click on the arrow does.
    void openCalendar();

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
