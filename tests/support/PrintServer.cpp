#include "PrintServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(10000))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace

namespace PrintServer {

bool ready(QString *why)
{
    if (!run(u"lpstat"_s, {u"-r"_s}).contains(u"is running"_s)) {
        *why = u"CUPS is not running (scripts/print-server.sh starts it)"_s;
        return false;
    }
    if (!run(u"lpstat"_s, {u"-d"_s}).contains(printer)) {
        *why = u"the default printer is not the test PDF printer %1"_s.arg(printer);
        return false;
    }
    return true;
}

int completedJobs()
{
    const QString listed = run(u"lpstat"_s, {u"-W"_s, u"completed"_s, u"-o"_s, printer});
    return int(listed.split(u'\n', Qt::SkipEmptyParts).size());
}

bool waitForCompletedJobs(int count, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (completedJobs() >= count)
            return true;
        QThread::msleep(200);
    }
    return false;
}

} // namespace PrintServer
