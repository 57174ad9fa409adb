#pragma once

#include <QObject>

class QLineEdit;

// The key filter of number boxes: a digit, or Backspace, is let through; a decimal point
// only where decimals are allowed and the box holds none yet; every other typed character is
// discarded. Pasted text is held to the same rule, so nothing but a number reaches the box.
class NumericKeyFilter : public QObject
{
    Q_OBJECT
public:
    // Installs itself on the box (which owns it).
    static void install(QLineEdit *box, bool allowDecimal);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    NumericKeyFilter(QLineEdit *box, bool allowDecimal);
    bool m_allowDecimal;
};
