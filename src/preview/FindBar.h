#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The preview window's find bar: the text to find, Next and Previous, and what was found.
// Enter and F3 ask for the next match, Shift+F3 for the one before, Esc closes the bar.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    explicit FindBar(QWidget *parent = nullptr);

    [[nodiscard]] QString text() const;
    [[nodiscard]] QLineEdit *edit() const { return m_edit; }
    [[nodiscard]] QString status() const;
    void setStatus(const QString &status);
    // Shows the bar with its text selected, ready to type over.
    void open();

Q_SIGNALS:
    void findNext();
    void findPrevious();
    void textEdited();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit;
    QLabel *m_status;
};
