#include "ModalWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPushButton>

ModalWatcher::ModalWatcher(Handler handler) : m_handler(std::move(handler))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start();
}

void ModalWatcher::close(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QAbstractButton *button = box->defaultButton();
        if (!button)
            button = box->buttons().value(0);
        if (button)
            button->click();
        else
            box->close();
    } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_current || !modal->isVisible() || m_ignored.contains(modal))
        return;
    m_current = modal;
    // Dialogs are kept and opened again: forget this one when it hides.
    modal->installEventFilter(this);
    Seen seen{QString::fromLatin1(modal->metaObject()->className()), modal->objectName(),
              modal->windowTitle(), QString(), QMessageBox::NoIcon};
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
    }
    m_seen.push_back(seen);
    Handler handler = m_handler;
    if (!m_queue.empty()) {
        handler = std::move(m_queue.front());
        m_queue.erase(m_queue.begin());
    }
    if (handler)
        handler(modal);
    else
        close(modal);
}

bool ModalWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched == m_current) {
        watched->removeEventFilter(this);
        m_current = nullptr;
    }
    return QObject::eventFilter(watched, event);
}
