#include "FileListCommands.h"

#include "core/WorkTable.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QCollator>
#include <QDir>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

FileListCommands::FileListCommands(WorkTable& table, Dialogs& dialogs, const FileSystem& fileSystem)
    : m_table(table), m_dialogs(dialogs), m_fileSystem(fileSystem)
{
}

void FileListCommands::takeDroppedFiles(const QStringList& paths, Qt::KeyboardModifiers modifiers)
{
    // Shift alone or Ctrl alone appends; Meta is not looked at, any other key held replaces.
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool append =
        m_table.settings.alwaysAppend == 1 || held == Qt::ShiftModifier || held == Qt::ControlModifier;
    if (!append)
        m_table.files.clear();

    // Intake splits at the platform's own separator.
    const QChar separator = QDir::separator();
    const bool filterOn = m_table.filter.isOn();
    std::vector<FileList::Row> rows;
    rows.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : paths) {
        const int attributes = m_fileSystem.attributes(path);
        // A folder is never a row, hidden or read-only alike; of the other entries only a bare hidden one is
        // left out, any further bit makes it a row. A path that vanished between drag and drop has nothing to
        // show.
        if (attributes < 0 || (attributes & FileSystem::Directory) || attributes == FileSystem::Hidden)
            continue;
        const PathParts parts = splitPath(path, separator);
        if (filterOn && !m_table.filter.passes(parts.extension))
            continue;
        rows.push_back({QString(), QString(), parts.name, parts.extension, parts.parent, path});
    }
    m_table.files.appendRows(std::move(rows));
    m_table.files.renumberCount();
}

bool FileListCommands::mayOpenFileMenu(Qt::MouseButton button) const
{
    return button == Qt::RightButton && m_table.files.count() > 0;
}

bool FileListCommands::mayOpenFilterMenu(Qt::MouseButton button) const
{
    return button == Qt::RightButton && m_table.filter.listEnabled();
}

bool FileListCommands::mayOpenColumnMenu(Qt::MouseButton button) const
{
    return button == Qt::RightButton && m_table.columns.count() > 0;
}

void FileListCommands::removeRows(const std::vector<int>& selectedRows)
{
    if (m_table.files.count() == 0)
        return;
    m_table.files.removeRowsAt(selectedRows);
    m_table.files.renumberCount();
}

void FileListCommands::removeAllRows()
{
    m_table.files.clear();
}

void FileListCommands::addExtension()
{
    QString extension = m_dialogs.input(u"拡張子を登録してください"_s, applicationTitle());
    if (extension.isEmpty())
        return;
    // Not trimmed: an answer of dots alone becomes the empty entry, which lets files without extension pass.
    extension.remove(QLatin1Char('.'));
    for (int i = 0; i < m_table.filter.count(); ++i) {
        if (m_table.filter.item(i).text == extension) {
            m_dialogs.message(u"すでに登録されています"_s, applicationTitle());
            return;
        }
    }
    m_table.filter.append(extension, false);
}

void FileListCommands::removeExtension(int currentIndex)
{
    if (currentIndex < 0 || currentIndex >= m_table.filter.count())
        return;
    m_table.filter.remove(currentIndex);
}

bool FileListCommands::mayOpenColumnFill()
{
    if (m_table.files.count() == 0)
        return false;
    if (m_table.columns.count() > ColumnSet::builtInCount)
        return true;
    m_dialogs.message(u"新規を追加してから行ってください"_s, applicationTitle());
    return false;
}

void FileListCommands::addColumn()
{
    const QString name = m_dialogs.input(u"カラム名を入力してください"_s, applicationTitle());
    if (name.isEmpty())
        return;
    m_table.addColumn(name);
}

void FileListCommands::removeColumn(int selectedRow)
{
    if (selectedRow < 0 || selectedRow >= m_table.columns.count())
        return;
    if (selectedRow < ColumnSet::builtInCount) {
        m_dialogs.message(u"ソフトが必要としているカラムですので削除はできません"_s, applicationTitle());
        return;
    }
    m_table.removeColumn(selectedRow);
}

void FileListCommands::sortByHeader(int header)
{
    FileList& files = m_table.files;
    if (header < 1 || header > files.cellCount())
        return;
    if (header == m_lastSortColumn)
        m_descending = !m_descending;

    const int column = header - 1;
    // Keys are built once per row; comparing them is far cheaper than collating the texts again and again.
    QCollator collator;
    collator.setNumericMode(false);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<size_t>(files.count()));
    for (int r = 0; r < files.count(); ++r)
        keys.push_back(collator.sortKey(files.cell(r, column)));

    std::vector<int> order(static_cast<size_t>(files.count()));
    std::iota(order.begin(), order.end(), 0);
    const bool descending = m_descending;
    std::stable_sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
        const int c = keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]);
        return descending ? c > 0 : c < 0;
    });
    files.reorder(order);
    m_lastSortColumn = header;
    files.renumberCount();
}
