#include "Fakes.h"
#include "core/WorkTable.h"
#include "filelist/FileListView.h"
#include "filelist/Form3.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace
{

// Five rows, user columns <c6> A and <c7> B holding "old".
void prepare(WorkTable& t)
{
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
}

QString column(const FileList& files, int c)
{
    QStringList out;
    for (int r = 0; r < files.count(); ++r)
        out.append(files.cell(r, c));
    return out.join(u'|');
}

} // namespace

class TestFileListWidgets : public QObject
{
    Q_OBJECT
private slots:
    void drop_data();
    void drop();
    void headerClickIsReportedNotSorted();
    void form3FillsSelectedRows();
    void form3ModesAndBoxes();
};

void TestFileListWidgets::drop_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("bits"); // -1: refused, nothing reported
    const QList<QUrl> files{QUrl::fromLocalFile(u"/tmp/a b.txt"_s), QUrl(u"https://example.org/x.txt"_s),
                            QUrl::fromLocalFile(u"/tmp/c"_s)};
    QTest::addRow("no keys") << files << int(Qt::NoModifier) << 0;
    QTest::addRow("ctrl") << files << int(Qt::ControlModifier) << 2;
    QTest::addRow("shift ctrl alt") << files << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)
                                    << 7;
    QTest::addRow("meta alt") << files << int(Qt::MetaModifier | Qt::AltModifier) << 4;
    QTest::addRow("text only") << QList<QUrl>{} << int(Qt::NoModifier) << -1;
    QTest::addRow("web link only") << QList<QUrl>{QUrl(u"https://example.org/"_s)} << int(Qt::ShiftModifier)
                                   << -1;
}

void TestFileListWidgets::drop()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(int, modifiers);
    QFETCH(int, bits);
    FileListView view;
    QCOMPARE(view.objectName(), u"ListView1"_s);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy dropped(&view, &FileListView::filesDropped);
    QMimeData data;
    data.setUrls(urls);
    data.setText(u"/tmp/a.txt"_s);
    const auto keys = Qt::KeyboardModifiers::fromInt(modifiers);

    // A file manager proposes a move; the view takes a copy so that the files stay where they are.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent drop(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view.viewport(), &drop);

    QCOMPARE(enter.isAccepted(), bits >= 0);
    QCOMPARE(drop.isAccepted(), bits >= 0);
    QCOMPARE(dropped.size(), bits >= 0 ? 1 : 0);
    if (bits < 0)
        return;
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QCOMPARE(dropped.first().at(0).toStringList(), QStringList({QDir::toNativeSeparators(u"/tmp/a b.txt"_s),
                                                                QDir::toNativeSeparators(u"/tmp/c"_s)}));
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

void TestFileListWidgets::form3FillsSelectedRows()
{
    WorkTable t;
    prepare(t);
    FakeDialogs dialogs;
    Form3 form(t, {3, 0, 2}, dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), u"挿入文字列を設定"_s);
    auto* combo = form.findChild<QComboBox*>(u"Combo1"_s);
    QVERIFY(combo);
    QCOMPARE(combo->currentText(), u"<c6>A"_s);
    QCOMPARE(combo->itemText(1), u"<c7>B"_s);
    combo->setCurrentIndex(1);

    form.findChild<QRadioButton*>(u"Option1_3"_s)->click();
    auto* start = form.findChild<QLineEdit*>(u"Text2"_s);
    auto* step = form.findChild<QLineEdit*>(u"Text3"_s);
    start->clear();
    QTest::keyClicks(start, u"5x-"_s);
    QKeyEvent fullWidthDigit(QEvent::KeyPress, 0, Qt::NoModifier, u"１"_s);
    QApplication::sendEvent(start, &fullWidthDigit);
    step->clear();
    QTest::keyClicks(step, u"1a07"_s); // letters are discarded, the third digit does not fit
    QCOMPARE(start->text(), u"5"_s);
    QCOMPARE(step->text(), u"10"_s);
    auto* ok = form.findChild<QPushButton*>(u"Command1"_s);
    QCOMPARE(ok->text(), u"O　　K"_s);
    ok->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(column(t.files, 7), u"5|old|15|25|old"_s);
    QCOMPARE(column(t.files, 6), u"old|old|old|old|old"_s);

    // Cancel writes nothing; the folder mode writes the picker's folder as it shows it.
    Form3 cancelled(t, {0}, dialogs);
    cancelled.findChild<QPushButton*>(u"Command2"_s)->click();
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    Form3 folder(t, {4}, dialogs);
    folder.findChild<QRadioButton*>(u"Option1_1"_s)->click();
    folder.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(column(t.files, 6), u"old|old|old|old|"_s + QDir::toNativeSeparators(QDir::currentPath()));
}

void TestFileListWidgets::form3ModesAndBoxes()
{
    WorkTable t;
    prepare(t);
    FakeDialogs dialogs;
    Form3 form(t, {1}, dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* label0 = form.findChild<QLabel*>(u"Label0"_s);
    auto* dir1 = form.findChild<QWidget*>(u"Dir1"_s);
    auto* text1 = form.findChild<QLineEdit*>(u"Text1"_s);
    auto* start = form.findChild<QLineEdit*>(u"Text2"_s);
    auto* step = form.findChild<QLineEdit*>(u"Text3"_s);
    QVERIFY(label0 && dir1 && text1 && start && step);
    QVERIFY(form.findChild<QRadioButton*>(u"Option1_0"_s)->isChecked());
    QCOMPARE(start->text() + step->text(), u"11"_s);

    // Exactly the chosen mode's controls take input.
    for (int m : {1, 2, 3, 0}) {
        form.findChild<QRadioButton*>(u"Option1_"_s + QString::number(m))->click();
        const QList<bool> enabled{label0->isEnabled(), dir1->isEnabled(), text1->isEnabled(),
                                  start->isEnabled(), step->isEnabled()};
        QCOMPARE(enabled, QList<bool>({m == 0, m == 1, m == 2, m == 3, m == 3}));
    }

    // Arrow keys wrap at exactly "1" and the limit; what they write is not cut to the typing length.
    const std::tuple<QLineEdit*, QString, Qt::Key, QString> keys[] = {
        {start, u"1"_s, Qt::Key_Up, u"999"_s},
        {start, u"999"_s, Qt::Key_Down, u"1"_s},
        {step, u"1"_s, Qt::Key_Up, u"99"_s},
        {step, u"-99"_s, Qt::Key_Up, u"-100"_s},
        {start, QString(), Qt::Key_Up, u"-1"_s}};
    form.findChild<QRadioButton*>(u"Option1_3"_s)->click();
    for (const auto& [box, before, key, after] : keys) {
        box->setText(before);
        QTest::keyClick(box, key);
        QCOMPARE(box->text(), after);
    }

    form.findChild<QRadioButton*>(u"Option1_2"_s)->click();
    form.findChild<QPushButton*>(u"Command1"_s)->click();
    QCOMPARE(column(t.files, 6), u"old||old|old|old"_s);
}

QTEST_MAIN(TestFileListWidgets)
#include "tst_filelistwidgets.moc"
