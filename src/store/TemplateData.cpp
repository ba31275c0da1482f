#include "TemplateData.h"

#include "core/WorkTable.h"

TemplateData TemplateData::from(const WorkTable& table)
{
    TemplateData d;
    d.alwaysAppend = table.settings.alwaysAppend;
    d.afterWork = table.settings.afterWork;
    d.filterMode = table.filter.mode();
    d.afterWorkAction = table.settings.afterWorkAction;
    d.listEnabled = table.filter.listEnabled();
    for (int i = 0; i < table.filter.count(); ++i)
        d.extensions.push_back(table.filter.item(i));
    for (int i = 0; i < table.columns.count(); ++i)
        d.columns.push_back(table.columns.column(i));
    d.keyListWidths = table.columns.listWidths();
    for (int r = 0; r < table.apps.count(); ++r)
        d.apps.push_back(table.apps.rowCells(r));
    d.appWidths = table.apps.widths();
    d.batchWidths = table.batch.widths();
    d.logLimitText = table.settings.logLimitText;
    return d;
}

void TemplateData::applyTo(WorkTable& table) const
{
    table.columns.resetTo(columns);
    for (int i = 0; i < keyListWidths.size(); ++i)
        table.columns.setListWidth(i, keyListWidths[i]);
    table.files.resetColumns(table.columns.count());
    table.apps.resetRows(apps);
    for (int i = 0; i < appWidths.size(); ++i)
        table.apps.setWidth(i, appWidths[i]);
    table.batch.clear();
    for (int i = 0; i < batchWidths.size(); ++i)
        table.batch.setWidth(i, batchWidths[i]);

    table.filter.clear();
    for (const ExtensionFilter::Item& item : extensions)
        table.filter.append(item.text, item.checked);
    table.filter.restore(filterMode, listEnabled);

    table.settings.alwaysAppend = alwaysAppend;
    table.settings.afterWork = afterWork;
    table.settings.afterWorkAction = afterWorkAction;
    table.settings.logLimitText = logLimitText;
    table.settings.notifyChanged();
}
