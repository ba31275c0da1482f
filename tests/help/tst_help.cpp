#include "Fakes.h"
#include "help/HelpCommand.h"
#include "help/SystemInfo.h"
#include "help/UrlOpener.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
class FakeUrlOpener final : public UrlOpener
{
public:
    QList<QUrl> opened;
    bool openUrl(const QUrl& url) override
    {
        opened << url;
        return true;
    }
};

const QString InfoKey = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s;
const QString LocationKey = u"SOFTWARE\\Microsoft\\Shared Tools Location"_s;
const QString Unavailable = u"現時点ではｼｽﾃﾑ情報を使用できません"_s;
} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void helpFile_data();
    void helpFile();
    void getKeyValue_data();
    void getKeyValue();
    void startSysInfo_data();
    void startSysInfo();
};

void TestHelp::helpFile_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("opened"); // empty: nothing is asked of the desktop

    const QString chm = u"/home/u/.local/share/Lomvato/help.chm"_s;
    const QString html = u"/opt/lomvato/help.html"_s;
    QTest::addRow("help.chm in the program folder") << QStringList{chm, html} << chm;
    QTest::addRow("only the shipped guide") << QStringList{html} << html;
    QTest::addRow("help.chm beside the executable is not looked for")
        << QStringList{u"/opt/lomvato/help.chm"_s, html} << html;
    QTest::addRow("neither") << QStringList{} << QString();
}

void TestHelp::helpFile()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, opened);
    FakeFileSystem files;
    files.files = QSet<QString>(existing.begin(), existing.end());
    FakeUrlOpener opener;
    HelpCommand help(files, opener, u"/home/u/.local/share/Lomvato"_s, u"/opt/lomvato"_s);

    help.Pulldown_help_help_Click();

    QCOMPARE(help.helpFilePath(), opened);
    if (opened.isEmpty())
        QVERIFY(opener.opened.isEmpty());
    else
        QCOMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(opened)});
}

void TestHelp::getKeyValue_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: no such value
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("text");

    QTest::addRow("text") << QVariant(u"C:\\Program Files\\msinfo32.exe"_s) << true
                          << u"C:\\Program Files\\msinfo32.exe"_s;
    QTest::addRow("text counting its NUL") << QVariant(u"C:\\Tools\0"_s) << true << u"C:\\Tools"_s;
    QTest::addRow("only one NUL is dropped") << QVariant(u"a\0\0"_s) << true << u"a\0"_s;
    QTest::addRow("number") << QVariant(quint32(0x1A2B3C4D)) << true << u"&h1A2B3C4D"_s;
    QTest::addRow("number with zero bytes") << QVariant(quint32(0x00FF0001)) << true << u"&hFF0001"_s;
    QTest::addRow("zero") << QVariant(quint32(0)) << true << u"&h0"_s;
    QTest::addRow("highest number") << QVariant(quint32(0xFFFFFFFF)) << true << u"&hFFFFFFFF"_s;
    QTest::addRow("missing") << QVariant() << false << QString();
    QTest::addRow("binary value") << QVariant(QByteArray("\x01\x02", 2)) << false << QString();
}

void TestHelp::getKeyValue()
{
    QFETCH(QVariant, stored);
    FakeRegistry registry;
    if (stored.isValid())
        registry.values.insert(InfoKey + u"\\PATH"_s, stored);
    FakeFileSystem files;
    FakeLauncher launcher;
    FakeDialogs dialogs;
    SystemInfo info(registry, files, launcher, dialogs);

    QString out = u"left over"_s;
    QTEST(info.GetKeyValue(SystemInfo::Root::LocalMachine, InfoKey, u"PATH"_s, out), "found");
    QTEST(out, "text");
}

void TestHelp::startSysInfo_data()
{
    QTest::addColumn<QString>("path");     // the value PATH; empty: missing
    QTest::addColumn<QString>("location"); // the value MSINFO; empty: missing
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<bool>("launchFails");
    QTest::addColumn<QString>("started"); // empty: the message instead

    const QString tool = u"C:\\WINDOWS\\system32\\msinfo32.exe"_s;
    const QString folder = u"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo"_s;
    const QString inFolder = folder + u"\\MSINFO32.EXE"_s;
    QTest::addRow("PATH found") << tool << QString() << QChar(u'\\') << QStringList{} << false << tool;
    QTest::addRow("PATH wins over the location")
        << tool << folder << QChar(u'\\') << QStringList{inFolder} << false << tool;
    QTest::addRow("location with the tool")
        << QString() << folder << QChar(u'\\') << QStringList{inFolder} << false << inFolder;
    QTest::addRow("location with the tool, slash")
        << QString() << u"/opt/msinfo"_s << QChar(u'/') << QStringList{u"/opt/msinfo/MSINFO32.EXE"_s} << false
        << u"/opt/msinfo/MSINFO32.EXE"_s;
    QTest::addRow("location without the tool")
        << QString() << folder << QChar(u'\\') << QStringList{} << false << QString();
    QTest::addRow("nothing found") << QString() << QString() << QChar(u'/') << QStringList{} << false
                                   << QString();
    QTest::addRow("the tool fails to start")
        << tool << QString() << QChar(u'\\') << QStringList{} << true << QString();
}

void TestHelp::startSysInfo()
{
    QFETCH(QString, path);
    QFETCH(QString, location);
    QFETCH(QChar, separator);
    QFETCH(QStringList, existing);
    QFETCH(bool, launchFails);
    QFETCH(QString, started);
    FakeRegistry registry;
    if (!path.isEmpty())
        registry.values.insert(InfoKey + u"\\PATH"_s, path);
    if (!location.isEmpty())
        registry.values.insert(LocationKey + u"\\MSINFO"_s, location);
    FakeFileSystem files;
    files.files = QSet<QString>(existing.begin(), existing.end());
    FakeLauncher launcher;
    if (launchFails)
        launcher.failing.insert(path);
    FakeDialogs dialogs;
    SystemInfo info(registry, files, launcher, dialogs, separator);

    QCOMPARE(info.StartSysInfo(), !started.isEmpty());

    if (started.isEmpty()) {
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown.at(0).text, Unavailable);
        QCOMPARE(dialogs.shown.at(0).title, u"Lomvato"_s);
        QVERIFY(launchFails || launcher.started.isEmpty());
    } else {
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(launcher.started, QStringList{started});
        QCOMPARE(launcher.showModes, QList<int>{1});
    }
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"
