#pragma once

#include "presentation/Report.h"

#include <QString>

// Writes a bound report as an .xlsx workbook that reads like the report: its heading texts,
// a frozen header row of the layout's column captions with an autofilter, the rows in print
// order as typed cells, and each group closed by a subtotal row whose SUBTOTAL formulas sum
// the rows above it, so totals follow a user's edits and filters. Rows carry outline levels
// so groups collapse to their totals. Written in constant-memory mode: memory does not grow
// with the rows; a report longer than a sheet continues on further sheets, each with its
// header row.
class XlsxExporter
{
public:
    // The rows of one worksheet, header rows included.
    static constexpr int sheetRowLimit = 1048576;

    explicit XlsxExporter(const Report &report) : m_report(report) {}

    // Rows per sheet before the report continues on a new one (at most sheetRowLimit; at least
    // enough for the heading and one row).
    void setRowsPerSheet(int rows) { m_rowsPerSheet = rows; }

    // Writes to a temporary file that replaces the target only when complete. Returns false
    // when the progress callback (rows done, row count) cancelled; throws Failure on errors.
    [[nodiscard]] bool write(const QString &path, const Report::Progress &progress = {}) const;

private:
    const Report &m_report;
    int m_rowsPerSheet = sheetRowLimit;
};
