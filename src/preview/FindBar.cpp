#include "preview/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"FindBar"_s);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    auto *label = new QLabel(tr("F&ind:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(u"FindText"_s);
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(220);
    m_edit->installEventFilter(this);
    label->setBuddy(m_edit);
    auto button = [this](const QString &text, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    QToolButton *previous = button(tr("Previous"), tr("Previous match (Shift+F3)"));
    QToolButton *next = button(tr("Next"), tr("Next match (F3)"));
    QToolButton *close = button(tr("Close Find"), tr("Close the find bar (Esc)"));
    m_status = new QLabel(this);
    m_status->setObjectName(u"FindStatus"_s);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_status, 1);
    layout->addWidget(close);
    connect(m_edit, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(m_edit, &QLineEdit::textEdited, this, &FindBar::textEdited);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        Q_EMIT closed();
    });
}

QString FindBar::text() const
{
    return m_edit->text();
}

QString FindBar::status() const
{
    return m_status->text();
}

void FindBar::setStatus(const QString &status)
{
    m_status->setText(status);
}

void FindBar::open()
{
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    // Esc in the find box closes the bar, not the window: the box claims the key before the
    // window's shortcut sees it.
    if (watched == m_edit &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            hide();
            Q_EMIT closed();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
