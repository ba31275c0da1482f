#pragma once

#include "PathParts.h"

#include <QStringList>
#include <Qt>

#include <vector>

class WorkTable;
class Dialogs;
class FileSystem;

// The file list's commands: intake of dropped files, the extension filter's entries, the row commands, the
// column tools and the sort by a header. The main window calls these from its handlers with what the controls
// hold (the selected rows, the current entry); row and column indexes are 0-based unless a name says
// otherwise.
class FileListCommands
{
public:
    FileListCommands(WorkTable& table, Dialogs& dialogs, const FileSystem& fileSystem);

    // Files dropped on the file list, in drop order, as native paths. With always-append on, or with Shift
    // alone or Ctrl alone held, the new rows are appended; otherwise the list is cleared first, even when no
    // path is taken. Folders, whatever their other attributes, paths whose attributes read exactly 2 (hidden
    // only) and paths whose attributes cannot be read are skipped, and with the filter on so are paths whose
    // extension no checked entry names. The count column is renumbered afterwards. Every path is taken: there
    // is no limit on the size of a drop.
    void takeDroppedFiles(const QStringList& paths, Qt::KeyboardModifiers modifiers);

    // Whether the pop-up menus may open on a mouse press: the file list's "ファイルリスト（&L）" on a right
    // press while the list has rows; the filter's "フィルタ(&E)" on a right press while the extension list is
    // enabled (with the filter off it takes no clicks); the column tools' "カラムツール" on a right press
    // while the key list has rows.
    bool mayOpenFileMenu(Qt::MouseButton button) const;
    bool mayOpenFilterMenu(Qt::MouseButton button) const;
    bool mayOpenColumnMenu(Qt::MouseButton button) const;

    // Removes the given rows (duplicates and rows out of range ignored) and renumbers the rest.
    void removeRows(const std::vector<int>& selectedRows);
    void removeAllRows();
    // Asks for an extension, drops its dots and appends it unchecked unless an equal entry exists.
    void addExtension();
    // Removes the extension list's current entry; -1 (no current entry) does nothing.
    void removeExtension(int currentIndex);
    // Whether the column fill dialog ColumnFillDialog may open: never on an empty file list; with no user
    // column the user is told to add one first.
    bool mayOpenColumnFill();

    // Asks for a name and appends a user column with the next key.
    void addColumn();
    // Deletes the column of the key list's selected row; -1 (none selected) does nothing, and the columns
    // intake fills are refused with a message.
    void removeColumn(int selectedRow);

    // Sorts the rows by the text of header `header` (1-based). A second click on the same header flips the
    // order; a click on another header keeps it. Rows are compared as text in the user's collation (never as
    // numbers), equal texts keep their order, and the count column is renumbered afterwards.
    void sortByHeader(int header);

private:
    WorkTable& m_table;
    Dialogs& m_dialogs;
    const FileSystem& m_fileSystem;
    int m_lastSortColumn = 0; // 1-based header of the last sort, 0 before the first
    bool m_descending = false;
};
