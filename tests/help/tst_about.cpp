#include "Fakes.h"
#include "help/frmAbout.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void labels();

private:
    FakeRegistry m_registry; // empty, as on Linux
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    FakeDialogs m_dialogs;
};

void TestAbout::labels()
{
    frmAbout about(m_registry, m_files, m_launcher, m_dialogs);
    auto label = [&](const QString& name) { return about.findChild<QLabel*>(name)->text(); };
    auto button = [&](const QString& name) { return about.findChild<QPushButton*>(name)->text(); };
    QCOMPARE(about.windowTitle(), u"Lomvato"_s);
    QCOMPARE(label(u"lblTitle"_s), u"Lomvato"_s);
    QCOMPARE(label(u"lblVersion"_s), u"ﾊﾞｰｼﾞｮﾝ 1.7.0"_s);
    QCOMPARE(label(u"lblDescription"_s), QString());
    QVERIFY(label(u"lblDisclaimer"_s).startsWith(u"警告: "_s));
    QVERIFY(label(u"lblDisclaimer"_s).contains(u"シャットダウン"_s));
    QCOMPARE(button(u"cmdOK"_s), u"OK"_s);
    QCOMPARE(button(u"cmdSysInfo"_s), u"ｼｽﾃﾑ情報(&S)..."_s);
    // The icon comes from the resources linked into the widgets library.
    QVERIFY(!about.findChild<QLabel*>(u"picIcon"_s)->pixmap().isNull());
    QCOMPARE(QImage(u":/lomvato-64.png"_s).size(), QSize(64, 64));

    // Without the registry values the button can only report that the tool is unavailable.
    QTest::mouseClick(about.findChild<QPushButton*>(u"cmdSysInfo"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown.at(0).text, u"現時点ではｼｽﾃﾑ情報を使用できません"_s);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
