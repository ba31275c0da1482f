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

QStringList shown(const FolderPicker& picker, const QString& list)
{
    const QAbstractItemModel* model = picker.findChild<QListView*>(list)->model();
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out.append(model->index(r, 0).data().toString());
    return out;
}

void doubleClick(FolderPicker& picker, const QString& entry)
{
    auto* view = picker.findChild<QListView*>(u"Dir1"_s);
    const QModelIndex index = view->model()->index(int(shown(picker, u"Dir1"_s).indexOf(entry)), 0);
    QTRY_VERIFY(view->visualRect(index).isValid()); // laid out lazily after a model reset
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

} // namespace

class TestFolderPicker : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void listsByKind_data();
    void listsByKind();
    void refusesUnusableFolders_data();
    void refusesUnusableFolders();
    void doubleClickOpensGoesUpAndReports();
    void drivesStartWithRoot();

private:
    QTemporaryDir m_dir;
    QString m_root;
};

void TestFolderPicker::init()
{
    QVERIFY(m_dir.isValid());
    m_root = QDir::toNativeSeparators(m_dir.path());
    QDir d(m_dir.path());
    QVERIFY(d.mkpath(u"sub/inner"_s) && d.mkpath(u"Beta"_s));
    for (const QString& name : {u"run.sh"_s, u"notes.txt"_s, u"sub/tool"_s}) {
        QFile f(d.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const bool executable = !name.endsWith(u".txt"_s);
        QVERIFY(f.setPermissions(
            QFile::ReadOwner | QFile::WriteOwner |
            (executable ? QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther : QFile::Permissions())));
    }
}

void TestFolderPicker::listsByKind_data()
{
    QTest::addColumn<FolderPicker::Files>("kind");
    QTest::addColumn<QStringList>("files");
    QTest::addRow("all") << FolderPicker::Files::All << QStringList{u"notes.txt"_s, u"run.sh"_s};
    QTest::addRow("executables") << FolderPicker::Files::Executables << QStringList{u"run.sh"_s};
}

void TestFolderPicker::listsByKind()
{
    QFETCH(FolderPicker::Files, kind);
    QFETCH(QStringList, files);
    FolderPicker picker(kind);
    QVERIFY(picker.setFolder(m_root));
    QCOMPARE(picker.folder(), m_root);
    QCOMPARE(shown(picker, u"File1"_s), files);
    QCOMPARE(shown(picker, u"Dir1"_s), (QStringList{u".."_s, u"Beta"_s, u"sub"_s}));

    QCOMPARE(picker.selectedFile(), QString());
    auto* file1 = picker.findChild<QListView*>(u"File1"_s);
    file1->setCurrentIndex(file1->model()->index(int(files.size()) - 1, 0));
    QCOMPARE(picker.selectedFile(), u"run.sh"_s);
    QVERIFY(picker.setFolder(m_dir.filePath(u"sub"_s))); // another folder drops the choice
    QCOMPARE(picker.selectedFile(), QString());
}

void TestFolderPicker::refusesUnusableFolders_data()
{
    QTest::addColumn<QString>("path");
    QTest::addRow("empty") << QString();
    QTest::addRow("missing") << m_dir.filePath(u"nowhere"_s);
    QTest::addRow("a file") << m_dir.filePath(u"run.sh"_s);
}

void TestFolderPicker::refusesUnusableFolders()
{
    QFETCH(QString, path);
    FolderPicker picker(FolderPicker::Files::All);
    QVERIFY(picker.setFolder(m_root));
    QSignalSpy changed(&picker, &FolderPicker::folderChanged);
    QVERIFY(!picker.setFolder(path));
    QCOMPARE(picker.folder(), m_root);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!FolderPicker::folderProblem(path).isEmpty());
}

void TestFolderPicker::doubleClickOpensGoesUpAndReports()
{
    FakeDialogs dialogs;
    FolderPicker picker(FolderPicker::Files::Executables);
    picker.setDialogs(&dialogs);
    picker.resize(400, 300);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QVERIFY(picker.setFolder(m_root));
    QSignalSpy changed(&picker, &FolderPicker::folderChanged);

    doubleClick(picker, u"sub"_s);
    const QString sub = m_root + QDir::separator() + u"sub"_s;
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), sub);
    QCOMPARE(shown(picker, u"File1"_s), QStringList{u"tool"_s});
    QCOMPARE(shown(picker, u"Dir1"_s), (QStringList{u".."_s, u"inner"_s}));
    doubleClick(picker, u".."_s);
    QCOMPARE(picker.folder(), m_root);

    // A folder that vanished after it was listed is reported and the picker stays where it is.
    QVERIFY(QDir(m_dir.filePath(u"Beta"_s)).removeRecursively());
    doubleClick(picker, u"Beta"_s);
    QCOMPARE(picker.folder(), m_root);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown.at(0).title, u"Lomvato"_s);
    QCOMPARE(dialogs.shown.at(0).text, FolderPicker::folderProblem(m_dir.filePath(u"Beta"_s)));
}

void TestFolderPicker::drivesStartWithRoot()
{
    QStringList drives = FolderPicker::drives();
    QCOMPARE(drives.value(0), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(drives.removeDuplicates(), 0);

    FolderPicker picker(FolderPicker::Files::All);
    QVERIFY(picker.setFolder(m_root));
    auto* drive1 = picker.findChild<QComboBox*>(u"Drive1"_s);
    QVERIFY(drive1->currentIndex() >= 0);
    emit drive1->activated(0);
    QCOMPARE(picker.folder(), drives.value(0));
}

QTEST_MAIN(TestFolderPicker)
#include "tst_folderpicker.moc"
