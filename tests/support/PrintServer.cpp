#include "PrintServer.h"

#include <QDeadlineTimer>
#include <QThread>
#include <cups/cups.h>

using namespace Qt::StringLiterals;

namespace PrintServer {

namespace {

// The jobs of one printer, as the server lists them.
QList<int> listJobs(const QString &name, int which)
{
    cups_job_t *list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, name.toUtf8().constData(), 0, which);
    QList<int> ids;
    for (int i = 0; i < count; ++i)
        ids.append(list[i].id);
    cupsFreeJobs(count, list);
    return ids;
}

} // namespace

bool ready(QString *why)
{
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER")) {
        *why = u"no private print server: run the printing tests through ctest"_s;
        return false;
    }
    for (const QString &name : {printer, rejectingPrinter}) {
        cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr);
        if (!dest) {
            *why = u"the print server %1 has no printer %2"_s.arg(
                qEnvironmentVariable("CUPS_SERVER"), name);
            return false;
        }
        cupsFreeDests(1, dest);
    }
    return true;
}

QList<int> jobs(const QString &name)
{
    return listJobs(name, CUPS_WHICHJOBS_ALL);
}

bool waitUntilIdle(const QString &name, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!listJobs(name, CUPS_WHICHJOBS_ACTIVE).isEmpty()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20); // the server tells no one when a job is done: ask again shortly
    }
    return true;
}

} // namespace PrintServer
