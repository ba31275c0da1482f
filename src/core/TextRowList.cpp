#include "TextRowList.h"

TextRowList::TextRowList(QStringList captions, QList<float> widths, QObject* parent)
    : QAbstractTableModel(parent), m_captions(std::move(captions)), m_widths(std::move(widths))
{
}

QString TextRowList::cell(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= m_captions.size())
        return {};
    return m_rows[static_cast<size_t>(row)][column];
}

void TextRowList::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= count() || column < 0 || column >= m_captions.size())
        return;
    m_rows[static_cast<size_t>(row)][column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

QStringList TextRowList::fitted(QStringList cells) const
{
    while (cells.size() < m_captions.size())
        cells.append(QString());
    if (cells.size() > m_captions.size())
        cells.resize(m_captions.size());
    return cells;
}

int TextRowList::appendRow(QStringList cells)
{
    const int row = count();
    insertRow(row, std::move(cells));
    return row;
}

void TextRowList::insertRow(int row, QStringList cells)
{
    if (row < 0 || row > count())
        return;
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, fitted(std::move(cells)));
    endInsertRows();
}

void TextRowList::replaceRow(int row, QStringList cells)
{
    if (row < 0 || row >= count())
        return;
    m_rows[static_cast<size_t>(row)] = fitted(std::move(cells));
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TextRowList::removeRow(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void TextRowList::clear()
{
    resetRows({});
}

void TextRowList::resetRows(std::vector<QStringList> rows)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (QStringList& r : rows)
        m_rows.push_back(fitted(std::move(r)));
    endResetModel();
}

void TextRowList::setWidth(int column, float twips)
{
    if (column >= 0 && column < m_widths.size())
        m_widths[column] = twips;
}

int TextRowList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int TextRowList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant TextRowList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return cell(index.row(), index.column());
}

QVariant TextRowList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_captions.size())
        return {};
    return m_captions[section];
}
