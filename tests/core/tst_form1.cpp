#include "Fakes.h"
#include "core/Form1.h"
#include "run/CompletionCountdown.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
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

// The main window: its frame, start-up, the close path with its files, and the actions after the last job.
class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuBarInOrder();
    void menuEntries_data();
    void menuEntries();
    void startUpState();
    void check2GreysOutBothActionsWithoutChangingTheChoice();
    void filterModeEnablesTheExtensionList();
    void exitCancelledKeepsTheWindow();
    void closeWritesLogAndStartupTemplate();
    void failedLogWriteIsReportedAndTheTemplateStillStored();
    void startUpThatFailsTwiceWritesNothing();
    void closingWhileAnAbortIsPendingStoresBothFiles();
    void completion_data();
    void completion();
    void abortedRunHasNoCompletionAction();

private:
    template <typename T> T* child(const QString& name) { return m_form->findChild<T*>(name); }
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

void TestForm1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs = FakeDialogs();
    m_launcher = FakeLauncher();
    m_power = FakePower();
    m_countdowns = 0;
    QVERIFY(TemplateFile::writeFactoryTemplate(m_dir->filePath(u"default.lvt"_s)));
    // The window reads no file until Form_Load, so tests may still arrange the folder after this.
    m_form = std::make_unique<Form1>(
        Services{m_dialogs, m_files, m_launcher, m_clock, m_power, m_registry, m_dir->path(), m_dir->path()});
}

void TestForm1::cleanup()
{
    m_form.reset();
}

QString TestForm1::readText(const QString& name) const
{
    QString text;
    StoreError error;
    TextCodec::readFile(m_dir->filePath(name), &text, &error);
    return text;
}

// One file, one batch entry, one job that ends at the first tick.
void TestForm1::runOneJob()
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

void TestForm1::closeWritesLogAndStartupTemplate()
{
    QVERIFY(m_form->Form_Load());
    m_form->table().addColumn(u"メモ"_s);
    m_form->close();
    QVERIFY(readText(u"log.ini"_s)
                .startsWith(QString(60, u'*') + u"\r\n\r\n03/04/15 09:05:07\tLomvato起動開始\r\n"_s));
    QVERIFY(readText(u"log.ini"_s).endsWith(u"\r\n"_s));
    QVERIFY(readText(u"default.lvt"_s).contains(u"<c6>|メモ\r\n"_s));
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestForm1::failedLogWriteIsReportedAndTheTemplateStillStored()
{
    QVERIFY(QDir(m_dir->path()).mkdir(u"log.ini"_s));
    QVERIFY(m_form->Form_Load());
    m_form->table().addColumn(u"メモ"_s);
    m_form->close();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.contains(u"log.ini"_s));
    QVERIFY(m_dialogs.shown[0].text.endsWith(u"を保存できませんでした"_s));
    QCOMPARE(m_dialogs.shown[0].title, u"Lomvato"_s);
    QVERIFY(readText(u"default.lvt"_s).contains(u"<c6>|メモ"_s));
}

void TestForm1::startUpThatFailsTwiceWritesNothing()
{
    // A folder where the startup template should be: it can be neither read nor replaced.
    QVERIFY(QFile::remove(m_dir->filePath(u"default.lvt"_s)));
    QVERIFY(QDir(m_dir->path()).mkdir(u"default.lvt"_s));
    QVERIFY(!m_form->Form_Load());
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown[0].title, u"起動時にエラーが発生しました"_s);
    QCOMPARE(m_dialogs.shown[1].text, u"出荷時設定での起動も失敗しました"_s);
    QCOMPARE(m_dialogs.shown[1].title, u"再インストールしてください"_s);
    m_form->close();
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));
}

