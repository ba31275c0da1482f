#pragma once

#include "core/ColumnSet.h"
#include "core/ExtensionFilter.h"
#include "core/OptionGroup.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class WorkTable;

// The part of the work table that a template file stores, as plain values. A template is read into a copy of
// the current table and applied only when the whole file has been read, so a damaged file changes nothing.
struct TemplateData {
    int alwaysAppend = 0;
    int afterWork = 0;
    OptionGroup filterMode{0};      // filter mode
    OptionGroup afterWorkAction{0}; // after-work action
    bool listEnabled = false;       // the extension list's enabled flag
    std::vector<ExtensionFilter::Item> extensions;
    std::vector<ColumnSet::Column> columns;
    QList<float> keyListWidths; // the key list's own two columns, twips
    std::vector<QStringList> apps;
    QList<float> appWidths;   // four, twips
    QList<float> batchWidths; // four, twips
    QString logLimitText;

    static TemplateData from(const WorkTable& table);
    // Replaces the stored part of the table. The file list keeps no rows (its columns are new) and the batch
    // list is emptied: a loaded template starts a new piece of work.
    void applyTo(WorkTable& table) const;
};
