#include "ModalWatcher.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDialog>

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
    if (!modal || modal == m_current || !modal->isVisible())
        return;
    m_current = modal;
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
