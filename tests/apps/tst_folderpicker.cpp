#include "Fakes.h"
#include "platform/FolderPicker.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

void makeFile(const QString& path, bool executable)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        p |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(f.setPermissions(p));
}

QStringList shown(const FolderPicker& picker, const char* list)
{
    auto* view = picker.findChild<QListView*>(QLatin1String(list));
    return static_cast<QStringListModel*>(view->model())->stringList();
}

void doubleClick(FolderPicker& picker, const QString& entry)
{
    auto* view = picker.findChild<QListView*>(u"Dir1"_s);
    const int row = shown(picker, "Dir1").indexOf(entry);
    QVERIFY2(row >= 0, qPrintable(entry));
    const QModelIndex index = view->model()->index(row, 0);
    // The view lays its items out lazily after a model reset.
    QTRY_VERIFY(view->visualRect(index).isValid());
    const QRect r = view->visualRect(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, r.center());
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
    void doubleClickOpensAndGoesUp();
    void vanishedFolderIsReported();
    void selectedFileIsNameOnly();
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
    d.mkpath(u"sub/inner"_s);
    d.mkpath(u"Beta"_s);
    makeFile(d.filePath(u"run.sh"_s), true);
    makeFile(d.filePath(u"notes.txt"_s), false);
    makeFile(d.filePath(u"sub/tool"_s), true);
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
    QCOMPARE(shown(picker, "File1"), files);
    QCOMPARE(shown(picker, "Dir1"), (QStringList{u".."_s, u"Beta"_s, u"sub"_s}));
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

void TestFolderPicker::doubleClickOpensAndGoesUp()
{
    FolderPicker picker(FolderPicker::Files::Executables);
    picker.resize(400, 300);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QVERIFY(picker.setFolder(m_root));
    QSignalSpy changed(&picker, &FolderPicker::folderChanged);

    doubleClick(picker, u"sub"_s);
    const QString sub = m_root + QDir::separator() + u"sub"_s;
    QCOMPARE(picker.folder(), sub);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), sub);
    QCOMPARE(shown(picker, "File1"), QStringList{u"tool"_s});
    QCOMPARE(shown(picker, "Dir1"), (QStringList{u".."_s, u"inner"_s}));

    doubleClick(picker, u".."_s);
    QCOMPARE(picker.folder(), m_root);
}

void TestFolderPicker::vanishedFolderIsReported()
{
    FakeDialogs dialogs;
    FolderPicker picker(FolderPicker::Files::All);
    picker.setDialogs(&dialogs);
    picker.resize(400, 300);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QVERIFY(picker.setFolder(m_root));
    QVERIFY(QDir(m_dir.filePath(u"Beta"_s)).removeRecursively());
    QSignalSpy unavailable(&picker, &FolderPicker::unavailable);

    doubleClick(picker, u"Beta"_s);
    QCOMPARE(picker.folder(), m_root);
    QCOMPARE(unavailable.count(), 1);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown.at(0).title, u"Lomvato"_s);
    QVERIFY(!dialogs.shown.at(0).text.isEmpty());
}

void TestFolderPicker::selectedFileIsNameOnly()
{
    FolderPicker picker(FolderPicker::Files::All);
    QVERIFY(picker.setFolder(m_root));
    QCOMPARE(picker.selectedFile(), QString());
    auto* file1 = picker.findChild<QListView*>(u"File1"_s);
    file1->setCurrentIndex(file1->model()->index(1, 0));
    QCOMPARE(picker.selectedFile(), u"run.sh"_s);
    // Another folder drops the old selection.
    QVERIFY(picker.setFolder(m_dir.filePath(u"sub"_s)));
    QCOMPARE(picker.selectedFile(), QString());
}

void TestFolderPicker::drivesStartWithRoot()
{
    QStringList drives = FolderPicker::drives();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.first(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(drives.removeDuplicates(), 0);

    FolderPicker picker(FolderPicker::Files::All);
    QVERIFY(picker.setFolder(m_root));
    auto* drive1 = picker.findChild<QComboBox*>(u"Drive1"_s);
    QVERIFY(drive1->currentIndex() >= 0);
    emit drive1->activated(0);
    QCOMPARE(picker.folder(), QDir::toNativeSeparators(QDir::rootPath()));
    QCOMPARE(drive1->currentIndex(), 0);
}

QTEST_MAIN(TestFolderPicker)
#include "tst_folderpicker.moc"
