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

// The column fill dialog over five rows with "old" in the user columns <c6> and <c7>.
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
    auto* combo = form.findChild<QComboBox*>(u"columnCombo"_s);
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
    for (QLineEdit* box : {start, step}) {
        for (const QString& text : {u"9x"_s, u"２"_s, u"999"_s}) {
            QGuiApplication::clipboard()->setText(text);
            box->paste();
            box->insert(text);
        }
    }
    combo->setCurrentIndex(1);
    click(form, u"okButton"_s);
    QCOMPARE(QStringList({t.files.cell(0, 7), t.files.cell(2, 7), t.files.cell(3, 7), t.files.cell(4, 7)}),
             QStringList({u"5"_s, u"15"_s, u"25"_s, u"old"_s}));
    // Cancel writes nothing; the folder mode writes the picker's folder as it shows it.
    ColumnFillDialog cancelled(t.columns, t.files, {0}, dialogs);
    // The Up arrow on 0 writes -1, which the box keeps; an edit of it still has to give digits.
    auto* stepped = cancelled.findChild<QLineEdit*>(u"startEdit"_s);
    stepped->setText(u"0"_s);
    QTest::keyClick(stepped, Qt::Key_Up);
    QGuiApplication::clipboard()->setText(u"x"_s);
    stepped->paste();
    stepped->insert(u"2"_s);
    QCOMPARE(stepped->text(), u"-1"_s);
    click(cancelled, u"cancelButton"_s);
    ColumnFillDialog folder(t.columns, t.files, {4}, dialogs);
    click(folder, u"folderOption"_s);
    click(folder, u"okButton"_s);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    QCOMPARE(t.files.cell(0, 6), u"old"_s);
    QCOMPARE(t.files.cell(4, 6), QDir::toNativeSeparators(QDir::currentPath()));
}

QTEST_MAIN(TestColumnFillDialog)
#include "tst_columnfilldialog.moc"
