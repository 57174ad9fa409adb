#pragma once

#include "presentation/Expression.h"
#include "presentation/ReportLayout.h"

#include <QVariant>
#include <limits>
#include <memory>
#include <vector>

class ResultTable;

// The rows a report prints, bound to its layout: every column the layout names is resolved to
// a column of the result (matched without regard to case) or to a computed column, once; and
// for every row the outermost group level that begins there is worked out, so paginating
// never compares values again. A column the result lacks is a Failure naming it.
class DataBinding
{
public:
    // rows: the result's rows in print order (empty with allRows for every row).
    DataBinding(std::shared_ptr<const ResultTable> table, std::vector<int> rows, bool allRows,
                const ReportLayout &layout);

    [[nodiscard]] int rowCount() const { return m_rowCount; }
    [[nodiscard]] const ResultTable &table() const { return *m_table; }
    [[nodiscard]] std::shared_ptr<const ResultTable> sharedTable() const { return m_table; }
    [[nodiscard]] int tableRow(int row) const { return m_allRows ? row : m_rows[size_t(row)]; }

    // Reference of a bound name: >= 0 a result column, < 0 a computed column.
    [[nodiscard]] int reference(const QString &name) const;
    // Whether a name is bound: a result column or a computed column.
    [[nodiscard]] bool hasColumn(const QString &name) const;

    [[nodiscard]] bool isNull(int reference, int row) const;
    [[nodiscard]] double number(int reference, int row) const;
    [[nodiscard]] QVariant value(int reference, int row) const;

    // A computed column's design, and its value for other values of its inputs (given by
    // their position in the column's names).
    [[nodiscard]] const ComputedColumn &computed(int reference) const;
    [[nodiscard]] const QStringList &inputsOf(int reference) const;
    template<typename ValueOf> [[nodiscard]] double evaluate(int reference, ValueOf valueOf) const
    {
        return m_computed[size_t(-1 - reference)].evaluate(valueOf);
    }
    // Whether a figure is 0 as a report prints it (to the cent).
    [[nodiscard]] static bool printsAsZero(double value);

    // For each row, the outermost group level that begins there (0 for the first row), or the
    // number of groups where none does. Handed over once, to the paginator.
    [[nodiscard]] std::vector<uint8_t> takeGroupBreaks() { return std::move(m_breaks); }

private:
    std::vector<double> sortKey(int reference) const;
    void sortRows(const ReportLayout &layout);
    int resolve(const QString &name, const QString &usedBy) const;

    std::shared_ptr<const ResultTable> m_table;
    std::vector<int> m_rows;
    bool m_allRows;
    int m_rowCount;
    std::vector<QString> m_computedNames;
    std::vector<ComputedColumn> m_computedDesigns;
    std::vector<int> m_emptyWhenZero; // per computed column: a reference, or noReference
    static constexpr int noReference = std::numeric_limits<int>::min();
    std::vector<Expression> m_computed;
    std::vector<std::vector<int>> m_computedInputs; // references per expression name
    std::vector<uint8_t> m_breaks;
};
