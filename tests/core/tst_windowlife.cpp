#include "Fakes.h"
#include "core/Form1.h"
#include "run/CompletionCountdown.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
QString stars()
{
    return QString(60, u'*') + u"\r\n\r\n"_s;
}
// The top of the log right after the last job of a one-job run.
QString allSent()
{
    return stars() + u"03/04/15 09:05:07\t全ての送信を終了しました／\r\n\r\n"_s;
}
} // namespace

// The main window's life: start-up, the close path with its files, and the actions after the last job.
class TestWindowLife : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void closeWritesLogAndStartupTemplate();
    void failedLogWriteIsReportedAndTheTemplateStillStored();
    void startUpThatFailsTwiceWritesNothing();
    void closingWhileAnAbortIsPendingStoresBothFiles();
    void completion_data();
    void completion();
    void abortedRunHasNoCompletionAction();

private:
    void makeForm();
    void runOneJob();
    QString readText(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDialogs m_dialogs;
    FakeFileSystem m_files;
    FakeLauncher m_launcher;
    FakeClock m_clock;
    FakePower m_power;
    FakeRegistry m_registry;
    std::unique_ptr<Form1> m_form;
    int m_countdowns = 0;
};

void TestWindowLife::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_launcher = FakeLauncher();
    m_power = FakePower();
    m_countdowns = 0;
    QVERIFY(TemplateFile::writeFactoryTemplate(m_dir->filePath(u"default.lvt"_s)));
}

void TestWindowLife::cleanup()
{
    m_form.reset();
}

void TestWindowLife::makeForm()
{
    m_form = std::make_unique<Form1>(
        Services{m_dialogs, m_files, m_launcher, m_clock, m_power, m_registry, m_dir->path(), m_dir->path()});
}

QString TestWindowLife::readText(const QString& name) const
{
    QString text;
    StoreError error;
    TextCodec::readFile(m_dir->filePath(name), &text, &error);
    return text;
}

// One file, one batch entry, one job that ends at the first tick.
void TestWindowLife::runOneJob()
{
    WorkTable& t = m_form->table();
    t.files.appendRows({{QString(), u"1"_s, u"a"_s, u"txt"_s, u"/w"_s, u"/w/a.txt"_s}});
    t.batch.appendRow({u"<App1>"_s, u"tool"_s, u"tool <c5>"_s, u"/bin/tool"_s});
    RunEngine& engine = m_form->engine();
    engine.Command10_Click();
    engine.openProcess();
    m_launcher.ended.insert(m_launcher.lastPid());
    engine.Timer1_Timer();
    QCoreApplication::processEvents();
}

void TestWindowLife::closeWritesLogAndStartupTemplate()
{
    makeForm();
    QVERIFY(m_form->Form_Load());
    m_form->table().addColumn(u"メモ"_s);
    m_form->close();
    QVERIFY(readText(u"log.ini"_s)
                .startsWith(QString(60, u'*') + u"\r\n\r\n03/04/15 09:05:07\tLomvato起動開始\r\n"_s));
    QVERIFY(readText(u"log.ini"_s).endsWith(u"\r\n"_s));
    QVERIFY(readText(u"default.lvt"_s).contains(u"<c6>|メモ\r\n"_s));
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestWindowLife::failedLogWriteIsReportedAndTheTemplateStillStored()
{
    QVERIFY(QDir(m_dir->path()).mkdir(u"log.ini"_s));
    makeForm();
    QVERIFY(m_form->Form_Load());
    m_form->table().addColumn(u"メモ"_s);
    m_form->close();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.contains(u"log.ini"_s));
    QVERIFY(m_dialogs.shown[0].text.endsWith(u"を保存できませんでした"_s));
    QCOMPARE(m_dialogs.shown[0].title, u"Lomvato"_s);
    QVERIFY(readText(u"default.lvt"_s).contains(u"<c6>|メモ"_s));
}

void TestWindowLife::startUpThatFailsTwiceWritesNothing()
{
    // A folder where the startup template should be: it can be neither read nor replaced.
    QVERIFY(QFile::remove(m_dir->filePath(u"default.lvt"_s)));
    QVERIFY(QDir(m_dir->path()).mkdir(u"default.lvt"_s));
    makeForm();
    QVERIFY(!m_form->Form_Load());
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown[0].title, u"起動時にエラーが発生しました"_s);
    QCOMPARE(m_dialogs.shown[1].text, u"出荷時設定での起動も失敗しました"_s);
    QCOMPARE(m_dialogs.shown[1].title, u"再インストールしてください"_s);
    m_form->close();
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));
}

