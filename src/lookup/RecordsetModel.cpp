#include "lookup/RecordsetModel.h"

#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kBatch = 256; // rows fetched at a time as the grid scrolls

} // namespace

RecordsetModel::RecordsetModel(std::vector<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void RecordsetModel::bind(const Recordset *recordset)
{
    std::vector<int> fields;
    std::vector<int> rows;
    if (recordset && recordset->isOpen()) {
        const ResultTable &table = *recordset->rows();
        for (const Column &c : m_columns) {
            const int field = table.columnIndex(c.field);
            if (field < 0)
                throw Failure(u"The grid column %1 is bound to the field %2, which the result set "
                              u"does not have"_s.arg(c.name, c.field),
                              Failure::recordsetSource());
            fields.push_back(field);
        }
        rows = recordset->visibleRows();
    }
    beginResetModel();
    m_recordset = recordset;
    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_fetched = std::min(int(m_rows.size()), kBatch);
    endResetModel();
}

int RecordsetModel::recordCount() const
{
    return int(m_rows.size());
}

void RecordsetModel::fetchUpTo(int row)
{
    const int wanted = std::min(row + 1, recordCount());
    if (wanted <= m_fetched)
        return;
    const int more = std::max(wanted, std::min(recordCount(), m_fetched + kBatch));
    beginInsertRows(QModelIndex(), m_fetched, more - 1);
    m_fetched = more;
    endInsertRows();
}

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_fetched;
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_recordset || !m_recordset->isOpen() || index.row() >= m_fetched)
        return QVariant();
    const ResultTable &table = *m_recordset->rows();
    const int column = m_fields[size_t(index.column())];
    const int row = m_rows[size_t(index.row())];
    if (role == Qt::DisplayRole)
        return table.text(column, row);
    if (role == Qt::UserRole)
        return table.value(column, row);
    return QVariant();
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_columns[size_t(section)].caption;
    return section + 1;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool RecordsetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_fetched < recordCount();
}

void RecordsetModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid())
        fetchUpTo(std::min(recordCount(), m_fetched + kBatch) - 1);
}
