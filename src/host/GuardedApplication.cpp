#include "host/GuardedApplication.h"

#include "preview/ShowError.h"

#include <QScopeGuard>
#include <QWidget>
#include <cstdio>
#include <new>
#include <stdexcept>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        report(std::runtime_error("Out of memory"));
    } catch (const std::exception &e) {
        report(e);
    } catch (...) {
        report(std::runtime_error("An unexpected failure ended the operation"));
    }
    return false;
}

void GuardedApplication::report(const std::exception &error)
{
    if (m_reporting) {
        std::fprintf(stderr, "nvrptsales: %s\n", error.what());
        return;
    }
    m_reporting = true;
    const auto done = qScopeGuard([this] { m_reporting = false; });
    ShowError(error, activeWindow());
}