void TestForm1::closingWhileAnAbortIsPendingStoresBothFiles()
{
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

void TestForm1::completion_data()
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

void TestForm1::completion()
{
    QFETCH(int, check2);
    QFETCH(int, option2);
    QFETCH(bool, ranOut);
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

void TestForm1::abortedRunHasNoCompletionAction()
{
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

void TestForm1::menuBarInOrder()
{
    QStringList names;
    QStringList visible;
    for (QAction* a : m_form->menuBar()->actions()) {
        names << a->menu()->objectName();
        if (a->isVisible())
            visible << a->text();
    }
    QCOMPARE(names, (QStringList{u"Pulldown_file"_s, u"Pulldown_appli"_s, u"Pulldown_BatchList"_s,
                                 u"Pulldown_ColumnTool"_s, u"Pulldown_list"_s, u"Pulldown_kakuchosi"_s,
                                 u"Pulldown_help"_s}));
    QCOMPARE(visible, (QStringList{u"ファイル(&F)"_s, u"外部アプリケーション(&S)"_s,
                                   u"ファイルリスト（&L）"_s, u"フィルタ(&E)"_s, u"ヘルプ(&H)"_s}));
}

void TestForm1::menuEntries_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::addRow("table") << u"Pulldown_file_table"_s
                           << QStringList{u"保存（&S）|Ctrl+S"_s, u"開く(&O)|Ctrl+O"_s};
    QTest::addRow("file") << u"Pulldown_file"_s
                          << QStringList{u"テーブル(&T)|"_s, u"-"_s, u"終了（&Q）|Ctrl+Q"_s};
    QTest::addRow("appli") << u"Pulldown_appli"_s
                           << QStringList{u"追加(&N)|"_s, u"削除(&X)|"_s, u"-"_s, u"変更(&R)|"_s};
    QTest::addRow("batch") << u"Pulldown_BatchList"_s
                           << QStringList{u"選択項目を削除|"_s, u"全削除|"_s, u"-"_s, u"選択項目の再編集|"_s};
    QTest::addRow("columns") << u"Pulldown_ColumnTool"_s << QStringList{u"カラム追加|"_s, u"カラム削除|"_s};
    QTest::addRow("list") << u"Pulldown_list"_s
                          << QStringList{u"選択部分削除(&D)|"_s, u"すべて削除(&X)|"_s, u"-"_s,
                                         u"カラム内に挿入する文字列操作|"_s};
    QTest::addRow("filter") << u"Pulldown_kakuchosi"_s << QStringList{u"追加(&N)|"_s, u"削除(&X)|"_s};
    QTest::addRow("help") << u"Pulldown_help"_s << QStringList{u"バージョン情報(&V)|"_s, u"ヘルプ(&H)|"_s};
}

void TestForm1::menuEntries()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    auto* m = child<QMenu>(menu);
    QVERIFY(m);
    QStringList shown;
    for (QAction* a : m->actions()) {
        if (!a->isVisible())
            continue;
        shown << (a->isSeparator() ? u"-"_s : a->text() + u'|' + a->shortcut().toString());
    }
    QCOMPARE(shown, entries);
}

void TestForm1::startUpState()
{
    QVERIFY(m_form->Form_Load());
    QCOMPARE(child<QTabWidget>(u"SSTab1"_s)->currentIndex(), 0);
    QCOMPARE(child<QTabWidget>(u"SSTab2"_s)->tabText(0), QString());
    QVERIFY(!child<QPlainTextEdit>(u"Text1"_s)->isEnabled());
    QVERIFY(!child<QListView>(u"List1"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(u"Command10"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(u"Command11"_s)->isEnabled());
    QCOMPARE(child<QPushButton>(u"Command10"_s)->text(), u"実　　行"_s);
    QCOMPARE(child<QPushButton>(u"Command11"_s)->text(), u"中　　断"_s);
    const QString log = m_form->table().log.text();
    QVERIFY(log.startsWith(QString(60, u'*') + u"\r\n\r\n03/04/15 09:05:07\tLomvato起動開始\r\n"_s));
    QVERIFY(child<QPlainTextEdit>(u"Text2"_s)->toPlainText().contains(u"Lomvato起動開始"_s));
    QCOMPARE(child<QLabel>(u"Label6"_s)->text(), u"32"_s);
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestForm1::check2GreysOutBothActionsWithoutChangingTheChoice()
{
    auto* check2 = child<QCheckBox>(u"Check2"_s);
    auto* option0 = child<QRadioButton>(u"Option2_0"_s);
    auto* option1 = child<QRadioButton>(u"Option2_1"_s);
    option1->click();
    check2->click();
    QVERIFY(!option0->isEnabled());
    QVERIFY(!option1->isEnabled());
    QVERIFY(option1->isChecked());
    QCOMPARE(m_form->table().settings.option2.selected(), 1);
    check2->click();
    QVERIFY(option0->isEnabled());
    QVERIFY(option1->isEnabled());
    QVERIFY(option1->isChecked());
}

void TestForm1::filterModeEnablesTheExtensionList()
{
    auto* list = child<QListView>(u"List1"_s);
    child<QRadioButton>(u"Option1_1"_s)->click();
    QVERIFY(list->isEnabled());
    QVERIFY(m_form->table().filter.isOn());
    child<QRadioButton>(u"Option1_0"_s)->click();
    QVERIFY(!list->isEnabled());
    QVERIFY(!m_form->table().filter.isOn());
}

void TestForm1::exitCancelledKeepsTheWindow()
{
    QVERIFY(m_form->Form_Load());
    m_dialogs.answers.push_back(Dialogs::Answer::Cancel);
    m_form->Pulldown_exit_Click();
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].text, u"アプリケーションを終了します。よろしいですか？"_s);
    QCOMPARE(m_dialogs.shown[0].title, u"終了確認"_s);
    QVERIFY(m_form->isVisible());
    QVERIFY(!QFile::exists(m_dir->filePath(u"log.ini"_s)));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
