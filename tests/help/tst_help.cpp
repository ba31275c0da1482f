#include "Fakes.h"
#include "help/HelpCommand.h"
#include "help/SystemInfo.h"
#include "help/UrlOpener.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
struct FakeUrlOpener final : UrlOpener {
    QList<QUrl> opened;
    bool openUrl(const QUrl& url) override { return opened << url, true; }
};

// Fresh for every case. The registry is empty on Linux; the values stand for a Windows port's.
struct Services {
    FakeRegistry registry;
    FakeFileSystem files;
    FakeLauncher launcher;
    FakeDialogs dialogs;
};

const QString LocationValue = u"SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO"_s;
} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void helpFile_data();
    void helpFile();
    void startSysInfo_data();
    void startSysInfo();
};

void TestHelp::helpFile_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("opened"); // empty: nothing is asked of the desktop
    const QString chm = u"/home/u/.local/share/Lomvato/help.chm"_s, html = u"/opt/lomvato/help.html"_s;
    QTest::addRow("help.chm in the program folder") << QStringList{chm, html} << chm;
    QTest::addRow("help.chm beside the executable is not looked for")
        << QStringList{u"/opt/lomvato/help.chm"_s, html} << html;
    QTest::addRow("neither") << QStringList{} << QString();
}

void TestHelp::helpFile()
{
    Services s;
    QFETCH(QStringList, existing);
    QFETCH(QString, opened);
    s.files.files = QSet<QString>(existing.begin(), existing.end());
    FakeUrlOpener opener;
    HelpCommand(s.files, opener, u"/home/u/.local/share/Lomvato"_s, u"/opt/lomvato"_s)
        .Pulldown_help_help_Click();
    QCOMPARE(opener.opened, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl::fromLocalFile(opened)});
}

void TestHelp::startSysInfo_data()
{
    QTest::addColumn<QString>("path");     // the value PATH; empty: missing
    QTest::addColumn<QString>("location"); // the value MSINFO; empty: missing
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<bool>("launchFails");
    QTest::addColumn<QString>("started"); // the tool's path as started; empty: none
    const QString tool = u"C:\\WINDOWS\\system32\\msinfo32.exe"_s, inFolder = u"/opt/msinfo/MSINFO32.EXE"_s;
    // A stored text may count its terminating NUL.
    QTest::addRow("PATH counting its NUL") << tool + u"\0"_s << QString() << QStringList{} << false << tool;
    QTest::addRow("PATH wins over the location")
        << tool << u"/opt/msinfo"_s << QStringList{inFolder} << false << tool;
    QTest::addRow("location with the tool")
        << QString() << u"/opt/msinfo"_s << QStringList{inFolder} << false << inFolder;
    QTest::addRow("location without the tool")
        << QString() << u"/opt/msinfo"_s << QStringList{} << false << QString();
    QTest::addRow("the tool fails to start") << tool << QString() << QStringList{} << true << tool;
}

void TestHelp::startSysInfo()
{
    Services s;
    QFETCH(QString, path);
    QFETCH(QString, location);
    QFETCH(QStringList, existing);
    QFETCH(bool, launchFails);
    QFETCH(QString, started);
    if (!path.isEmpty())
        s.registry.values.insert(u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH"_s, path);
    if (!location.isEmpty())
        s.registry.values.insert(LocationValue, location);
    s.files.files = QSet<QString>(existing.begin(), existing.end());
    if (launchFails)
        s.launcher.failing.insert(path);
    const bool ok = !started.isEmpty() && !launchFails;
    QCOMPARE(SystemInfo(s.registry, s.files, s.launcher, s.dialogs, u'/').StartSysInfo(), ok);
    QCOMPARE(s.launcher.started, started.isEmpty() ? QStringList() : QStringList{started});
    QCOMPARE(s.launcher.showModes, QList<int>(s.launcher.started.size(), 1));
    QStringList shown;
    for (const auto& m : std::as_const(s.dialogs.shown))
        shown << m.text + u" / "_s + m.title;
    QCOMPARE(shown, QStringList(ok ? 0 : 1, u"現時点ではｼｽﾃﾑ情報を使用できません / Lomvato"_s));
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"
