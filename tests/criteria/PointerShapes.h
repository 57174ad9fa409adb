#pragma once

#include <QEvent>
#include <QWidget>
#include <vector>

// The shapes a window's pointer takes, in order: a busy pointer shown while a report is built
// must give way to the normal one afterwards.
class PointerShapes : public QObject
{
public:
    explicit PointerShapes(QWidget *window) : m_window(window) { window->installEventFilter(this); }
    std::vector<Qt::CursorShape> shapes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::CursorChange &&
            (shapes.empty() || shapes.back() != m_window->cursor().shape()))
            shapes.push_back(m_window->cursor().shape());
        return false;
    }

private:
    QWidget *m_window;
};
