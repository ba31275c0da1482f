#include "Fakes.h"
#include "platform/FolderPicker.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

// Dir1's entries, then File1's: ".. sub | run.sh |".
QString lists(const FolderPicker& picker)
{
    QStringList out;
    for (const QString& list : {u"Dir1"_s, u"File1"_s}) {
        const QAbstractItemModel* model = picker.findChild<QListView*>(list)->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString();
        out << u"|"_s;
    }
    return out.join(u' ');
}

} // namespace

// Over a folder with the subfolders sub/inner and Beta, the executables run.sh and sub/tool, and notes.txt.
class TestFolderPicker : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void setFolder_data();
    void setFolder();
    void openFromTheLists();

private:
    QTemporaryDir m_dir;
    QString m_root = QDir::toNativeSeparators(m_dir.path());
};

void TestFolderPicker::init()
{
    QVERIFY(QDir(m_dir.path()).mkpath(u"sub/inner"_s) && QDir(m_dir.path()).mkpath(u"Beta"_s));
    for (const QString& name : {u"run.sh"_s, u"notes.txt"_s, u"sub/tool"_s}) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const auto exe = name.endsWith(u".txt"_s) ? QFile::Permissions() : QFile::ExeOwner | QFile::ExeOther;
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | exe));
    }
}

// `path` under the folder; one that cannot be shown leaves the picker, its lists and its choice as they were.
void TestFolderPicker::setFolder_data()
{
    QTest::addColumn<FolderPicker::Files>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("lists");
    const auto all = FolderPicker::Files::All, exes = FolderPicker::Files::Executables;
    const QString top = u".. Beta sub | run.sh |"_s;
    QTest::addRow("all") << all << u"sub/.."_s << true << u".. Beta sub | notes.txt run.sh |"_s;
    QTest::addRow("executables") << exes << u"sub/.."_s << true << top;
    QTest::addRow("subfolder") << exes << u"sub"_s << true << u".. inner | tool |"_s;
    QTest::addRow("empty") << exes << QString() << false << top;
    QTest::addRow("missing") << exes << u"nowhere"_s << false << top;
    QTest::addRow("a file") << exes << u"run.sh"_s << false << top;
}

void TestFolderPicker::setFolder()
{
    QFETCH(FolderPicker::Files, kind);
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(QString, lists);
    FolderPicker picker(kind);
    QVERIFY(picker.setFolder(m_root));
    auto* file1 = picker.findChild<QListView*>(u"File1"_s);
    file1->setCurrentIndex(file1->model()->index(file1->model()->rowCount() - 1, 0));
    QCOMPARE(picker.selectedFile(), u"run.sh"_s);
    QSignalSpy changed(&picker, &FolderPicker::folderChanged);
    const QString full = path.isEmpty() ? path : m_dir.filePath(path);
    QCOMPARE(picker.setFolder(full), ok);
    QCOMPARE(picker.folder(), ok ? QDir::toNativeSeparators(QDir::cleanPath(full)) : m_root);
    QCOMPARE(changed.count(), ok ? 1 : 0);
    QCOMPARE(picker.folderProblem(full).isEmpty(), ok);
    QCOMPARE(::lists(picker), lists);
    QCOMPARE(picker.selectedFile(), ok ? QString() : u"run.sh"_s); // another folder drops the choice
}

// Activating list entries opens a folder and goes back up; a folder that vanished after it was listed is
// reported and nothing moves. The drives begin with the root, once each, and choosing one opens it.
void TestFolderPicker::openFromTheLists()
{
    FakeDialogs dialogs;
    FolderPicker picker(FolderPicker::Files::Executables);
    picker.setDialogs(&dialogs);
    QVERIFY(picker.setFolder(m_root));
    QSignalSpy changed(&picker, &FolderPicker::folderChanged);
    auto* dir1 = picker.findChild<QListView*>(u"Dir1"_s);
    const auto open = [dir1](const QString& entry) {
        const QModelIndex first = dir1->model()->index(0, 0);
        emit dir1->activated(
            dir1->model()->match(first, Qt::DisplayRole, entry, 1, Qt::MatchExactly).value(0));
    };
    open(u"sub"_s);
    open(u".."_s);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).at(0).toString(), m_root + QDir::separator() + u"sub"_s);
    QCOMPARE(picker.folder(), m_root);
    QVERIFY(QDir(m_dir.filePath(u"Beta"_s)).removeRecursively());
    open(u"Beta"_s);
    QCOMPARE(picker.folder(), m_root);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown.at(0).title, u"Lomvato"_s);
    QCOMPARE(dialogs.shown.at(0).text, FolderPicker::folderProblem(m_dir.filePath(u"Beta"_s)));

    QStringList drives = FolderPicker::drives();
    QCOMPARE(drives.value(0), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(drives.removeDuplicates(), 0);
    auto* drive1 = picker.findChild<QComboBox*>(u"Drive1"_s);
    QVERIFY(drive1->currentIndex() >= 0);
    emit drive1->activated(0);
    QCOMPARE(picker.folder(), drives.value(0));
}

QTEST_MAIN(TestFolderPicker)
#include "tst_folderpicker.moc"
