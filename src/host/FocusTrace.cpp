#include "host/FocusTrace.h"

#include "db/Failure.h"

#include <QApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

FocusTrace::~FocusTrace()
{
    try {
        if (m_file)
            m_file->commit();
    } catch (const Failure &) {
        // The trace was being written as it went; a last refusal has nobody left to tell.
    }
}

void FocusTrace::start(const QString &path)
{
    auto file = std::make_unique<OutputFile>(path, Failure::componentSource(),
                                             OutputFile::Placement::InPlace);
    m_device = &file->open();
    m_file = std::move(file);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { write(now); });
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
    m_device->write(line.toUtf8());
    m_file->flush(); // read while the program runs
}
