#pragma once

#include <QDateEdit>
#include <functional>

// A report window's date picker, as users of such windows expect it: Tab leaves it (the day,
// month and year are walked with the arrow keys), digits typed after a click replace the part
// clicked, and Alt+Down or F4 opens the calendar. A date that does not exist (31/02/2026) is
// refused where it is typed: the box keeps the focus and says why, and never turns it into
// another date. The Menu key or Shift+F10 offers preset periods where the window asks for them.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    // Opens the calendar, as a click on the arrow does.
    void openCalendar();
    // Why the text typed is no date, or nothing when it is one.
    [[nodiscard]] QString refusal() const;
    // The box's menu offers the preset periods, which set both ends of the period; the
    // financial year is that of the period start given.
    void offerPeriods(DatePicker *from, DatePicker *to, std::function<QDate()> periodStart);
    // Opens the box's menu below it, as the Menu key does.
    void openMenu();
    // The name and purpose a screen reader announces, on the box and the editor inside it.
    void setAccessibleText(const QString &name, const QString &description);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // True (and the reason shown at the box) when the text typed is no date.
    bool refuseLeaving();
    void showMenu(const QPoint &globalPosition);
    void keepTypedMonth(const QString &text);

    bool m_clicked = false; // the text was clicked and nothing has been typed since
    bool m_keeping = false; // moving the date held into the month typed
    DatePicker *m_from = nullptr;
    DatePicker *m_to = nullptr;
    std::function<QDate()> m_periodStart;
};
