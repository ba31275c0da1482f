#include "ColumnSet.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

ColumnSet::ColumnSet(QObject* parent) : QAbstractTableModel(parent), m_listWidths(factoryListWidths()) {}

QString ColumnSet::keyFor(int index)
{
    return QStringLiteral("<c") + QString::number(index) + QLatin1Char('>');
}

std::vector<ColumnSet::Column> ColumnSet::factoryColumns()
{
    const QString names[] = {u"戻り値"_s, u"カウント"_s, u"元ファイル名"_s,
                             u"拡張子"_s, u"親パス"_s,   u"フルパス"_s};
    const float widths[] = {1409.953f, 1140.095f, 1530.142f, 1035.213f, 1080.0f, 1440.0f};
    std::vector<Column> columns;
    columns.reserve(std::size(names));
    static_assert(std::size(names) == builtInCount && std::size(widths) == builtInCount);
    for (int i = 0; i < builtInCount; ++i)
        columns.push_back({keyFor(i), names[i], widths[i], i + 1});
    return columns;
}

QList<float> ColumnSet::factoryListWidths()
{
    return {450.1418f, Twips::defaultWidth};
}

QString ColumnSet::caption(int index) const
{
    return keyFor(index) + column(index).name;
}

void ColumnSet::append(const Column& column)
{
    beginInsertRows({}, count(), count());
    m_columns.push_back(column);
    m_columns.back().position = count();
    endInsertRows();
    emit headerChanged();
}

void ColumnSet::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    beginRemoveRows({}, index, index);
    const int removed = m_columns[static_cast<size_t>(index)].position;
    m_columns.erase(m_columns.begin() + index);
    for (Column& c : m_columns) {
        if (c.position > removed)
            --c.position;
    }
    endRemoveRows();
    emit headerChanged();
}

void ColumnSet::resetTo(std::vector<Column> columns)
{
    // Positions become 1..n in the order they give, ties and gaps in index order: a template may hold any
    // numbers, and two columns at one position would make one of them vanish behind the other.
    std::vector<size_t> order(columns.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&columns](size_t a, size_t b) { return columns[a].position < columns[b].position; });
    for (size_t rank = 0; rank < order.size(); ++rank)
        columns[order[rank]].position = static_cast<int>(rank) + 1;
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
    emit headerChanged();
}

void ColumnSet::renumber()
{
    for (int i = 0; i < count(); ++i)
        m_columns[static_cast<size_t>(i)].keyText = keyFor(i);
    if (count() > 0)
        emit dataChanged(index(0, 0), index(count() - 1, 0));
    emit headerChanged();
}

void ColumnSet::setWidth(int index, float twips)
{
    if (index < 0 || index >= count())
        return;
    m_columns[static_cast<size_t>(index)].width = twips;
}

void ColumnSet::setPosition(int index, int position)
{
    if (index < 0 || index >= count())
        return;
    m_columns[static_cast<size_t>(index)].position = position;
}

void ColumnSet::setListWidth(int column, float twips)
{
    if (column >= 0 && column < m_listWidths.size())
        m_listWidths[column] = twips;
}

int ColumnSet::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int ColumnSet::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ColumnSet::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole)
        return {};
    const Column& c = column(index.row());
    return index.column() == 0 ? c.keyText : c.name;
}

QVariant ColumnSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return u"ｷｰ"_s;
    if (section == 1)
        return u"ｶﾗﾑ名"_s;
    return {};
}
