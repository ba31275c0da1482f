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
    void load();
};

void TestAbout::load()
{
    FakeRegistry registry; // empty, as on Linux
    FakeFileSystem files;
    FakeLauncher launcher;
    FakeDialogs dialogs;
    frmAbout about(registry, files, launcher, dialogs);
    QCOMPARE(about.windowTitle(), u"Lomvato"_s);
    const QList<std::pair<QString, QString>> texts{{u"lblTitle"_s, u"Lomvato"_s},
                                                   {u"lblVersion"_s, u"ﾊﾞｰｼﾞｮﾝ 1.7.0"_s},
                                                   {u"lblDescription"_s, QString()},
                                                   {u"cmdSysInfo"_s, u"ｼｽﾃﾑ情報(&S)..."_s}};
    for (const auto& [name, text] : texts)
        QCOMPARE(about.findChild<QWidget*>(name)->property("text").toString(), text);
    QVERIFY(about.findChild<QLabel*>(u"lblDisclaimer"_s)->text().startsWith(u"警告: "_s));
    // The icon comes from the resources linked into the widgets library; the PNG serves without SVG support.
    QVERIFY(!about.findChild<QLabel*>(u"picIcon"_s)->pixmap().isNull());
    QCOMPARE(QImage(u":/lomvato-64.png"_s).size(), QSize(64, 64));
    // Without the registry values the button can only report that the tool is unavailable.
    QTest::mouseClick(about.findChild<QPushButton*>(u"cmdSysInfo"_s), Qt::LeftButton);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown.at(0).text, u"現時点ではｼｽﾃﾑ情報を使用できません"_s);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
