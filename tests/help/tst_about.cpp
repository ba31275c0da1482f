#include "Fakes.h"
#include "help/AppIcon.h"
#include "help/frmAbout.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void labels();
    void iconResources_data();
    void iconResources();
    void sysInfoWithoutToolShowsTheMessage();
    void okCloses();

private:
    FakeRegistry m_registry;
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
    QVERIFY(!about.findChild<QLabel*>(u"picIcon"_s)->pixmap().isNull());
}

void TestAbout::iconResources_data()
{
    QTest::addColumn<QString>("path");
    QTest::addRow("svg") << u":/lomvato.svg"_s;
    QTest::addRow("png fallback") << u":/lomvato-64.png"_s;
}

void TestAbout::iconResources()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(64, 64));
    QVERIFY(!applicationIcon().pixmap(32, 32).isNull());
}

void TestAbout::sysInfoWithoutToolShowsTheMessage()
{
    m_dialogs.shown.clear();
    frmAbout about(m_registry, m_files, m_launcher, m_dialogs);
    QTest::mouseClick(about.findChild<QPushButton*>(u"cmdSysInfo"_s), Qt::LeftButton);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown.at(0).text, u"現時点ではｼｽﾃﾑ情報を使用できません"_s);
    QVERIFY(m_launcher.started.isEmpty());
}

void TestAbout::okCloses()
{
    frmAbout about(m_registry, m_files, m_launcher, m_dialogs);
    bool clicked = false;
    QTimer::singleShot(0, &about, [&] {
        if (QApplication::activeModalWidget() != &about)
            return;
        QTest::mouseClick(about.findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
        clicked = true;
    });
    QTimer::singleShot(5000, &about, &QDialog::reject); // a safety net, should the click not arrive
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QVERIFY(clicked);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
