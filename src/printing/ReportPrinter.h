#pragma once

#include "presentation/Report.h"

class ReportPrinting;

class QPrinter;

// Sends a report to a printer as one job, without a dialog.
class ReportPrinter
{
public:
    // The printer to use for a name: that printer when the system has it, otherwise the
    // default printer (the first one when none is marked default). Throws Failure when the
    // system has no printer at all.
    [[nodiscard]] static QString choosePrinter(const QString &wanted);

    // Prints on the printer named (empty: the report's selected printer, or the default) as
    // one job of the report's PDF. Throws Failure when the printer does not accept the job.
    [[nodiscard]] static bool print(Report &report, const QString &printerName, const Report::Progress &progress);
    // The printing the reports of this component are given (print() without a dialog).
    [[nodiscard]] static const ReportPrinting &printing();

    // Prints on a printer already set up (by a print dialog, say), in the report's orientation.
    [[nodiscard]] static bool print(Report &report, QPrinter &printer, const Report::Progress &progress);
};
