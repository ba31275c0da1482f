#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/RunEngine.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
// A work table with files A, B, C ... and entries X, Y ... that all run application 1 ("/bin/tool").
struct Rig {
    WorkTable table;
    FakeLauncher launcher;
    FakeFileSystem fs;
    FakeClock clock;
    FakeDialogs dialogs;
    RunEngine engine{table, launcher, fs, clock, dialogs};
    QSignalSpy allDone{&engine, &RunEngine::allDone};

    Rig(const QStringList& files, const QStringList& entries)
    {
        table.apps.appendRow({u"<App1>"_s, u"tool"_s, u"/bin/tool"_s});
        fs.files.insert(u"/bin/tool"_s);
        addFiles(files);
        for (const QString& e : entries)
            table.batch.appendRow(
                {u"<App1>"_s, u"tool-"_s + e, u"<App1> "_s + e + u" <c2>"_s, u"/bin/tool"_s});
        engine.setCommand10Enabled(true);
    }
    void addFiles(const QStringList& names)
    {
        std::vector<FileList::Row> rows;
        for (const QString& f : names)
            rows.push_back({u""_s, u""_s, f});
        table.files.appendRows(rows);
    }
    // Ends the current job's process and lets the engine see it; the next job (if any) is started by then.
    void finishJob()
    {
        engine.openProcess();
        launcher.ended.insert(engine.processId());
        engine.Timer1_Timer();
    }
    QStringList jobs() const
    {
        QStringList result;
        for (const QString& line : launcher.started)
            result << line.section(u' ', 1);
        return result;
    }
};

QString stamp()
{
    return u"03/04/15 09:05:07\t"_s;
}

QString separator()
{
    return QString(60, u'*') + u"\r\n\r\n"_s;
}
} // namespace

class TestRunEngine : public QObject
{
    Q_OBJECT
private slots:
    void jobsRunEntryByEntry();
    void oneJobLogsExactly();
    void failedStartLogsAndGoesOn();
    void processEndedBeforeOpening();
    void tickDuringTheWaitDoesNotEndTheJob();
    void abortAbandonsTheJob_data();
    void abortAbandonsTheJob();
    void noteIsLoggedAndEmptied();
    void listsChangingDuringARun_data();
    void listsChangingDuringARun();
    void emptyListsDoNothing_data();
    void emptyListsDoNothing();
    void keyProblemsStopTheRun();
    void showModeFollowsLaunchMinimised();
    void runButtonEnabledDuringARunStartsOver();
};

void TestRunEngine::jobsRunEntryByEntry()
{
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s, u"Y"_s});
    QSignalSpy buttons(&rig.engine, &RunEngine::buttonsChanged);
    QSignalSpy logTab(&rig.engine, &RunEngine::showLogTab);
    QSignalSpy progress(&rig.engine, &RunEngine::progressChanged);
    rig.engine.Command10_Click();
    QCOMPARE(logTab.count(), 1);
    QVERIFY(!rig.engine.command10Enabled());
    QVERIFY(rig.engine.command11Enabled());
    QVERIFY(rig.engine.pollTimerActive());
    for (int i = 0; i < 4; ++i)
        rig.finishJob();
    QCOMPARE(rig.jobs(), (QStringList{u"X A"_s, u"X B"_s, u"Y A"_s, u"Y B"_s}));
    QCOMPARE(rig.allDone.count(), 1);
    QVERIFY(rig.engine.command10Enabled());
    QVERIFY(!rig.engine.command11Enabled());
    QVERIFY(!rig.engine.pollTimerActive());
    QCOMPARE(rig.launcher.openHandles, 0);
    QCOMPARE(buttons.count(), 2);
    QStringList shown;
    for (const auto& args : progress)
        shown << args.at(0).toString();
    QCOMPARE(shown,
             (QStringList{u"実行中 1/4"_s, u"実行中 2/4"_s, u"実行中 3/4"_s, u"実行中 4/4"_s, QString()}));
}

void TestRunEngine::oneJobLogsExactly()
{
    Rig rig({u"photo"_s}, {u"X"_s});
    rig.table.log.setText(u"older\r\n"_s);
    rig.engine.Command10_Click();
    rig.finishJob();
    const QString expected = separator() + stamp() + u"全ての送信を終了しました／\r\n\r\n"_s + separator() +
                             stamp() + u"[tool-X]に[photo]を送信終了／\r\n\r\n"_s +
                             u"\t\t送信内容は/bin/tool X photo\r\n\r\n"_s + stamp() +
                             u"[tool-X]に[photo]を送信開始／\r\n\r\n"_s + u"older\r\n"_s;
    QCOMPARE(rig.table.log.text(), expected);
    QCOMPARE(rig.allDone.count(), 1);
    // Exit codes are not recorded in the file list.
    QCOMPARE(rig.table.files.cell(0, 0), QString());
}

