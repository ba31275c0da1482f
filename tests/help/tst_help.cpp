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
    bool openUrl(const QUrl& url) override
    {
        opened << url;
        return true;
    }
};

struct Services {
    FakeRegistry registry;
    FakeFileSystem files;
    FakeLauncher launcher;
    FakeDialogs dialogs;
};

const QString InfoPath = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH"_s;
const QString LocationValue = u"SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO"_s;
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

void TestHelp::getKeyValue_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: no such value
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("text");

    QTest::addRow("text counting its NUL") << QVariant(u"C:\\Tools\0"_s) << true << u"C:\\Tools"_s;
    QTest::addRow("only one NUL is dropped") << QVariant(u"a\0\0"_s) << true << u"a\0"_s;
    QTest::addRow("number with zero bytes") << QVariant(quint32(0x00FF0001)) << true << u"&hFF0001"_s;
    QTest::addRow("zero") << QVariant(quint32(0)) << true << u"&h0"_s;
    QTest::addRow("highest number") << QVariant(quint32(0xFFFFFFFF)) << true << u"&hFFFFFFFF"_s;
    QTest::addRow("missing") << QVariant() << false << QString();
    QTest::addRow("binary value") << QVariant(QByteArray("\x01\x02", 2)) << false << QString();
}

void TestHelp::getKeyValue()
{
    Services s;
    QFETCH(QVariant, stored);
    if (stored.isValid())
        s.registry.values.insert(InfoPath, stored);
    QString out = u"left over"_s;
    SystemInfo info(s.registry, s.files, s.launcher, s.dialogs);
    QTEST(info.GetKeyValue(SystemInfo::Root::LocalMachine, InfoPath.section(u'\\', 0, -2), u"PATH"_s, out),
          "found");
    QTEST(out, "text");
}

void TestHelp::startSysInfo_data()
{
    QTest::addColumn<QString>("path");     // the value PATH; empty: missing
    QTest::addColumn<QString>("location"); // the value MSINFO; empty: missing
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<bool>("launchFails");
    QTest::addColumn<QString>("started"); // the tool's path as started; empty: none

    const QString tool = u"C:\\WINDOWS\\system32\\msinfo32.exe"_s;
    const QString inFolder = u"/opt/msinfo/MSINFO32.EXE"_s;
    QTest::addRow("PATH found") << tool << QString() << QStringList{} << false << tool;
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
        s.registry.values.insert(InfoPath, path);
    if (!location.isEmpty())
        s.registry.values.insert(LocationValue, location);
    s.files.files = QSet<QString>(existing.begin(), existing.end());
    if (launchFails)
        s.launcher.failing.insert(path);

    const bool ok = !started.isEmpty() && !launchFails;
    QCOMPARE(SystemInfo(s.registry, s.files, s.launcher, s.dialogs, u'/').StartSysInfo(), ok);

    QCOMPARE(s.launcher.started, started.isEmpty() ? QStringList() : QStringList{started});
    QCOMPARE(s.launcher.showModes, QList<int>(s.launcher.started.size(), 1));
    QCOMPARE(s.dialogs.shown.size(), ok ? 0 : 1);
    if (!ok)
        QCOMPARE(s.dialogs.shown.at(0).text + u" / "_s + s.dialogs.shown.at(0).title,
                 u"現時点ではｼｽﾃﾑ情報を使用できません / Lomvato"_s);
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"
