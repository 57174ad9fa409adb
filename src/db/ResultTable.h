#pragma once

#include "db/TextPool.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <string_view>
#include <vector>

// The rows of one query, read completely and stored by column with typed storage: numbers as
// numbers, texts as indices into the column's pool of distinct texts, nulls as bits. Filled
// once by a reader through the append functions, then shared read-only (by the window's
// result set and by the reports bound to it).
class ResultTable
{
public:
    enum class Type : uint8_t { Null, Integer, Real, Text, Date, DateTime, Variant };

    explicit ResultTable(const QStringList &columnNames);

    // --- filling (by readers), a row at a time, every column once per row -------------------
    void appendNull(int column);
    void appendInteger(int column, qint64 value);
    void appendReal(int column, double value);
    void appendText(int column, std::string_view utf8);
    void appendDate(int column, QDate value);
    void appendDateTime(int column, const QDateTime &value);
    void appendVariant(int column, const QVariant &value);
    // Ends filling; checks that every column has the same number of rows.
    void finish();

    // --- reading ------------------------------------------------------------------------------
    [[nodiscard]] int rowCount() const { return m_rowCount; }
    [[nodiscard]] int columnCount() const { return int(m_columns.size()); }
    [[nodiscard]] const QString &columnName(int column) const
    {
        return m_columns[size_t(column)].name;
    }
    [[nodiscard]] QStringList columnNames() const;
    // Column with that name, compared without regard to case; -1 when there is none.
    [[nodiscard]] int columnIndex(QStringView name) const;
    [[nodiscard]] Type columnType(int column) const { return m_columns[size_t(column)].type; }

    [[nodiscard]] bool isNull(int column, int row) const
    {
        return m_columns[size_t(column)].nulls[size_t(row)];
    }
    [[nodiscard]] QVariant value(int column, int row) const;
    // Numeric value; 0 for null, and for text that is not a number.
    [[nodiscard]] double number(int column, int row) const;
    // Text of the value: numbers in full precision with '.', dates as yyyy-MM-dd; "" for null.
    [[nodiscard]] QString text(int column, int row) const;
    // True when two rows hold the same value in the column (null equals null); for grouping.
    [[nodiscard]] bool sameValue(int column, int rowA, int rowB) const;

    // Memory held, and the bytes of the values themselves (8 per number or date, the UTF-8
    // length of a text), for the snapshot budget.
    [[nodiscard]] size_t byteSize() const;
    [[nodiscard]] size_t rawValueBytes() const { return m_rawBytes; }

    // Shortest text that reads back as the same double ("0.1", "1500", "2.5e-07").
    [[nodiscard]] static QString formatReal(double value);

private:
    struct Column
    {
        QString name;
        Type type = Type::Null;
        std::vector<bool> nulls;
        std::vector<qint64> ints; // Integer; Date as Julian day; DateTime as UTC milliseconds
        std::vector<double> reals;
        std::vector<uint32_t> texts;
        TextPool pool;
        std::vector<QVariant> variants;
        size_t size() const { return nulls.size(); }
    };

    Column &prepare(int column, Type incoming)
    {
        Column &c = m_columns[size_t(column)];
        return c.type == incoming ? c : convert(c, incoming);
    }
    Column &convert(Column &c, Type incoming);
    void toVariant(Column &c);
    static QVariant cellVariant(const Column &c, size_t row);

    std::vector<Column> m_columns;
    QHash<QString, int> m_index; // lower-case name -> first column of that name
    int m_rowCount = 0;
    size_t m_rawBytes = 0;
};
