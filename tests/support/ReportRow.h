#pragma once

#include "reports/ReportCatalog.h"

#include <stdexcept>

// The catalogue row of a report named as on the command line: tests name reports as users do.
inline const ReportEntry &reportRow(const QString &commandName)
{
    if (const ReportEntry *row = ReportCatalog::byCommandName(commandName))
        return *row;
    throw std::invalid_argument("no report named " + commandName.toStdString());
}
