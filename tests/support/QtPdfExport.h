#pragma once

#include "presentation/Report.h"

// A report written through Qt's own PDF writer (QPdfWriter and the page renderer), as the
// product once did: what the engine's own PDF writer is held to in tests and benchmarks.
namespace QtPdfExport {
// Returns false when the progress callback cancelled.
bool write(Report &report, const QString &path, const Report::Progress &progress = {});
} // namespace QtPdfExport
