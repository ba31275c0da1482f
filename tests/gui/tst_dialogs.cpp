#include "Fakes.h"
#include "apps/AppCommands.h"
#include "apps/ParameterEditor.h"
#include "core/WorkTable.h"
#include "gui/ApplicationDialog.h"
#include "gui/ColumnFillDialog.h"
#include "gui/FolderPicker.h"
#include "gui/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The dialogs; a folder with the subfolders sub/inner and Beta, executables run.sh, sub/tool, and notes.txt.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void folderPicker();
    void form2_data();
    void form2();
    void messagesArePlain();
    void columnFill();

private:
    QTemporaryDir m_dir;
    QString m_root = QDir::toNativeSeparators(m_dir.path());
    QString m_fallback = m_root + QDir::separator() + u"sub"_s; // the program's folder
    WorkTable m_table;
    FakeDialogs m_dialogs;
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    ParameterEditor m_editor{m_table};
    AppCommands m_apps{m_table.apps, m_editor, m_dialogs, m_files, m_launcher, m_fallback};
};

void TestDialogs::init()
{
    QVERIFY(QDir(m_dir.path()).mkpath(u"sub/inner"_s) && QDir(m_dir.path()).mkpath(u"Beta"_s));
    for (const QString& name : {u"run.sh"_s, u"notes.txt"_s, u"sub/tool"_s}) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const auto exe = name.endsWith(u".txt"_s) ? QFile::Permissions() : QFile::ExeOwner | QFile::ExeOther;
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | exe));
    }
    m_apps.setShowDialog(
        [this](const AppDialogRequest& r) { ApplicationDialog::showModal(m_apps, m_dialogs, r, nullptr); });
}

// A folder that cannot be shown (none, missing, vanished) leaves the picker as it was; a vanished is said.
void TestDialogs::folderPicker()
{
    FakeDialogs dialogs;
    FolderPicker picker(FolderPicker::Files::All);
    picker.setDialogs(&dialogs);
    QVERIFY(picker.setFolder(m_root));
    auto* folderList = picker.findChild<QListView*>(u"folderList"_s);
    auto* fileChoice = picker.findChild<QListView*>(u"fileChoice"_s);
    const auto entries = [](const QListView* list) {
        QStringList out;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            out << list->model()->index(r, 0).data().toString();
        return out;
    };
    const auto open = [&](const QString& entry) {
        emit folderList->activated(folderList->model()->index(entries(folderList).indexOf(entry), 0));
    };
    // The folder, its subfolders, its files and the chosen file.
    const auto shown = [&] {
        return std::tuple{picker.folder(), entries(folderList), entries(fileChoice), picker.selectedFile()};
    };
    open(u"sub"_s);
    QCOMPARE(shown(),
             std::tuple(m_fallback, QStringList{u".."_s, u"inner"_s}, QStringList{u"tool"_s}, QString()));
    open(u".."_s);
    fileChoice->setCurrentIndex(fileChoice->model()->index(1, 0));
    QVERIFY(!picker.setFolder(QString()));
    QVERIFY(!picker.setFolder(m_dir.filePath(u"nowhere"_s)));
    QVERIFY(QDir(m_dir.filePath(u"Beta"_s)).removeRecursively());
    open(u"Beta"_s);
    QCOMPARE(shown(), std::tuple(m_root, QStringList{u".."_s, u"Beta"_s, u"sub"_s},
                                 QStringList{u"notes.txt"_s, u"run.sh"_s}, u"run.sh"_s));
    QCOMPARE(dialogs.texts(), QStringList{FolderPicker::folderProblem(m_dir.filePath(u"Beta"_s))});
    emit picker.findChild<QComboBox*>(u"driveList"_s)->activated(0);
    QCOMPARE(std::pair(picker.folder(), picker.selectedFile()),
             std::pair(QDir::toNativeSeparators(QDir::rootPath()), QString()));
    const QString tagged = m_root + QDir::separator() + u"<b>x"_s;
    QVERIFY(QDir().mkpath(tagged) && picker.setFolder(tagged));
    const auto* path = picker.findChild<QLabel*>(u"folderPath"_s);
    QCOMPARE(std::pair(path->text(), path->textFormat()), std::pair(tagged, Qt::PlainText));
}

// ApplicationDialog, opened modally: a change starts in the stored program's folder, else in the program's.
void TestDialogs::form2_data()
{
    QTest::addColumn<QString>("stored"); // the changed application's path; none: an add
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("cancel");
    const QString sep = QDir::separator();
    QTest::addRow("add") << QString() << QDir::toNativeSeparators(QDir::currentPath()) << false;
    QTest::addRow("usable") << m_root + sep + u"run.sh"_s << m_root << false;
    QTest::addRow("in the root") << sep + u"run.sh"_s << sep << true;
    QTest::addRow("no folder") << u"run.sh"_s << m_fallback << true;
}

