#pragma once

#include "presentation/ReportLayout.h"

#include <QByteArray>
#include <QString>

// Reads a layout file (JSON; lengths in millimetres, colours as #RRGGBB) into a ReportLayout.
// Every mistake is a LayoutError naming the file and the JSON path or line: an unknown key,
// a missing height, a summary where no total can be known, a group or parameter that does
// not exist.
class LayoutParser
{
public:
    [[nodiscard]] static ReportLayout parse(const QByteArray &json, const QString &fileName);
};
