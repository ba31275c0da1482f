#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListView.h"
#include "filelist/Form3.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

class TestFileListWidgets : public QObject
{
    Q_OBJECT
private slots:
    void dropReportsLocalFilesAndModifiers_data();
    void dropReportsLocalFilesAndModifiers();
    void headerClickIsReportedNotSorted();
    void form3FillsSelectedRows();
    void form3ModesAndBoxes();
    void form3CancelChangesNothing();
};

void TestFileListWidgets::dropReportsLocalFilesAndModifiers_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("paths"); // empty: the drop is refused and nothing is reported
    QTest::addColumn<int>("bits");
    const QList<QUrl> files{QUrl::fromLocalFile(u"/tmp/a b.txt"_s), QUrl(u"https://example.org/x.txt"_s),
                            QUrl::fromLocalFile(u"/tmp/c"_s)};
    const QStringList native{QDir::toNativeSeparators(u"/tmp/a b.txt"_s),
                             QDir::toNativeSeparators(u"/tmp/c"_s)};
    QTest::addRow("no keys") << files << QString() << int(Qt::NoModifier) << native << 0;
    QTest::addRow("shift") << files << QString() << int(Qt::ShiftModifier) << native << 1;
    QTest::addRow("ctrl") << files << QString() << int(Qt::ControlModifier) << native << 2;
    QTest::addRow("shift ctrl alt") << files << QString()
                                    << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)
                                    << native << 7;
    QTest::addRow("meta is no bit") << files << QString() << int(Qt::MetaModifier | Qt::AltModifier) << native
                                    << 4;
    QTest::addRow("text only") << QList<QUrl>{} << u"/tmp/a.txt"_s << int(Qt::NoModifier) << QStringList{}
                               << 0;
    QTest::addRow("web link only") << QList<QUrl>{QUrl(u"https://example.org/"_s)} << QString()
                                   << int(Qt::NoModifier) << QStringList{} << 0;
}

void TestFileListWidgets::dropReportsLocalFilesAndModifiers()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(QStringList, paths);
    QFETCH(int, bits);
    FileListView view;
    QCOMPARE(view.objectName(), u"ListView1"_s);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy dropped(&view, &FileListView::filesDropped);
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    const QPoint at(50, 50);
    const auto keys = Qt::KeyboardModifiers::fromInt(modifiers);

    // The file manager proposes a move; the view asks for a copy so that the files stay where they are.
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view.viewport(), &enter);
    QCOMPARE(enter.isAccepted(), !paths.isEmpty());
    if (!paths.isEmpty())
        QCOMPARE(enter.dropAction(), Qt::CopyAction);

    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view.viewport(), &drop);
    QCOMPARE(drop.isAccepted(), !paths.isEmpty());
    if (paths.isEmpty()) {
        QCOMPARE(dropped.size(), 0);
        return;
    }
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QCOMPARE(dropped.size(), 1);
    QCOMPARE(dropped.first().at(0).toStringList(), paths);
    QCOMPARE(dropped.first().at(1).toInt(), bits);
}

void TestFileListWidgets::headerClickIsReportedNotSorted()
{
    WorkTable t;
    t.files.appendRows({{u"b"_s}, {u"a"_s}});
    FileListView view;
    view.setModel(&t.files);
    view.resize(600, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy clicked(&view, &FileListView::columnClicked);
    QHeaderView* header = view.header();
    const int x = header->sectionViewportPosition(2) + header->sectionSize(2) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.first().at(0).toInt(), 3);
    QCOMPARE(t.files.cell(0, 0), u"b"_s);
}

namespace
{

// Five rows, user columns <c6> A and <c7> B holding "old".
void prepare(WorkTable& t)
{
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    std::vector<FileList::Row> rows(5, FileList::Row{{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s});
    t.files.appendRows(std::move(rows));
}

QStringList column(const FileList& files, int c)
{
    QStringList out;
    for (int r = 0; r < files.count(); ++r)
        out.append(files.cell(r, c));
    return out;
}

template <typename T> T* child(QWidget& parent, const QString& name)
{
    T* w = parent.findChild<T*>(name);
    if (!w)
        qWarning("missing %s", qPrintable(name));
    return w;
}

} // namespace

void TestFileListWidgets::form3FillsSelectedRows()
{
    WorkTable t;
    prepare(t);
    FakeDialogs dialogs;
    Form3 form(t, {3, 0, 2}, dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), u"挿入文字列を設定"_s);

