#include "db/CsvWriter.h"

#include "db/ResultTable.h"

#include <charconv>
#include <cmath>
#include <numeric>
#include <string>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSignificant = 15; // digits a spreadsheet shows of a number, free of binary noise

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

// Whether a cell holds a number written from a double (a real column, or a double among
// mixed values), and which.
bool realValue(const ResultTable &table, int column, int row, double &value)
{
    switch (table.columnType(column)) {
    case ResultTable::Type::Real:
        value = table.number(column, row);
        return true;
    case ResultTable::Type::Variant: {
        const QVariant v = table.value(column, row);
        if (v.typeId() != QMetaType::Double)
            return false;
        value = v.toDouble();
        return true;
    }
    default:
        return false;
    }
}

} // namespace

QByteArray CsvWriter::numberText(double value)
{
    if (!std::isfinite(value))
        return ResultTable::formatReal(value).toLatin1();
    if (value == 0)
        return QByteArrayLiteral("0");
    // 15 significant digits: d.dddddddddddddde[+-]x, then the zeros at the end dropped.
    char scientific[40];
    const auto written = std::to_chars(scientific, scientific + sizeof scientific, value,
                                       std::chars_format::scientific, kSignificant - 1);
    const std::string_view text(scientific, size_t(written.ptr - scientific));
    const size_t e = text.find('e');
    const bool negative = text.front() == '-';
    std::string digits;
    for (char c : text.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
        if (c != '.')
            digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);

    QByteArray out;
    if (negative)
        out += '-';
    const int length = int(digits.size());
    if (exponent < -7 || exponent >= 21) {
        // Too far from the point to write out: as a spreadsheet writes it, 1.5E+21.
        out += digits[0];
        if (length > 1)
            out += '.' + QByteArray(digits.data() + 1, length - 1);
        out += (exponent > 0 ? "E+" : "E") + QByteArray::number(exponent);
    } else if (exponent < 0) {
        out += "0." + QByteArray(-exponent - 1, '0') + QByteArray(digits.data(), length);
    } else if (exponent + 1 >= length) {
        out += QByteArray(digits.data(), length) + QByteArray(exponent + 1 - length, '0');
    } else {
        out += QByteArray(digits.data(), exponent + 1) + '.' +
               QByteArray(digits.data() + exponent + 1, length - exponent - 1);
    }
    return out;
}

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
            double real = 0;
            if (table.isNull(c, row))
                continue;
            if (realValue(table, c, row, real))
                buffer += numberText(real);
            else
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
