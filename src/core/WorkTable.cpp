#include "WorkTable.h"

WorkTable::WorkTable()
{
    loadFactoryDefaults();
}

void WorkTable::loadFactoryDefaults()
{
    columns.resetTo(ColumnSet::factoryColumns());
    columns.setListWidth(0, 450.1418f);
    columns.setListWidth(1, 1440.0f);
    files.resetColumns(columns.count());
    apps.clear();
    for (int i = 0; i < 4; ++i)
        apps.setWidth(i, AppRegistry::factoryWidths()[i]);
    batch.clear();
    for (int i = 0; i < 4; ++i)
        batch.setWidth(i, BatchList::factoryWidths()[i]);
    filter.clear();
    filter.setMode(OptionGroup{0});
    filter.applyModeToList();
    settings.check1 = 1;
    settings.check2 = 1;
    settings.option2 = OptionGroup{0};
    settings.option2Enabled = true;
    settings.check3 = 0;
    settings.label6 = QStringLiteral("32");
    settings.slider1 = 32;
    settings.notifyChanged();
}

void WorkTable::addColumn(const QString& name)
{
    const int n = columns.count();
    columns.append({ColumnSet::keyFor(n), name, 1440.0f});
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