    auto* combo = child<QComboBox>(form, u"Combo1"_s);
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), u"<c6>A"_s);
    QCOMPARE(combo->itemText(1), u"<c7>B"_s);
    QCOMPARE(combo->currentIndex(), 0);
    combo->setCurrentIndex(1);

    child<QRadioButton>(form, u"Option1_3"_s)->click();
    auto* start = child<QLineEdit>(form, u"Text2"_s);
    auto* step = child<QLineEdit>(form, u"Text3"_s);
    start->clear();
    QTest::keyClicks(start, u"5x-"_s);
    step->clear();
    QTest::keyClicks(step, u"1a0"_s);
    QCOMPARE(start->text(), u"5"_s);
    QCOMPARE(step->text(), u"10"_s);
    auto* ok = child<QPushButton>(form, u"Command1"_s);
    QCOMPARE(ok->text(), u"O　　K"_s);
    ok->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(column(t.files, 7), QStringList({u"5"_s, u"old"_s, u"15"_s, u"25"_s, u"old"_s}));
    QCOMPARE(column(t.files, 6), QStringList(5, u"old"_s));
}

void TestFileListWidgets::form3ModesAndBoxes()
{
    WorkTable t;
    prepare(t);
    FakeDialogs dialogs;
    Form3 form(t, {1}, dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* label0 = child<QLabel>(form, u"Label0"_s);
    auto* text1 = child<QLineEdit>(form, u"Text1"_s);
    auto* start = child<QLineEdit>(form, u"Text2"_s);
    auto* step = child<QLineEdit>(form, u"Text3"_s);
    auto* picker = form.findChild<QWidget*>(u"Dir1"_s);
    QVERIFY(label0 && text1 && start && step && picker);
    QVERIFY(child<QRadioButton>(form, u"Option1_0"_s)->isChecked());
    QCOMPARE(start->text(), u"1"_s);
    QCOMPARE(step->text(), u"1"_s);

    struct Expect {
        bool label0, folder, text, sequence;
    };
    const Expect expected[] = {{true, false, false, false},
                               {false, true, false, false},
                               {false, false, true, false},
                               {false, false, false, true}};
    for (int m = 0; m < 4; ++m) {
        child<QRadioButton>(form, u"Option1_"_s + QString::number(m))->click();
        QCOMPARE(label0->isEnabled(), expected[m].label0);
        QCOMPARE(picker->isEnabled(), expected[m].folder);
        QCOMPARE(text1->isEnabled(), expected[m].text);
        QCOMPARE(start->isEnabled(), expected[m].sequence);
        QCOMPARE(step->isEnabled(), expected[m].sequence);
    }

    // Arrow keys wrap at exactly "1" and the limit; typing stops at the box's length.
    QTest::keyClick(start, Qt::Key_Up);
    QCOMPARE(start->text(), u"999"_s);
    QTest::keyClick(start, Qt::Key_Down);
    QCOMPARE(start->text(), u"1"_s);
    QTest::keyClick(step, Qt::Key_Up);
    QCOMPARE(step->text(), u"99"_s);
    QTest::keyClicks(step, u"7"_s);
    QCOMPARE(step->text(), u"99"_s);
    step->setText(u"-99"_s);
    QTest::keyClick(step, Qt::Key_Up);
    QCOMPARE(step->text(), u"-100"_s);
    start->clear();
    QTest::keyClick(start, Qt::Key_Up);
    QCOMPARE(start->text(), u"-1"_s);

    child<QRadioButton>(form, u"Option1_2"_s)->click();
    child<QPushButton>(form, u"Command1"_s)->click();
    QCOMPARE(column(t.files, 6), QStringList({u"old"_s, QString(), u"old"_s, u"old"_s, u"old"_s}));
}

void TestFileListWidgets::form3CancelChangesNothing()
{
    WorkTable t;
    prepare(t);
    FakeDialogs dialogs;
    Form3 form(t, {0, 1, 2, 3, 4}, dialogs);
    child<QRadioButton>(form, u"Option1_1"_s)->click();
    auto* cancel = child<QPushButton>(form, u"Command2"_s);
    QCOMPARE(cancel->text(), u"CANCEL"_s);
    cancel->click();
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(column(t.files, 6), QStringList(5, u"old"_s));

    // The folder mode writes the picker's folder, as it shows it.
    Form3 again(t, {4}, dialogs);
    child<QRadioButton>(again, u"Option1_1"_s)->click();
    child<QPushButton>(again, u"Command1"_s)->click();
    QCOMPARE(t.files.cell(4, 6), QDir::toNativeSeparators(QDir::currentPath()));
}

QTEST_MAIN(TestFileListWidgets)
#include "tst_filelistwidgets.moc"
