#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListCommands.h"
#include "gui/FileListView.h"
#include "gui/Form3.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileListWidgets : public QObject
{
    Q_OBJECT
private slots:
    void drop_data();
    void drop();
    void localPaths();
    void form3();
};

// What the source offers never matters: a file manager offers only a move for a Shift drag and only a link
// for a Ctrl+Shift drag, and the drop is taken all the same, answered with a copy where one is offered. The
// keys decide between appending to the two rows there (Shift alone, Ctrl alone; Meta adds nothing) and
// replacing. Dragged text or a web link carries no file: such a drop is refused and leaves the list alone.
void TestFileListWidgets::drop_data()
{
    QTest::addColumn<Qt::DropActions>("possible");
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::addColumn<bool>("web");
    QTest::addColumn<QString>("rows"); // <c5> of every row afterwards
    const auto shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    const QString appended = u"/old/1|/old/2|/tmp/a b.txt|/tmp/c"_s, replaced = u"/tmp/a b.txt|/tmp/c"_s;
    QTest::addRow("move, Shift") << Qt::DropActions(Qt::MoveAction) << Qt::KeyboardModifiers(shift) << false
                                 << appended;
    QTest::addRow("move, Ctrl+Shift")
        << Qt::DropActions(Qt::MoveAction) << (shift | ctrl) << false << replaced;
    QTest::addRow("link, Ctrl+Shift")
        << Qt::DropActions(Qt::LinkAction) << (shift | ctrl) << false << replaced;
    QTest::addRow("link, Shift") << Qt::DropActions(Qt::LinkAction) << Qt::KeyboardModifiers(shift) << false
                                 << appended;
    QTest::addRow("copy or move, Ctrl+Meta")
        << (Qt::CopyAction | Qt::MoveAction) << (ctrl | Qt::MetaModifier) << false << appended;
    QTest::addRow("copy, Shift+Alt") << Qt::DropActions(Qt::CopyAction) << (shift | Qt::AltModifier) << false
                                     << replaced;
    QTest::addRow("web link only") << (Qt::CopyAction | Qt::MoveAction) << Qt::KeyboardModifiers() << true
                                   << u"/old/1|/old/2"_s;
}

void TestFileListWidgets::drop()
{
    QFETCH(Qt::DropActions, possible);
    QFETCH(Qt::KeyboardModifiers, keys);
    QFETCH(bool, web);
    QFETCH(QString, rows);
    WorkTable t;
    t.settings.check1 = 0;
    FakeDialogs dialogs;
    FakeFileSystem files;
    FileListCommands commands(t, dialogs, files);
    t.files.appendRows({{{}, {}, {}, {}, {}, u"/old/1"_s}, {{}, {}, {}, {}, {}, u"/old/2"_s}});
    FileListView view;
    view.setModel(&t.files);
    connect(&view, &FileListView::filesDropped, &view,
            [&commands](const QStringList& paths, int m) { commands.takeDroppedFiles(paths, m); });

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
    QCOMPARE(QList<bool>({enter.isAccepted(), drop.isAccepted()}), QList<bool>(2, !web));
    QCOMPARE(drop.dropAction(), possible & Qt::CopyAction && !web ? Qt::CopyAction : proposed);
    QStringList paths;
    for (int r = 0; r < t.files.count(); ++r)
        paths << t.files.cell(r, 5);
    QCOMPARE(paths.join(u'|'), rows);
}

// A name is taken with its bytes: one that is not UTF-8 keeps them as escapes and never reads as the name
// of another file, here one whose name holds U+FFFD itself. A file URL of another host names no local file.
void TestFileListWidgets::localPaths()
{
    QMimeData data;
    data.setUrls(
        {QUrl::fromEncoded("file:///tmp/caf%E9.txt"), QUrl::fromEncoded("file:///tmp/caf%EF%BF%BD.txt"),
         QUrl::fromEncoded("file://server/share/x.txt"), QUrl::fromEncoded("file://localhost/tmp/%3Cb%3E")});
    QCOMPARE(FileListView::localPaths(&data),
             QStringList({u"/tmp/caf\xDCE9.txt"_s, u"/tmp/caf\uFFFD.txt"_s, u"/tmp/<b>"_s}));
}

void TestFileListWidgets::form3()
{
    WorkTable t;
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    FakeDialogs dialogs;
    Form3 form(t.columns, t.files, {3, 0, 2}, dialogs);
    const auto click = [](Form3& f, const QString& name) { f.findChild<QAbstractButton*>(name)->click(); };
    auto* combo = form.findChild<QComboBox*>(u"Combo1"_s);
    auto* start = form.findChild<QLineEdit*>(u"Text2"_s);
    auto* step = form.findChild<QLineEdit*>(u"Text3"_s);
    click(form, u"Option1_3"_s);
    // Only digits are typed in: a full-width digit and letters are discarded; a third step digit won't fit.
    start->clear();
    QTest::keyClicks(start, u"5x-"_s);
    QKeyEvent fullWidthDigit(QEvent::KeyPress, 0, Qt::NoModifier, u"１"_s);
    QCoreApplication::sendEvent(start, &fullWidthDigit);
    step->setText(u"1"_s);
    QTest::keyClicks(step, u"a07"_s);
    // Nor do they arrive any other way: a pasted or inserted letter, full-width digit or digits past the
    // length is refused whole.
    for (QLineEdit* box : {start, step}) {
        for (const QString& text : {u"9x"_s, u"２"_s, u"999"_s}) {
            QGuiApplication::clipboard()->setText(text);
            box->paste();
            box->insert(text);
        }
    }
    combo->setCurrentIndex(1);
    click(form, u"Command1"_s);
    QCOMPARE(t.files.cell(0, 7) + t.files.cell(2, 7) + t.files.cell(3, 7) + t.files.cell(4, 7),
             u"51525old"_s);
    // Cancel writes nothing; the folder mode writes the picker's folder as it shows it.
    Form3 cancelled(t.columns, t.files, {0}, dialogs);
    // The Up arrow on 0 writes -1, which the box keeps; an edit of it still has to give digits.
    auto* stepped = cancelled.findChild<QLineEdit*>(u"Text2"_s);
    stepped->setText(u"0"_s);
    QTest::keyClick(stepped, Qt::Key_Up);
    QGuiApplication::clipboard()->setText(u"x"_s);
    stepped->paste();
    stepped->insert(u"2"_s);
    QCOMPARE(stepped->text(), u"-1"_s);
    click(cancelled, u"Command2"_s);
    Form3 folder(t.columns, t.files, {4}, dialogs);
    click(folder, u"Option1_1"_s);
    click(folder, u"Command1"_s);
    QCOMPARE(QList<int>({form.result(), cancelled.result()}),
             QList<int>({QDialog::Accepted, QDialog::Rejected}));
    QCOMPARE(t.files.cell(0, 6) + u'|' + t.files.cell(4, 6),
             u"old|"_s + QDir::toNativeSeparators(QDir::currentPath()));
}

QTEST_MAIN(TestFileListWidgets)
#include "tst_filelistwidgets.moc"
