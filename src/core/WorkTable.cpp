#include "WorkTable.h"

WorkTable::WorkTable()
{
    loadFactoryDefaults();
}

void WorkTable::loadFactoryDefaults()
{
    columns.resetTo(ColumnSet::factoryColumns());
    for (int i = 0; i < ColumnSet::factoryListWidths().size(); ++i)
        columns.setListWidth(i, ColumnSet::factoryListWidths()[i]);
    files.resetColumns(columns.count());
    apps.clear();
    for (int i = 0; i < 4; ++i)
        apps.setWidth(i, AppRegistry::factoryWidths()[i]);
    batch.clear();
    for (int i = 0; i < 4; ++i)
        batch.setWidth(i, BatchList::factoryWidths()[i]);
    filter.clear();
    filter.restore(OptionGroup{0}, false);
    settings.loadFactoryDefaults();
}

void WorkTable::addColumn(const QString& name)
{
    const int n = columns.count();
    columns.append({ColumnSet::keyFor(n), name});
    files.appendColumn();
}

void WorkTable::removeColumn(int index)
{
    if (index < 0 || index >= columns.count())
        return;
    files.removeColumn(index);
    columns.remove(index);
    columns.renumber();
}
