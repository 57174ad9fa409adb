#include "db/CsvWriter.h"

#include "db/ResultTable.h"

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

void appendField(QByteArray &line, const QString &value)
{
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
                       value.contains(u'\r');
    if (!quote) {
        line += value.toUtf8();
        return;
    }
    QString escaped = value;
    escaped.replace(u"\""_s, u"\"\""_s);
    line += '"';
    line += escaped.toUtf8();
    line += '"';
}

} // namespace

bool CsvWriter::write(QIODevice &device, const ResultTable &table)
{
    std::vector<int> rows(size_t(table.rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return write(device, table, rows);
}

bool CsvWriter::write(QIODevice &device, const ResultTable &table, const std::vector<int> &rows)
{
    return writeLines(device, table, rows, true);
}

bool CsvWriter::writeRows(QIODevice &device, const ResultTable &table)
{
    std::vector<int> rows(size_t(table.rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return writeLines(device, table, rows, false);
}

bool CsvWriter::writeLines(QIODevice &device, const ResultTable &table,
                           const std::vector<int> &rows, bool header)
{
    QByteArray buffer;
    buffer.reserve(1 << 16);
    if (header) {
        for (int c = 0; c < table.columnCount(); ++c) {
            if (c > 0)
                buffer += ',';
            appendField(buffer, table.columnName(c));
        }
        buffer += "\r\n";
    }
    for (int row : rows) {
        for (int c = 0; c < table.columnCount(); ++c) {
            if (c > 0)
                buffer += ',';
            appendField(buffer, table.text(c, row));
        }
        buffer += "\r\n";
        if (buffer.size() > (1 << 16)) {
            if (device.write(buffer) != buffer.size())
                return false;
            buffer.clear();
        }
    }
    return device.write(buffer) == buffer.size();
}
