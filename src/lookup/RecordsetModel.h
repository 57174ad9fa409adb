#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class Recordset;

// A lookup grid's view of its result set: one row per record, one column per bound field,
// read-only. Rows are fetched as the grid scrolls, so binding a long list costs nothing until
// its rows are seen. Qt::UserRole gives a cell's raw value; the display role its text.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString name;    // grid column name: ID, Name, City
        QString caption; // header text
        QString field;   // result-set field bound to it
        int width;       // design width (twips); the grid keeps the proportions
    };

    explicit RecordsetModel(std::vector<Column> columns, QObject *parent = nullptr);

    // Binds the grid to the result set's records (again); the fields are resolved by name,
    // without regard to case. Throws Failure when a field is missing.
    void bind(const Recordset *recordset);
    [[nodiscard]] int recordCount() const;
    [[nodiscard]] const std::vector<Column> &columns() const { return m_columns; }
    // Makes sure the grid holds the row, fetching as far as needed.
    void fetchUpTo(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    std::vector<Column> m_columns;
    std::vector<int> m_fields; // result column of each grid column
    std::vector<int> m_rows;   // table row of each record
    const Recordset *m_recordset = nullptr;
    int m_fetched = 0;
};
