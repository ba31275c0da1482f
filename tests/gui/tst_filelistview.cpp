#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListCommands.h"
#include "gui/FileListView.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileListView : public QObject
{
    Q_OBJECT
private slots:
    void drop_data();
    void drop();
    void localPaths();
};

// What the source offers never matters: a file manager offers only a move for a Shift drag and only a link
// for a Ctrl+Shift drag, and the drop is taken all the same, answered with a copy where one is offered. The
// keys decide between appending to the two rows there (Shift alone, Ctrl alone; Meta adds nothing) and
// replacing. Dragged text or a web link carries no file: such a drop is refused and leaves the list alone.
void TestFileListView::drop_data()
{
    QTest::addColumn<Qt::DropActions>("possible");
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::addColumn<bool>("web");
    QTest::addColumn<QStringList>("rows"); // <c5> of every row afterwards
    const auto shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    const QStringList replaced{u"/tmp/a b.txt"_s, u"/tmp/c"_s};
    const QStringList appended = QStringList{u"/old/1"_s, u"/old/2"_s} + replaced;
    QTest::addRow("move, Shift") << Qt::DropActions(Qt::MoveAction) << Qt::KeyboardModifiers(shift) << false
                                 << appended;
    QTest::addRow("link, Ctrl+Shift")
        << Qt::DropActions(Qt::LinkAction) << (shift | ctrl) << false << replaced;
    QTest::addRow("copy or move, Ctrl+Meta")
        << (Qt::CopyAction | Qt::MoveAction) << (ctrl | Qt::MetaModifier) << false << appended;
    QTest::addRow("copy, Shift+Alt") << Qt::DropActions(Qt::CopyAction) << (shift | Qt::AltModifier) << false
                                     << replaced;
    QTest::addRow("web link only") << (Qt::CopyAction | Qt::MoveAction) << Qt::KeyboardModifiers() << true
                                   << QStringList{u"/old/1"_s, u"/old/2"_s};
}

void TestFileListView::drop()
{
    QFETCH(Qt::DropActions, possible);
    QFETCH(Qt::KeyboardModifiers, keys);
    QFETCH(bool, web);
    QFETCH(QStringList, rows);
    WorkTable t;
    t.settings.alwaysAppend = 0;
    FakeDialogs dialogs;
    FakeFileSystem files;
    FileListCommands commands(t, dialogs, files);
    t.files.appendRows({{{}, {}, {}, {}, {}, u"/old/1"_s}, {{}, {}, {}, {}, {}, u"/old/2"_s}});
    FileListView view;
    view.setModel(&t.files);
    connect(&view, &FileListView::filesDropped, &view,
            [&commands](const QStringList& paths, Qt::KeyboardModifiers m) {
                commands.takeDroppedFiles(paths, m);
            });

    const QUrl link(u"https://example.org/x.txt"_s);
    QMimeData data;
    data.setUrls(
        web ? QList<QUrl>{link}
            : QList<QUrl>{QUrl::fromLocalFile(u"/tmp/a b.txt"_s), link, QUrl::fromLocalFile(u"/tmp/c"_s)});
    data.setText(u"/tmp/a.txt"_s);
    const Qt::DropAction proposed =
        possible & Qt::CopyAction ? Qt::MoveAction : Qt::DropAction(int(possible));
    QDragEnterEvent enter(QPoint(50, 50), possible, &data, Qt::LeftButton, keys);
    QDropEvent drop(QPoint(50, 50), possible, &data, Qt::LeftButton, keys);
    drop.setDropAction(proposed);
    QCoreApplication::sendEvent(view.viewport(), &enter);
    QCoreApplication::sendEvent(view.viewport(), &drop);
    QCOMPARE(enter.isAccepted(), !web);
    QCOMPARE(drop.isAccepted(), !web);
    QCOMPARE(drop.dropAction(), possible & Qt::CopyAction && !web ? Qt::CopyAction : proposed);
    QStringList paths;
    for (int r = 0; r < t.files.count(); ++r)
        paths << t.files.cell(r, 5);
    QCOMPARE(paths, rows);
}

// A name is taken with its bytes: one that is not UTF-8 keeps them as escapes and never reads as the name
// of another file, here one whose name holds U+FFFD itself. A file URL of another host names no local file.
void TestFileListView::localPaths()
{
    QMimeData data;
    data.setUrls(
        {QUrl::fromEncoded("file:///tmp/caf%E9.txt"), QUrl::fromEncoded("file:///tmp/caf%EF%BF%BD.txt"),
         QUrl::fromEncoded("file://server/share/x.txt"), QUrl::fromEncoded("file://localhost/tmp/%3Cb%3E")});
    QCOMPARE(FileListView::localPaths(&data),
             QStringList({u"/tmp/caf\xDCE9.txt"_s, u"/tmp/caf\uFFFD.txt"_s, u"/tmp/<b>"_s}));
}

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
