#include "criteria/NumericKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

using namespace Qt::StringLiterals;

NumericKeyFilter::NumericKeyFilter(QLineEdit *box, bool allowDecimal)
    : QObject(box), m_allowDecimal(allowDecimal)
{
}

void NumericKeyFilter::install(QLineEdit *box, bool allowDecimal)
{
    auto *filter = new NumericKeyFilter(box, allowDecimal);
    box->installEventFilter(filter);
    // Pasting (or any other way of putting text in) is held to digits too.
    const QString pattern = allowDecimal ? u"[0-9]*(\\.[0-9]*)?"_s : u"[0-9]*"_s;
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), box));
}

bool NumericKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    // Keys that type nothing (arrows, Backspace, Delete, Ctrl+V) are the box's own.
    if (text.isEmpty() || !text.front().isPrint())
        return false;
    const QChar c = text.front();
    if (c.isDigit() && c.unicode() < 128)
        return false;
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (m_allowDecimal && c == u'.' && box && !box->text().contains(u'.'))
        return false;
    return true; // discarded
}
