#pragma once

#include <QDateEdit>

// A report window's date picker, as users of such windows expect it: Tab leaves it (the day,
// month and year are walked with the arrow keys), digits typed after a click replace the part
// clicked, and Alt+Down or F4 opens the calendar.
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_clicked = false; // the text was clicked and nothing has been typed since
};