void TestRunEngine::failedStartLogsAndGoesOn()
{
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s});
    rig.launcher.failing.insert(u"/bin/tool X A"_s);
    rig.engine.Command10_Click();
    QCOMPARE(rig.engine.processId(), 0);
    QVERIFY(!rig.engine.waiting());
    QVERIFY(rig.table.log.text().startsWith(stamp() + u"[tool-X]に[A]を送信失敗（原因不明です）\r\n\r\n"_s +
                                            u"\t\t送信内容は"_s));
    QVERIFY(rig.engine.pollTimerActive());
    rig.engine.Timer1_Timer();
    QCOMPARE(rig.jobs(), (QStringList{u"X A"_s, u"X B"_s}));
    QVERIFY(rig.table.log.text().contains(u"[tool-X]に[A]を送信終了／"_s));
    rig.finishJob();
    QCOMPARE(rig.allDone.count(), 1);
}

void TestRunEngine::processEndedBeforeOpening()
{
    Rig rig({u"A"_s}, {u"X"_s});
    rig.launcher.unopenable.insert(rig.launcher.nextPid);
    rig.engine.Command10_Click();
    rig.engine.openProcess();
    QVERIFY(!rig.engine.processOpen());
    rig.engine.Timer1_Timer();
    QCOMPARE(rig.allDone.count(), 1);
}

void TestRunEngine::tickDuringTheWaitDoesNotEndTheJob()
{
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s});
    rig.engine.Command10_Click();
    rig.launcher.ended.insert(rig.engine.processId());
    QVERIFY(rig.engine.waiting());
    rig.engine.Timer1_Timer();
    QCOMPARE(rig.launcher.started.size(), 1);
    QVERIFY(!rig.table.log.text().contains(u"送信終了"_s));
    rig.engine.openProcess();
    QVERIFY(rig.engine.processOpen());
    rig.engine.Timer1_Timer();
    QCOMPARE(rig.launcher.started.size(), 2);
    // A running process keeps the job pending.
    rig.engine.openProcess();
    rig.engine.Timer1_Timer();
    QCOMPARE(rig.launcher.started.size(), 2);
    QVERIFY(rig.engine.isRunning());
}

void TestRunEngine::abortAbandonsTheJob_data()
{
    QTest::addColumn<bool>("afterOpening");
    QTest::addRow("while the process runs") << true;
    QTest::addRow("during the wait") << false;
}

void TestRunEngine::abortAbandonsTheJob()
{
    QFETCH(bool, afterOpening);
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s});
    rig.engine.Command10_Click();
    if (afterOpening)
        rig.engine.openProcess();
    rig.engine.Command11_Click();
    QVERIFY(rig.engine.abortPending());
    QVERIFY(rig.table.log.text().startsWith(separator() + stamp() + u"送信作業を中断しました／\r\n\r\n"_s +
                                            separator() + u"\t\t送信内容は"_s));
    // The wait ending after the abort does not open the process.
    rig.engine.openProcess();
    QCOMPARE(rig.engine.processOpen(), afterOpening);
    rig.engine.Timer1_Timer();
    QVERIFY(!rig.engine.isRunning());
    QVERIFY(!rig.engine.abortPending());
    QVERIFY(rig.engine.command10Enabled());
    QVERIFY(!rig.engine.command11Enabled());
    QVERIFY(!rig.engine.pollTimerActive());
    QCOMPARE(rig.launcher.openHandles, 0);
    QCOMPARE(rig.launcher.started.size(), 1);
    QCOMPARE(rig.allDone.count(), 0);
    QVERIFY(!rig.table.log.text().contains(u"全ての送信を終了しました"_s));
    QCOMPARE(rig.engine.progressText(), QString());
    QCOMPARE(rig.table.stopFlag, 0);
}

void TestRunEngine::noteIsLoggedAndEmptied()
{
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s});
    QSignalSpy noteChanged(&rig.engine, &RunEngine::noteChanged);
    rig.engine.Command10_Click();
    rig.engine.setNote(u"ok"_s);
    rig.finishJob();
    QCOMPARE(rig.engine.note(), QString());
    QCOMPARE(noteChanged.count(), 1);
    const QString end = stamp() + u"[tool-X]に[A]を送信終了／\r\n\r\n"_s;
    QVERIFY(rig.table.log.text().contains(end + stamp() + u"[A]はok／\r\n\t\t送信内容は"_s));
    rig.finishJob();
    QVERIFY(rig.table.log.text().startsWith(separator() + stamp() + u"全ての送信を終了しました／\r\n\r\n"_s +
                                            separator() + stamp() +
                                            u"[tool-X]に[B]を送信終了／\r\n\r\n\t\t"_s));
    QCOMPARE(noteChanged.count(), 1);
}

