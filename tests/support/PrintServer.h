#pragma once

#include <QList>
#include <QString>

// The private CUPS server the test run starts (scripts/print-server.sh, as a CTest fixture)
// and names to the printing test programs only, in CUPS_SERVER. Its printers print into
// nothing: printing is tested for real, by the jobs the server takes.
namespace PrintServer {
// The server's default printer; takes every job.
inline const QString printer = QStringLiteral("NorvalePDF");
// A printer that refuses every job, giving its reason.
inline const QString rejectingPrinter = QStringLiteral("NorvaleRejects");
inline const QString rejectingReason = QStringLiteral("Out of paper: the test queue takes no jobs");

// True when the private server is there with its printers; otherwise why not.
bool ready(QString *why);
// The ids of every job the printer was given, in any state. A job is there as soon as the
// call that printed it returns, so a count taken then is exact.
QList<int> jobs(const QString &name = printer);
// Waits until the printer has no job left to process, at most timeoutMs.
bool waitUntilIdle(const QString &name = printer, int timeoutMs = 30000);
} // namespace PrintServer
