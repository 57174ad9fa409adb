#pragma once

#include <QTextStream>
#include <vector>

class ResultTable;

// Writes result rows as CSV to a command's output stream: straight to its device when it has
// one (standard output, a file), through a buffer when it writes to a string (tests).
class CsvOutput
{
public:
    [[nodiscard]] static bool write(QTextStream &out, const ResultTable &table);
};
