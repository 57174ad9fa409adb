#pragma once

#include "db/Criterion.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class Connection;
class ResultTable;

// A window's result set: a static, read-only snapshot of one query, read completely when it
// is opened. The current record moves over the records that the filter lets through; BOF and
// EOF are the positions before the first and after the last of them. Failures throw Failure.
class Recordset
{
public:
    enum State { StateClosed = 0, StateOpen = 1 };

    Recordset() = default;

    // Runs the query on the connection (closing this result set first if it is open) and
    // reads every row. The current record is the first one, if any.
    void open(const QString &sql, const Connection &connection);
    // Opens on rows already read, as the result of a query executed on the connection.
    void open(std::shared_ptr<const ResultTable> rows);
    void close();

    [[nodiscard]] State state() const { return m_rows ? StateOpen : StateClosed; }
    [[nodiscard]] bool isOpen() const { return m_rows != nullptr; }
    [[nodiscard]] bool bof() const;
    [[nodiscard]] bool eof() const;
    // Number of records the filter lets through.
    [[nodiscard]] int recordCount() const;

    void moveFirst();
    void moveNext();
    void moveLast();
    // Moves to the record at a 0-based position among the visible records.
    void move(int position);
    // 0-based position of the current record among the visible records; -1 at BOF or EOF.
    [[nodiscard]] int position() const;

    // Shows only the records satisfying the criterion ("" shows all) and moves to the first.
    void setFilter(const QString &criterion);
    [[nodiscard]] const QString &filter() const { return m_filterText; }

    // Searches forward from the first record for one satisfying the criterion; it becomes the
    // current record. Without a match the result set is left at EOF. Returns whether found.
    bool find(const QString &criterion);

    // Value of the named field (case ignored) in the current record.
    [[nodiscard]] QVariant field(const QString &name) const;

    // The rows as read, shared with the reports bound to them; null when closed.
    [[nodiscard]] std::shared_ptr<const ResultTable> rows() const { return m_rows; }
    // Row of the table that holds the current record; -1 at BOF or EOF.
    [[nodiscard]] int currentRow() const;
    // Table rows the filter lets through, in order (all rows when there is no filter).
    [[nodiscard]] std::vector<int> visibleRows() const;

private:
    const ResultTable &openRows() const;
    int tableRow(int position) const;

    std::shared_ptr<const ResultTable> m_rows;
    std::optional<std::vector<int>> m_filtered; // visible table rows when filtered
    QString m_filterText;
    int m_position = -1; // -1 = BOF, recordCount() = EOF
};
