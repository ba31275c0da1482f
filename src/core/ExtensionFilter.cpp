#include "ExtensionFilter.h"

ExtensionFilter::ExtensionFilter(QObject* parent) : QAbstractListModel(parent) {}

void ExtensionFilter::append(const QString& text, bool checked)
{
    beginInsertRows({}, count(), count());
    m_items.push_back({text, checked});
    endInsertRows();
}

void ExtensionFilter::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    beginRemoveRows({}, index, index);
    m_items.erase(m_items.begin() + index);
    endRemoveRows();
}

void ExtensionFilter::clear()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void ExtensionFilter::setChecked(int index, bool checked)
{
    if (index < 0 || index >= count())
        return;
    m_items[static_cast<size_t>(index)].checked = checked;
    emit dataChanged(this->index(index), this->index(index), {Qt::CheckStateRole});
}

void ExtensionFilter::setMode(const OptionGroup& mode)
{
    m_mode = mode;
    emit modeChanged();
}

bool ExtensionFilter::listEnabledFor(const OptionGroup& mode, bool wasEnabled)
{
    if (mode.isSelected(0))
        return false;
    if (mode.isSelected(1))
        return true;
    return wasEnabled;
}

void ExtensionFilter::choose(int option)
{
    m_mode = OptionGroup(option);
    m_listEnabled = listEnabledFor(m_mode, m_listEnabled);
    emit modeChanged();
}

void ExtensionFilter::restore(const OptionGroup& mode, bool listEnabled)
{
    m_mode = mode;
    m_listEnabled = listEnabledFor(mode, listEnabled);
    emit modeChanged();
}

bool ExtensionFilter::passes(const QString& extension) const
{
    for (const Item& i : m_items) {
        if (i.checked && i.text == extension)
            return true;
    }
    return false;
}

int ExtensionFilter::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ExtensionFilter::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Item& i = item(index.row());
    if (role == Qt::DisplayRole)
        return i.text;
    if (role == Qt::CheckStateRole)
        return i.checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ExtensionFilter::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ExtensionFilter::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}
