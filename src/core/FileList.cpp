#include "FileList.h"

#include "ColumnSet.h"

#include <algorithm>

FileList::FileList(const ColumnSet& columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(columns)
{
    m_cellCount = m_columns.count();
    connect(&m_columns, &ColumnSet::headerChanged, this, [this] {
        if (m_cellCount > 0)
            emit headerDataChanged(Qt::Horizontal, 0, m_cellCount - 1);
    });
}

QString FileList::cell(int row, int column) const
{
    if (row < 0 || row >= count())
        return {};
    const Row& r = m_rows[static_cast<size_t>(row)];
    return column >= 0 && column < r.size() ? r[column] : QString();
}

void FileList::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= count() || column < 0 || column >= m_cellCount)
        return;
    m_rows[static_cast<size_t>(row)][column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

void FileList::setCells(const std::vector<int>& rows, int column, const std::vector<QString>& texts)
{
    if (column < 0 || column >= m_cellCount || rows.empty())
        return;
    int first = count();
    int last = -1;
    for (size_t i = 0; i < rows.size() && i < texts.size(); ++i) {
        const int r = rows[i];
        if (r < 0 || r >= count())
            continue;
        m_rows[static_cast<size_t>(r)][column] = texts[i];
        first = std::min(first, r);
        last = std::max(last, r);
    }
    if (last >= first)
        emit dataChanged(index(first, column), index(last, column));
}

void FileList::appendRows(std::vector<Row> rows)
{
    if (rows.empty())
        return;
    beginInsertRows({}, count(), count() + static_cast<int>(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (Row& r : rows) {
        while (r.size() < m_cellCount)
            r.append(QString());
        if (r.size() > m_cellCount)
            r.resize(m_cellCount);
        m_rows.push_back(std::move(r));
    }
    endInsertRows();
}

void FileList::removeRowsAt(std::vector<int> indexes)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::erase_if(indexes, [this](int i) { return i < 0 || i >= count(); });
    if (indexes.empty())
        return;
    size_t blocks = 1;
    for (size_t i = 1; i < indexes.size(); ++i)
        blocks += indexes[i] != indexes[i - 1] + 1 ? 1 : 0;
    // Many scattered blocks (every other row of a long list) would each shift the rest of the vector and
    // make the view relayout; one pass and one reset cost far less.
    if (blocks > bulkRemoveBlocks) {
        beginResetModel();
        size_t next = 0;
        size_t kept = 0;
        for (size_t r = 0; r < m_rows.size(); ++r) {
            if (next < indexes.size() && static_cast<size_t>(indexes[next]) == r) {
                ++next;
                continue;
            }
            if (kept != r)
                m_rows[kept] = std::move(m_rows[r]);
            ++kept;
        }
        m_rows.resize(kept);
        endResetModel();
        return;
    }
    // From the last block to the first, so that earlier indexes stay valid.
    size_t end = indexes.size();
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && indexes[begin - 1] == indexes[begin] - 1)
            --begin;
        const int first = indexes[begin];
        const int last = indexes[end - 1];
        beginRemoveRows({}, first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
        end = begin;
    }
}

void FileList::clear()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void FileList::resetColumns(int cellCount)
{
    beginResetModel();
    m_rows.clear();
    m_cellCount = cellCount;
    endResetModel();
}

void FileList::appendColumn()
{
    beginInsertColumns({}, m_cellCount, m_cellCount);
    for (Row& r : m_rows)
        r.append(QString());
    ++m_cellCount;
    endInsertColumns();
}

void FileList::removeColumn(int column)
{
    if (column < 0 || column >= m_cellCount)
        return;
    beginRemoveColumns({}, column, column);
    for (Row& r : m_rows)
        r.removeAt(column);
    --m_cellCount;
    endRemoveColumns();
}

void FileList::reorder(const std::vector<int>& order)
{
    if (order.size() != m_rows.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newPosition(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPosition[static_cast<size_t>(order[i])] = static_cast<int>(i);
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    for (int from : order)
        rows.push_back(std::move(m_rows[static_cast<size_t>(from)]));
    m_rows = std::move(rows);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.append(index(newPosition[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileList::renumberCount()
{
    if (m_rows.empty() || m_cellCount < 2)
        return;
    const int n = count();
    const int width = static_cast<int>(QString::number(n).size());
    for (int k = 0; k < n; ++k)
        m_rows[static_cast<size_t>(k)][1] = QString::number(k + 1).rightJustified(width, QLatin1Char('0'));
    emit dataChanged(index(0, 1), index(n - 1, 1));
}

int FileList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cellCount;
}

QVariant FileList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return cell(index.row(), index.column());
}

QVariant FileList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_columns.count())
        return {};
    return m_columns.caption(section);
}
