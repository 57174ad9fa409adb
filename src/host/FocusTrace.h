#pragma once

#include <QFile>
#include <QObject>

class QWidget;

// Writes every change of keyboard focus to a file, one line each: the window's object name,
// the control's object name (its class when it has none) and the window's caption, separated
// by tabs. For checks that drive the windows with real key presses on a display and need to
// see where each press put the focus.
class FocusTrace : public QObject
{
    Q_OBJECT
public:
    // Starts tracing into path (truncated); false when the file cannot be written.
    bool start(const QString &path);

    [[nodiscard]] static QString describe(const QWidget *control);

private:
    void write(QWidget *now);

    QFile m_file;
};
