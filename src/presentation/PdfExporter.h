#pragma once

#include "presentation/Report.h"

// Writes a report as a PDF, page by page, to a temporary file that replaces the target only
// when complete: a failed or cancelled export leaves no partial file.
class PdfExporter
{
public:
    // Returns false when the progress callback cancelled; throws Failure on errors.
    [[nodiscard]] static bool write(Report &report, const QString &path, const Report::Progress &progress);
};
