#pragma once

#include <QIODevice>
#include <vector>

class ResultTable;

// Result rows as CSV (RFC 4180): a header of the column names, then one line per row;
// numbers as the shortest text of at most 15 significant digits that reads back to them
// (0.1 + 0.2 is 0.3, as a spreadsheet shows it), with a '.' decimal point and no grouping;
// dates as yyyy-MM-dd, null as an empty field. UTF-8, lines ended by CR LF.
class CsvWriter
{
public:
    // Writes all rows, or only the given table rows in that order. Returns false when the
    // device refused the data.
    [[nodiscard]] static bool write(QIODevice &device, const ResultTable &table);
    [[nodiscard]] static bool write(QIODevice &device, const ResultTable &table,
                                    const std::vector<int> &rows);
    // All rows without the header line: a further batch of rows already begun.
    [[nodiscard]] static bool writeRows(QIODevice &device, const ResultTable &table);
    // A number as a field: 3663.0000000000005 is 3663, 1e-5 is 0.00001.
    [[nodiscard]] static QByteArray numberText(double value);

private:
    static bool writeLines(QIODevice &device, const ResultTable &table,
                           const std::vector<int> &rows, bool header);
};
