#include "host/FocusTrace.h"

#include <QApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

bool FocusTrace::start(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { write(now); });
    return true;
}

QString FocusTrace::describe(const QWidget *control)
{
    if (!control)
        return u"-"_s;
    const QString name = control->objectName();
    return name.isEmpty() ? QString::fromLatin1(control->metaObject()->className()) : name;
}

void FocusTrace::write(QWidget *now)
{
    if (!now)
        return;
    const QWidget *window = now->window();
    const QString line = describe(window) + u'\t' + describe(now) + u'\t' +
                         window->windowTitle() + u'\n';
    m_file.write(line.toUtf8());
    m_file.flush(); // read while the program runs
}
