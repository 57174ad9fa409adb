#pragma once

#include "presentation/Report.h"

// Where a report object sends itself when it prints without a dialog. The printing library
// gives one to the reports it prepares, so that the engine itself needs no printing system.
class ReportPrinting
{
public:
    virtual ~ReportPrinting() = default;
    // Prints on the printer named (empty: the report's selected printer, or the default) as
    // one job. Throws Failure when the printer does not accept it.
    [[nodiscard]] virtual bool print(Report &report, const QString &printerName,
                       const Report::Progress &progress) const = 0;
};