void TestWindowLife::closingWhileAnAbortIsPendingStoresBothFiles()
{
    makeForm();
    QVERIFY(m_form->Form_Load());
    WorkTable& t = m_form->table();
    t.files.appendRows({{QString(), u"1"_s, u"a"_s}});
    t.batch.appendRow({u"<App1>"_s, u"tool"_s, u"tool"_s, u"/bin/tool"_s});
    m_form->engine().Command10_Click();
    m_form->engine().Command11_Click();
    QVERIFY(m_form->engine().abortPending());
    m_form->close();
    QVERIFY(readText(u"log.ini"_s).contains(u"送信作業を中断しました／"_s));
    QVERIFY(QFile::exists(m_dir->filePath(u"default.lvt"_s)));
}

void TestWindowLife::completion_data()
{
    QTest::addColumn<int>("check2");
    QTest::addColumn<int>("option2");
    QTest::addColumn<bool>("ranOut");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("countdowns");
    QTest::addColumn<int>("powerOffs");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("logTop");

    QTest::addRow("message only") << 0 << 0 << false << u"処理が全て終了しました"_s << 0 << 0 << false
                                  << allSent();
    QTest::addRow("end only") << 1 << 1 << false << QString() << 0 << 0 << true
                              << stars() +
                                     u"03/04/15 09:05:07\t「Lomvato」は終了処理を開始しました／\r\n\r\n"_s +
                                     allSent();
    QTest::addRow("countdown cancelled") << 1 << 0 << false << QString() << 1 << 0 << false << allSent();
    QTest::addRow("countdown ran out")
        << 1 << 0 << true << QString() << 1 << 1 << true
        << stars() + u"03/04/15 09:05:07\t「Lomvato」はマシーンの終了を実行しました／\r\n\r\n"_s + allSent();
}

void TestWindowLife::completion()
{
    QFETCH(int, check2);
    QFETCH(int, option2);
    QFETCH(bool, ranOut);
    makeForm();
    QVERIFY(m_form->Form_Load());
    m_form->table().settings.check2 = check2;
    m_form->table().settings.option2.select(option2);
    QString logAtPowerOff;
    m_power.onPowerOff = [&] { logAtPowerOff = readText(u"log.ini"_s); };
    m_form->runCountdown = [&](CompletionCountdown& countdown) {
        ++m_countdowns;
        if (!ranOut) {
            countdown.cancel();
            return false;
        }
        countdown.start();
        while (countdown.result() == CompletionCountdown::Result::Pending)
            countdown.tick();
        return true;
    };
    runOneJob();

    QFETCH(QString, message);
    QCOMPARE(m_dialogs.shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(m_dialogs.shown[0].text, message);
    QTEST(m_countdowns, "countdowns");
    QTEST(m_power.powerOffs, "powerOffs");
    QFETCH(bool, closed);
    QCOMPARE(m_form->isVisible(), !closed);
    QFETCH(QString, logTop);
    QVERIFY2(m_form->table().log.text().startsWith(logTop), qPrintable(m_form->table().log.text().left(300)));
    if (closed)
        QVERIFY(readText(u"log.ini"_s).startsWith(logTop));
    if (m_power.powerOffs > 0) {
        // Both files were stored before the request; the shutdown entry came after that store.
        QVERIFY(logAtPowerOff.startsWith(allSent()));
    }
}

void TestWindowLife::abortedRunHasNoCompletionAction()
{
    makeForm();
    QVERIFY(m_form->Form_Load());
    m_form->runCountdown = [&](CompletionCountdown&) {
        ++m_countdowns;
        return false;
    };
    WorkTable& t = m_form->table();
    t.files.appendRows({{QString(), u"1"_s, u"a"_s}});
    t.batch.appendRow({u"<App1>"_s, u"tool"_s, u"tool"_s, u"/bin/tool"_s});
    m_form->engine().Command10_Click();
    m_form->engine().Command11_Click();
    m_form->engine().Timer1_Timer();
    QCoreApplication::processEvents();
    QCOMPARE(m_countdowns, 0);
    QVERIFY(m_dialogs.shown.isEmpty());
    QVERIFY(!m_form->engine().isRunning());
}

QTEST_MAIN(TestWindowLife)
#include "tst_windowlife.moc"