void TestDialogs::form2()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(bool, cancel);
    const QStringList before{u"<App1>"_s, u"old"_s, stored, u"sample"_s};
    m_table.apps.resetRows(stored.isEmpty() ? std::vector<QStringList>{} : std::vector{before});
    m_dialogs.shown.clear();
    QTimer::singleShot(0, this, [&] {
        auto* form = qobject_cast<ApplicationDialog*>(QApplication::activeModalWidget());
        QVERIFY(form);
        const auto close = qScopeGuard([form] { form->reject(); }); // never left open
        QCOMPARE(form->picker()->folder(), shown);
        form->findChild<QPushButton*>(u"okButton"_s)->click();
        QVERIFY(form->isVisible());
        QVERIFY(form->picker()->setFolder(m_root));
        auto* fileChoice = form->findChild<QListView*>(u"fileChoice"_s);
        QCOMPARE(fileChoice->model()->rowCount(), 1); // executables only
        fileChoice->setCurrentIndex(fileChoice->model()->index(0, 0));
        QTest::keyClicks(form->findChild<QPlainTextEdit*>(u"sampleEdit"_s),
                         u"<c5> "_s); // at the caret, before the sample
        form->findChild<QPushButton*>(cancel ? u"cancelButton"_s : u"okButton"_s)->click();
        QVERIFY(!form->isVisible());
    });
    if (stored.isEmpty())
        m_apps.addApplication();
    else
        m_apps.changeApplication(0);
    QCOMPARE(m_dialogs.shown.value(0).text, u"ファイルを選択してください"_s);
    const QStringList after{u"<App1>"_s, u"run.sh"_s, m_root + QDir::separator() + u"run.sh"_s,
                            u"<c5> "_s + (stored.isEmpty() ? QString() : u"sample"_s)};
    QCOMPARE(m_table.apps.rowCells(0), cancel ? before : after);
}

// A message naming a program or a file shows a name that starts with a tag as it is written.
void TestDialogs::messagesArePlain()
{
    QtDialogs dialogs;
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box->textFormat() == Qt::PlainText)
                shown = box->text();
            box->accept();
        }
    });
    dialogs.message(u"/bin/<b>x\r\n\r\nは起動できません。パスが見つかりません"_s, QString());
    QCOMPARE(shown, u"/bin/<b>x\n\nは起動できません。パスが見つかりません"_s);
}

// What the column fill's fields pass on (what a fill writes: tst_filelistcommands), over "old" in <c6>, <c7>.
void TestDialogs::columnFill()
{
    WorkTable t;
    t.addColumn(u"A"_s);
    t.addColumn(u"B"_s);
    t.files.appendRows(std::vector<FileList::Row>(5, {{}, {}, {}, {}, {}, {}, u"old"_s, u"old"_s}));
    ColumnFillDialog form(t.columns, t.files, {3, 0, 2}, m_dialogs);
    auto* start = form.findChild<QLineEdit*>(u"startEdit"_s);
    auto* step = form.findChild<QLineEdit*>(u"stepEdit"_s);
    form.findChild<QAbstractButton*>(u"sequenceOption"_s)->click();
    // Only digits are typed in: a full-width digit and letters are discarded; a third step digit won't fit.
    start->clear();
    QTest::keyClicks(start, u"5x-"_s);
    QKeyEvent fullWidthDigit(QEvent::KeyPress, 0, Qt::NoModifier, u"１"_s);
    QCoreApplication::sendEvent(start, &fullWidthDigit);
    step->setText(u"1"_s);
    QTest::keyClicks(step, u"a07"_s);
    // Nor pasted or inserted: such a text is refused whole.
    for (QLineEdit* box : {start, step})
        for (const QString& text : {u"9x"_s, u"２"_s, u"999"_s}) {
            QGuiApplication::clipboard()->setText(text);
            box->paste();
            box->insert(text);
        }
    form.findChild<QComboBox*>(u"columnCombo"_s)->setCurrentIndex(1);
    form.findChild<QAbstractButton*>(u"okButton"_s)->click();
    QCOMPARE(start->text() + u'|' + step->text(), u"5|10"_s);
    QCOMPARE(t.files.cell(3, 7), u"25"_s); // the third of the rows, in the chosen column
    QCOMPARE(form.result(), int(QDialog::Accepted));
    ColumnFillDialog folder(t.columns, t.files, {4}, m_dialogs);
    // The Up arrow on 0 writes -1, which the box keeps; an edit of it still has to give digits.
    auto* stepped = folder.findChild<QLineEdit*>(u"startEdit"_s);
    stepped->setText(u"0"_s);
    QTest::keyClick(stepped, Qt::Key_Up);
    QTest::keyClicks(stepped, u"2"_s);
    QCOMPARE(stepped->text(), u"-1"_s);
    // Cancel writes nothing; the folder mode writes the picker's folder as it shows it.
    folder.findChild<QAbstractButton*>(u"folderOption"_s)->click();
    folder.findChild<QAbstractButton*>(u"cancelButton"_s)->click();
    QCOMPARE(folder.result(), int(QDialog::Rejected));
    QCOMPARE(t.files.cell(4, 6), u"old"_s);
    folder.findChild<QAbstractButton*>(u"okButton"_s)->click();
    QCOMPARE(t.files.cell(4, 6), QDir::toNativeSeparators(QDir::currentPath()));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
