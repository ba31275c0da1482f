#include "ColumnSet.h"

using namespace Qt::StringLiterals;

ColumnSet::ColumnSet(QObject* parent) : QAbstractTableModel(parent), m_listWidths{450.1418f, 1440.0f} {}

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
    for (int i = 0; i < 6; ++i)
        columns.push_back({keyFor(i), names[i], widths[i], i + 1});
    return columns;
}

QString ColumnSet::caption(int index) const
{
    return keyFor(index) + column(index).name;
}

void ColumnSet::append(const Column& column)
{
    beginInsertRows({}, count(), count());
    m_columns.push_back(column);
    endInsertRows();
    emit headerChanged();
}

void ColumnSet::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    beginRemoveRows({}, index, index);
    m_columns.erase(m_columns.begin() + index);
    endRemoveRows();
    emit headerChanged();
}

void ColumnSet::clear()
{
    resetTo({});
}

void ColumnSet::resetTo(std::vector<Column> columns)
{
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
