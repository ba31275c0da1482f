#include "Fakes.h"
#include "core/WorkTable.h"
#include "gui/ColumnFillDialog.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

// The column fill dialog over five rows with "old" in the user columns <c6> and <c7>. What a fill writes is
// tst_filelistcommands' part; here, what the fields pass on.
class TestColumnFillDialog : public QObject
{
    Q_OBJECT
private slots:
    void fill();
};

void TestColumnFillDialog::fill()
{
    WorkTable t;
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    FakeDialogs dialogs;
    ColumnFillDialog form(t.columns, t.files, {3, 0, 2}, dialogs);
    const auto click = [](ColumnFillDialog& f, const QString& name) {
        f.findChild<QAbstractButton*>(name)->click();
    };
    auto* start = form.findChild<QLineEdit*>(u"startEdit"_s);
    auto* step = form.findChild<QLineEdit*>(u"stepEdit"_s);
    click(form, u"sequenceOption"_s);
    // Only digits are typed in: a full-width digit and letters are discarded; a third step digit won't fit.
    start->clear();
    QTest::keyClicks(start, u"5x-"_s);
    QKeyEvent fullWidthDigit(QEvent::KeyPress, 0, Qt::NoModifier, u"１"_s);
    QCoreApplication::sendEvent(start, &fullWidthDigit);
    step->setText(u"1"_s);
    QTest::keyClicks(step, u"a07"_s);
    // Nor do they arrive any other way: a pasted or inserted letter, full-width digit or digits past the
    // length is refused whole.
    const auto pasteAndInsert = [](QLineEdit* box, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        box->paste();
        box->insert(text);
    };
    for (QLineEdit* box : {start, step}) {
        for (const QString& text : {u"9x"_s, u"２"_s, u"999"_s})
            pasteAndInsert(box, text);
    }
    form.findChild<QComboBox*>(u"columnCombo"_s)->setCurrentIndex(1);
    click(form, u"okButton"_s);
    QCOMPARE(start->text() + u'|' + step->text(), u"5|10"_s);
    QCOMPARE(t.files.cell(3, 7), u"25"_s); // the third of the rows, in the chosen column
    QCOMPARE(form.result(), int(QDialog::Accepted));
    ColumnFillDialog folder(t.columns, t.files, {4}, dialogs);
    // The Up arrow on 0 writes -1, which the box keeps; an edit of it still has to give digits.
    auto* stepped = folder.findChild<QLineEdit*>(u"startEdit"_s);
    stepped->setText(u"0"_s);
    QTest::keyClick(stepped, Qt::Key_Up);
    pasteAndInsert(stepped, u"2"_s);
    QCOMPARE(stepped->text(), u"-1"_s);
    // Cancel writes nothing; the folder mode writes the picker's folder as it shows it.
    click(folder, u"folderOption"_s);
    click(folder, u"cancelButton"_s);
    QCOMPARE(folder.result(), int(QDialog::Rejected));
    QCOMPARE(t.files.cell(4, 6), u"old"_s);
    click(folder, u"okButton"_s);
    QCOMPARE(t.files.cell(4, 6), QDir::toNativeSeparators(QDir::currentPath()));
}

QTEST_MAIN(TestColumnFillDialog)
#include "tst_columnfilldialog.moc"
