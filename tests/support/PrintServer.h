#pragma once

#include <QString>

// The local CUPS server with its PDF printer, NorvalePDF, that the test set-up starts
// (scripts/print-server.sh): printing is tested for real, counting the jobs it completes.
namespace PrintServer {
inline const QString printer = QStringLiteral("NorvalePDF");
// True when the PDF printer is there and is the default printer; otherwise why not.
bool ready(QString *why);
int completedJobs();
// Waits until the printer has completed at least that many jobs.
bool waitForCompletedJobs(int count, int timeoutMs = 30000);
} // namespace PrintServer
