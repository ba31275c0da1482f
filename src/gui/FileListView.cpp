#include "FileListView.h"

#include "ListItemDelegate.h"
#include "filelist/FileListCommands.h"
#include "platform/NativeName.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

FileListView::FileListView(QWidget* parent) : QTreeView(parent)
{
    setObjectName(u"fileList"_s);
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragEnabled(false);
    setDropIndicatorShown(false);
    // Shown over the whole list, rows included: the models give their cells no tooltip of their own.
    setToolTip(u"既存のリストに更に追加する場合はcontrolキーを押しながらドロップしてください"_s);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(true);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    ListItemDelegate::applyTo(this);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logicalIndex) { emit columnClicked(logicalIndex + 1); });
}

QStringList FileListView::localPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        // A file URL naming another host is no local file: its path here would name a different file.
        if (!url.host().isEmpty() && url.host() != u"localhost"_s)
            continue;
        // The name's bytes are kept as they are, so a name that is not UTF-8 is taken under its own name
        // and never reads as another file's.
        const QString path = NativeName::fromUrl(url);
        if (!path.isEmpty())
            paths.append(QDir::toNativeSeparators(path));
    }
    return paths;
}

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    takeAsCopy(event);
}

void FileListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void FileListView::dropEvent(QDropEvent* event)
{
    if (takeAsCopy(event))
        emit filesDropped(localPaths(event->mimeData()), event->modifiers());
}

// A file manager offers only a move while Shift is held and only a link while Ctrl and Shift are; here the
// keys choose between appending and replacing, so the drop is taken whatever the source offers. The list only
// reads the paths. The source is answered with a copy whenever it offers one; Qt keeps the answer among the
// offered actions, so a source that offers a move alone hears a move, which leaves the moving of files to the
// target, and nothing is moved here. Dragged text or web links carry no file: such a drop is refused and
// neither clears nor extends the list.
bool FileListView::takeAsCopy(QDropEvent* event)
{
    if (localPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