void TestRunEngine::listsChangingDuringARun_data()
{
    // Files A, B, C and entries X, Y; after the first job has started the lists are changed.
    QTest::addColumn<std::function<void(Rig&)>>("change");
    QTest::addColumn<int>("jobsToFinish");
    QTest::addColumn<QStringList>("expectedJobs");

    using Change = std::function<void(Rig&)>;
    QTest::addRow("file rows cut below the cursor") << Change([](Rig& r) {
        r.finishJob();
        r.finishJob(); // now at C
        r.table.files.removeRowsAt({1, 2});
    }) << 2 << QStringList{u"X A"_s, u"X B"_s, u"X C"_s, u"Y A"_s};
    QTest::addRow("file list cleared")
        << Change([](Rig& r) { r.table.files.clear(); }) << 1 << QStringList{u"X A"_s};
    QTest::addRow("batch list cleared")
        << Change([](Rig& r) { r.table.batch.clear(); }) << 1 << QStringList{u"X A"_s};
    QTest::addRow("entries cut below the cursor") << Change([](Rig& r) {
        r.finishJob();
        r.finishJob();
        r.finishJob(); // now at Y A
        r.table.batch.removeRow(1);
        r.table.batch.removeRow(0);
    }) << 1 << QStringList{u"X A"_s, u"X B"_s, u"X C"_s, u"Y A"_s};
    QTest::addRow("rows added") << Change([](Rig& r) {
        r.addFiles({u"D"_s});
    }) << 8 << QStringList{u"X A"_s, u"X B"_s, u"X C"_s, u"X D"_s, u"Y A"_s, u"Y B"_s, u"Y C"_s, u"Y D"_s};
    QTest::addRow("entry added") << Change([](Rig& r) {
        r.table.batch.appendRow({u"<App1>"_s, u"tool-Z"_s, u"<App1> Z <c2>"_s, u"/bin/tool"_s});
    }) << 9 << QStringList{u"X A"_s, u"X B"_s, u"X C"_s, u"Y A"_s, u"Y B"_s,
                           u"Y C"_s, u"Z A"_s, u"Z B"_s, u"Z C"_s};
}

void TestRunEngine::listsChangingDuringARun()
{
    QFETCH(std::function<void(Rig&)>, change);
    QFETCH(int, jobsToFinish);
    QFETCH(QStringList, expectedJobs);

    Rig rig({u"A"_s, u"B"_s, u"C"_s}, {u"X"_s, u"Y"_s});
    rig.engine.Command10_Click();
    change(rig);
    for (int i = 0; i < jobsToFinish; ++i)
        rig.finishJob();
    QCOMPARE(rig.jobs(), expectedJobs);
    QCOMPARE(rig.allDone.count(), 1);
    QVERIFY(!rig.engine.isRunning());
    QVERIFY(rig.table.log.text().startsWith(separator() + stamp() + u"全ての送信を終了しました／"_s));
}

void TestRunEngine::emptyListsDoNothing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("entries");
    QTest::addRow("no files") << QStringList() << QStringList{u"X"_s};
    QTest::addRow("no entries") << QStringList{u"A"_s} << QStringList();
}

void TestRunEngine::emptyListsDoNothing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, entries);
    Rig rig(files, entries);
    QSignalSpy buttons(&rig.engine, &RunEngine::buttonsChanged);
    rig.engine.Command10_Click();
    QVERIFY(rig.launcher.started.isEmpty());
    QVERIFY(rig.dialogs.shown.isEmpty());
    QVERIFY(rig.table.log.isEmpty());
    QCOMPARE(buttons.count(), 0);
    QVERIFY(!rig.engine.isRunning());
}

void TestRunEngine::keyProblemsStopTheRun()
{
    Rig rig({u"A"_s}, {u"X"_s});
    rig.fs.files.clear();
    rig.engine.Command10_Click();
    QCOMPARE(rig.dialogs.shown.size(), 1);
    QCOMPARE(rig.dialogs.shown[0].text,
             u"1第パラメータ内の<App1>のパスが見あたりません\r\n処理を中止します"_s);
    QCOMPARE(rig.dialogs.shown[0].title, u"Lomvato"_s);
    QCOMPARE(rig.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    QVERIFY(rig.launcher.started.isEmpty());
    QVERIFY(rig.table.log.isEmpty());
    QVERIFY(rig.engine.command10Enabled());
    QVERIFY(!rig.engine.isRunning());
}

void TestRunEngine::showModeFollowsLaunchMinimised()
{
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s});
    rig.engine.Command10_Click();
    rig.table.settings.check3 = 1;
    rig.finishJob();
    QCOMPARE(rig.launcher.showModes, (QList<int>{1, 2}));
}

void TestRunEngine::runButtonEnabledDuringARunStartsOver()
{
    // A registration during a run enables the run button; pressing it starts again from the first job and
    // leaves the pending program alone.
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s});
    rig.engine.Command10_Click();
    rig.finishJob();
    rig.engine.setCommand10Enabled(true);
    QVERIFY(rig.engine.command10Enabled());
    rig.engine.Command10_Click();
    QVERIFY(!rig.engine.command10Enabled());
    QCOMPARE(rig.engine.entryCursor(), 1);
    QCOMPARE(rig.engine.fileCursor(), 1);
    QCOMPARE(rig.launcher.openHandles, 0);
    rig.finishJob();
    rig.finishJob();
    QCOMPARE(rig.jobs(), (QStringList{u"X A"_s, u"X B"_s, u"X A"_s, u"X B"_s}));
    QCOMPARE(rig.allDone.count(), 1);
}

QTEST_GUILESS_MAIN(TestRunEngine)
#include "tst_runengine.moc"
