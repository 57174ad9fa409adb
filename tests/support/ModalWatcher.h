#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

// Watches for modal windows while a test drives the user interface: each one that appears is
// recorded and then handed to the test's handler, or closed (a message box by its default
// button, a dialog rejected) so that no test blocks.
class ModalWatcher : public QObject
{
public:
    struct Seen
    {
        QString className;
        QString objectName;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };
    using Handler = std::function<void(QWidget *)>;

    explicit ModalWatcher(Handler handler = {});

    // Handlers for the next modal windows, used in turn; then the default.
    void then(Handler handler) { m_queue.push_back(std::move(handler)); }
    // A modal window the test drives itself: never recorded or closed.
    void ignore(QWidget *window) { m_ignored.append(window); }
    [[nodiscard]] const std::vector<Seen> &seen() const { return m_seen; }
    [[nodiscard]] int count() const { return int(m_seen.size()); }
    [[nodiscard]] const Seen &last() const { return m_seen.back(); }
    void clear() { m_seen.clear(); }

    static void close(QWidget *modal);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();

    Handler m_handler;
    std::vector<Handler> m_queue;
    std::vector<Seen> m_seen;
    QPointer<QWidget> m_current;
    QList<QPointer<QWidget>> m_ignored;
    QTimer m_timer;
};
