#include "FileListView.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

using namespace Qt::StringLiterals;

FileListView::FileListView(QWidget* parent) : QTreeView(parent)
{
    setObjectName(u"ListView1"_s);
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragEnabled(false);
    setDropIndicatorShown(false);
    setToolTip(u"既存のリストに更に追加する場合はcontrolキーを押しながらドロップしてください"_s);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
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
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    return paths;
}

int FileListView::modifierBits(Qt::KeyboardModifiers modifiers)
{
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= 1;
    if (modifiers & Qt::ControlModifier)
        bits |= 2;
    if (modifiers & Qt::AltModifier)
        bits |= 4;
    return bits;
}

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    // Always a copy: a file manager that is told "move" deletes its files after the drop.
    if (!localPaths(event->mimeData()).isEmpty() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void FileListView::dropEvent(QDropEvent* event)
{
    // Dragged text or web links carry no file: such a drop neither clears nor extends the list.
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit filesDropped(paths, modifierBits(event->modifiers()));
}

void FileListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    emit mousePressed(event->button(), event->globalPosition().toPoint());
}
