#pragma once

#include "presentation/OutputFile.h"

#include <QObject>
#include <memory>

class QWidget;

// Writes every change of keyboard focus to a file, one line each: the window's object name,
// the control's object name (its class when it has none) and the window's caption, separated
// by tabs. For checks that drive the windows with real key presses on a display and need to
// see where each press put the focus.
class FocusTrace : public QObject
{
    Q_OBJECT
public:
    ~FocusTrace() override;

    // Starts tracing into path, truncated, written as any output is (never over the database
    // being read); throws Failure when it cannot be written.
    void start(const QString &path);

    [[nodiscard]] static QString describe(const QWidget *control);

private:
    void write(QWidget *now);

    std::unique_ptr<OutputFile> m_file;
    QIODevice *m_device = nullptr; // owned by m_file
};
