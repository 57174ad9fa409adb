#pragma once

#include "reports/CriteriaField.h"

class DatePicker;
class IdBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

// The rows of a criteria window, one criterion each: its caption, then its control (an id box
// with its search button and name box, a number box, a list), in the window's columns. A high
// end of a range joins the row of its low end.
class CriteriaGrid
{
public:
    // The grid's controls belong to the window; the grid is its layout's first part.
    explicit CriteriaGrid(QWidget *window);

    [[nodiscard]] QGridLayout *layout() const { return m_grid; }
    void addDates(DatePicker *from, DatePicker *to);
    [[nodiscard]] IdBox *addIdBox(const CriteriaField &field);
    [[nodiscard]] QLineEdit *addRangeBox(const CriteriaField &field);
    [[nodiscard]] QComboBox *addChoice(const CriteriaField &field);

private:
    [[nodiscard]] QLabel *label(const QString &text) const;
    // A row of the caption and a control, left-aligned.
    void addRow(QLabel *caption, QWidget *control);

    QWidget *m_window;
    QGridLayout *m_grid;
    int m_row = 0;
    QLineEdit *m_rangeFrom = nullptr; // the row a RangeTo box joins
};
