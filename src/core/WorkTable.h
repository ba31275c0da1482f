#pragma once

#include "ActivityLog.h"
#include "AppRegistry.h"
#include "BatchList.h"
#include "ColumnSet.h"
#include "ExtensionFilter.h"
#include "FileList.h"
#include "WorkSettings.h"

// Everything the main window holds: the lists, the settings and the activity log. One per process.
class WorkTable
{
public:
    WorkTable();
    WorkTable(const WorkTable&) = delete;
    WorkTable& operator=(const WorkTable&) = delete;

    // The factory state: six columns, no applications, filter off, after-work action on with the shutdown
    // selected, always-append on, launch minimised off, log limit 32. Rows, batch entries and log untouched.
    void loadFactoryDefaults();

    // Adds a user column with the next key; every row gets an empty cell.
    void addColumn(const QString& name);
    // Removes column `index` with its cells and renumbers the keys of both views.
    void removeColumn(int index);

    ColumnSet columns;
    FileList files{columns};
    AppRegistry apps;
    BatchList batch;
    ExtensionFilter filter;
    WorkSettings settings;
    ActivityLog log;

    // Set while the start-up has not loaded the startup template: after a failed read until a read succeeds,
    // and in a process refused the lock. Closing then writes neither the log nor the startup template. (The
    // run's abort request is kept by the run engine, so that closing while an abort is pending still stores
    // both.)
    bool startupIncomplete = false;
};
