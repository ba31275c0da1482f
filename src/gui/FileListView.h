#pragma once

#include <QStringList>
#include <QTreeView>

class QMimeData;

// the file list: the file list, set up here whole: rows selected together, movable headers, the lists' font
// and a context menu the window opens. Takes drops of local files from the desktop and reports them with the
// modifier state; reports header clicks instead of sorting itself, because the sort rule (text order,
// flipping on a second click, renumbering) belongs to the file list's commands.
class FileListView : public QTreeView
{
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // The native paths of the local files a drag carries, in drag order; other URLs are left out.
    static QStringList localPaths(const QMimeData* data);

signals:
    void filesDropped(const QStringList& paths, Qt::KeyboardModifiers modifiers);
    // 1-based index of the clicked header.
    void columnClicked(int header);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static bool takeAsCopy(QDropEvent* event);
};
