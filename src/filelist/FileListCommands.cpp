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

QChar FileListCommands::pathSeparator()
{
    return QDir::separator();
}

int FileListCommands::modifierState(Qt::KeyboardModifiers modifiers)
{
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= Shift;
    if (modifiers & Qt::ControlModifier)
        bits |= Ctrl;
    if (modifiers & Qt::AltModifier)
        bits |= Alt;
    return bits;
}

void FileListCommands::ListView1_OLEDragDrop(const QStringList& paths, int modifiers)
{
    // Always-append makes every drop count as a drop with Shift alone.
    const int state = m_table.settings.check1 == 1 ? int(Shift) : modifiers;
    if (state != Shift && state != Ctrl)
        m_table.files.clear();

    const QChar separator = pathSeparator();
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

bool FileListCommands::ListView1_MouseDown(Qt::MouseButton button) const
{
    return button == Qt::RightButton && m_table.files.count() > 0;
}

bool FileListCommands::List1_MouseDown(Qt::MouseButton button) const
{
    return button == Qt::RightButton && m_table.filter.listEnabled();
}

bool FileListCommands::ListView3_MouseDown(Qt::MouseButton button) const
{
    return button == Qt::RightButton && m_table.columns.count() > 0;
}

void FileListCommands::Pulldown_list_SelectDell_Click(const std::vector<int>& selectedRows)
{
    if (m_table.files.count() == 0)
        return;
    m_table.files.removeRowsAt(selectedRows);
    m_table.files.renumberCount();
}

void FileListCommands::Pulldown_list_AllDel_Click()
{
    m_table.files.clear();
}

void FileListCommands::Pulldown_kakuchosi_tuika_Click()
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

void FileListCommands::Pulldown_kakuchosi_del_Click(int currentIndex)
{
    if (currentIndex < 0 || currentIndex >= m_table.filter.count())
        return;
    m_table.filter.remove(currentIndex);
}

bool FileListCommands::Pulldown_list_mozi_Click()
{
    if (m_table.files.count() == 0)
        return false;
    if (m_table.columns.count() > 6)
        return true;
    m_dialogs.message(u"新規を追加してから行ってください"_s, applicationTitle());
    return false;
}

void FileListCommands::Pulldown_ColumnTool_tuika_Click()
{
    const QString name = m_dialogs.input(u"カラム名を入力してください"_s, applicationTitle());
    if (name.isEmpty())
        return;
    m_table.addColumn(name);
}

void FileListCommands::Pulldown_ColumnTool_sakuzyo_Click(int selectedRow)
{
    if (selectedRow < 0 || selectedRow >= m_table.columns.count())
        return;
    if (selectedRow < 6) {
        m_dialogs.message(u"ソフトが必要としているカラムですので削除はできません"_s, applicationTitle());
        return;
    }
    // Captions are the key followed by the name, so renumbering the keys replaces exactly the text up to the
    // first ">" and a ">" inside a name survives.
    m_table.removeColumn(selectedRow);
}

void FileListCommands::ListView1_ColumnClick(int header)
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
