#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListView.h"
#include "filelist/Form3.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileListWidgets : public QObject
{
    Q_OBJECT
private slots:
    void drop();
    void form3();
};

// Only local files are reported, with the keys as bits (Shift 1, Ctrl 2, Alt 4; Meta adds nothing). Dragged
// text or a web link carries no file: such a drop is refused, so it neither clears nor extends the list.
void TestFileListWidgets::drop()
{
    FileListView view;
    QSignalSpy dropped(&view, &FileListView::filesDropped);
    const QUrl web(u"https://example.org/x.txt"_s);
    for (const QList<QUrl>& urls :
         {QList<QUrl>{web},
          {QUrl::fromLocalFile(u"/tmp/a b.txt"_s), web, QUrl::fromLocalFile(u"/tmp/c"_s)}}) {
        QMimeData data;
        data.setUrls(urls);
        data.setText(u"/tmp/a.txt"_s);
        const auto keys = Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        QDropEvent drop(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        drop.setDropAction(Qt::MoveAction); // as a file manager proposes: taken as a copy, the files stay
        QCoreApplication::sendEvent(view.viewport(), &enter);
        QCoreApplication::sendEvent(view.viewport(), &drop);
        QCOMPARE(QList<bool>({enter.isAccepted(), drop.isAccepted()}), QList<bool>(2, urls.size() > 1));
        QCOMPARE(drop.dropAction(), urls.size() > 1 ? Qt::CopyAction : Qt::MoveAction);
    }
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped.first(), (QVariantList{QStringList{u"/tmp/a b.txt"_s, u"/tmp/c"_s}, 5}));
}

void TestFileListWidgets::form3()
{
    WorkTable t;
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    FakeDialogs dialogs;
    Form3 form(t, {3, 0, 2}, dialogs);
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
    combo->setCurrentIndex(1);
    click(form, u"Command1"_s);
    QCOMPARE(t.files.cell(0, 7) + t.files.cell(2, 7) + t.files.cell(3, 7) + t.files.cell(4, 7),
             u"51525old"_s);
    // Cancel writes nothing; the folder mode writes the picker's folder as it shows it.
    Form3 cancelled(t, {0}, dialogs);
    click(cancelled, u"Command2"_s);
    Form3 folder(t, {4}, dialogs);
    click(folder, u"Option1_1"_s);
    click(folder, u"Command1"_s);
    QCOMPARE(QList<int>({form.result(), cancelled.result()}),
             QList<int>({QDialog::Accepted, QDialog::Rejected}));
    QCOMPARE(t.files.cell(0, 6) + u'|' + t.files.cell(4, 6),
             u"old|"_s + QDir::toNativeSeparators(QDir::currentPath()));
}

QTEST_MAIN(TestFileListWidgets)
#include "tst_filelistwidgets.moc"
