#include "Fakes.h"
#include "core/WorkTable.h"
#include "run/RunEngine.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace
{
const QString stamp = u"03/04/15 09:05:07\t"_s;
const QString separator = QString(60, u'*') + u"\r\n\r\n"_s;
const QString allSent = separator + stamp + u"全ての送信を終了しました／\r\n\r\n"_s + separator;

// A work table with the given files and entries X, Y ... that all run application 1 ("/bin/tool"). The file
// "fail" cannot be started.
struct Rig {
    WorkTable table;
    FakeLauncher launcher;
    FakeFileSystem fs;
    FakeClock clock;
    FakeDialogs dialogs;
    RunEngine engine{table, launcher, fs, clock, dialogs};
    QSignalSpy allDone{&engine, &RunEngine::allDone};
    QSignalSpy buttons{&engine, &RunEngine::buttonsChanged};

    Rig(const QStringList& files, const QStringList& entries)
    {
        table.apps.appendRow({u"<App1>"_s, u"tool"_s, u"/bin/tool"_s});
        fs.files.insert(u"/bin/tool"_s);
        launcher.failing.insert(u"/bin/tool X fail"_s);
        addFile(files);
        for (const QString& e : entries)
            table.batch.appendRow(
                {u"<App1>"_s, u"tool-"_s + e, u"<App1> "_s + e + u" <c2>"_s, u"/bin/tool"_s});
        engine.setCommand10Enabled(true);
        buttons.clear();
    }
    void addFile(const QStringList& names)
    {
        for (const QString& name : names)
            table.files.appendRows({{u""_s, u""_s, name}});
    }
    // Plays a script, one step a letter: r run button, a abort button, t tick, o the wait after a start
    // ends, e the current process ends, f = o e t, E a registration enables the run button, u the next
    // process ends before it can be opened, m the program is missing; during a run: c clear the file list,
    // b clear the batch list, x cut file rows 2 and 3, y cut both entries, d add file D.
    void play(const QString& script)
    {
        const std::map<char16_t, std::function<void()>> steps{
            {u'r', [this] { engine.Command10_Click(); }},
            {u'a', [this] { engine.Command11_Click(); }},
            {u't', [this] { engine.Timer1_Timer(); }},
            {u'o', [this] { engine.openProcess(); }},
            {u'e', [this] { launcher.ended.insert(engine.processId()); }},
            {u'f', [this] { play(u"oet"_s); }},
            {u'E', [this] { engine.setCommand10Enabled(true); }},
            {u'u', [this] { launcher.unopenable.insert(launcher.nextPid); }},
            {u'm', [this] { fs.files.clear(); }},
            {u'c', [this] { table.files.clear(); }},
            {u'b', [this] { table.batch.clear(); }},
            {u'x',
             [this] {
                 table.files.removeRowsAt(std::vector<int>{1, 2});
             }},
            {u'y', [this] { table.batch.removeRow(1), table.batch.removeRow(0); }},
            {u'd', [this] { addFile({u"D"_s}); }}};
        for (const QChar step : script)
            steps.at(step.unicode())();
    }
    QStringList jobs() const
    {
        QStringList result;
        for (const QString& line : launcher.started)
            result << line.section(u' ', 1);
        return result;
    }
};
} // namespace

class TestRunEngine : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void progressButtonsAndShowMode();
    void oneJobLogsExactly();
};

void TestRunEngine::run_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("expectedJobs");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("logStart"); // the whole log when nothing was started

    const QStringList ab{u"A"_s, u"B"_s}, abc{u"A"_s, u"B"_s, u"C"_s};
    QTest::addRow("entry by entry") << ab << 2 << u"rffff"_s
                                    << QStringList{u"X A"_s, u"X B"_s, u"Y A"_s, u"Y B"_s} << false
                                    << allSent;
    // A job goes on while its process runs, and before the process has been opened even if it has ended.
    const QString firstStarted =
        u"\t\t送信内容は/bin/tool X A\r\n\r\n"_s + stamp + u"[tool-X]に[A]を送信開始／"_s;
    QTest::addRow("tick during the wait")
        << ab << 1 << u"ret"_s << QStringList{u"X A"_s} << true << firstStarted;
    QTest::addRow("tick while running")
        << ab << 1 << u"rot"_s << QStringList{u"X A"_s} << true << firstStarted;
    QTest::addRow("start failed") << QStringList{u"fail"_s, u"B"_s} << 1 << u"rtf"_s
                                  << QStringList{u"X fail"_s, u"X B"_s} << false << allSent;
    QTest::addRow("start failed, logged")
        << QStringList{u"fail"_s} << 1 << u"r"_s << QStringList{u"X fail"_s} << true
        << stamp + u"[tool-X]に[fail]を送信失敗（原因不明です）\r\n\r\n"_s +
               u"\t\t送信内容は/bin/tool X fail\r\n\r\n"_s;
    QTest::addRow("ended before opening")
        << ab << 1 << u"urotf"_s << QStringList{u"X A"_s, u"X B"_s} << false << allSent;
    const QString aborted = separator + stamp + u"送信作業を中断しました／\r\n\r\n"_s + separator + u"\t\t"_s;
    QTest::addRow("abort while running") << ab << 1 << u"roat"_s << QStringList{u"X A"_s} << false << aborted;
    QTest::addRow("abort during the wait")
        << ab << 1 << u"raot"_s << QStringList{u"X A"_s} << false << aborted;
    QTest::addRow("file rows cut below the cursor")
        << abc << 2 << u"rffxff"_s << QStringList{u"X A"_s, u"X B"_s, u"X C"_s, u"Y A"_s} << false << allSent;
    QTest::addRow("file list cleared") << abc << 2 << u"rcf"_s << QStringList{u"X A"_s} << false << allSent;
    QTest::addRow("batch list cleared") << abc << 2 << u"rbf"_s << QStringList{u"X A"_s} << false << allSent;
    QTest::addRow("entries cut below the cursor")
        << abc << 2 << u"rfffyf"_s << QStringList{u"X A"_s, u"X B"_s, u"X C"_s, u"Y A"_s} << false << allSent;
    QTest::addRow("file added, counted afresh")
        << ab << 2 << u"rdffffff"_s << QStringList{u"X A"_s, u"X B"_s, u"X D"_s, u"Y A"_s, u"Y B"_s, u"Y D"_s}
        << false << allSent;
    // The pending program is left alone and the run starts over from the first job.
    QTest::addRow("run button enabled during a run")
        << ab << 1 << u"rfErff"_s << QStringList{u"X A"_s, u"X B"_s, u"X A"_s, u"X B"_s} << false << allSent;
    QTest::addRow("no files") << QStringList() << 1 << u"rf"_s << QStringList() << false << QString();
    QTest::addRow("no entries") << ab << 0 << u"rf"_s << QStringList() << false << QString();
    QTest::addRow("program missing") << ab << 1 << u"mrf"_s << QStringList() << false << QString();
}

void TestRunEngine::run()
{
    QFETCH(QStringList, files);
    QFETCH(int, entries);
    QFETCH(QString, script);
    QFETCH(QStringList, expectedJobs);
    QFETCH(bool, running);
    QFETCH(QString, logStart);
    Rig rig(files, QStringList{u"X"_s, u"Y"_s}.mid(0, entries));
    rig.play(script);
    QCOMPARE(rig.jobs(), expectedJobs);
    QCOMPARE(rig.engine.isRunning(), running);
    QCOMPARE(rig.engine.command10Enabled(), !running);
    QCOMPARE(rig.engine.command11Enabled(), running);
    QCOMPARE(rig.engine.pollTimerActive(), running);
    QCOMPARE(rig.engine.progressText().isEmpty(), !running);
    QCOMPARE(rig.allDone.count(), logStart == allSent ? 1 : 0);
    QVERIFY(running || (!rig.engine.abortPending() && rig.launcher.openHandles == 0));
    QVERIFY2(expectedJobs.isEmpty() ? rig.table.log.isEmpty() : rig.table.log.text().startsWith(logStart),
             qPrintable(rig.table.log.text()));
    // Only the run refused for a missing program shows a box.
    const QString box = u"1第パラメータ内の<App1>のパスが見あたりません\r\n処理を中止します"_s;
    QCOMPARE(rig.dialogs.shown.size(), script.startsWith(u'm') ? 1 : 0);
    for (const FakeDialogs::Shown& shown : rig.dialogs.shown)
        QVERIFY(shown.text == box && shown.title == u"Lomvato"_s && shown.buttons == Dialogs::Buttons::Ok);
}

void TestRunEngine::progressButtonsAndShowMode()
{
    Rig rig({u"A"_s, u"B"_s}, {u"X"_s, u"Y"_s});
    QSignalSpy logTab(&rig.engine, &RunEngine::showLogTab);
    QSignalSpy progress(&rig.engine, &RunEngine::progressChanged);
    rig.play(u"rf"_s);
    rig.table.settings.check3 = 1; // launch minimised from the third job on
    rig.play(u"fff"_s);
    QCOMPARE(rig.launcher.showModes, (QList<int>{1, 1, 2, 2}));
    QCOMPARE(logTab.count(), 1);
    QCOMPARE(rig.buttons.count(), 2);
    QStringList shown;
    for (const auto& args : progress)
        shown << args.at(0).toString();
    QCOMPARE(shown,
             (QStringList{u"実行中 1/4"_s, u"実行中 2/4"_s, u"実行中 3/4"_s, u"実行中 4/4"_s, QString()}));
}

void TestRunEngine::oneJobLogsExactly()
{
    Rig rig({u"photo"_s}, {u"X"_s});
    QSignalSpy noteChanged(&rig.engine, &RunEngine::noteChanged);
    rig.table.log.setText(u"older\r\n"_s);
    rig.play(u"r"_s);
    rig.engine.setNote(u"ok"_s);
    rig.play(u"f"_s);
    QCOMPARE(rig.table.log.text(), allSent + stamp + u"[tool-X]に[photo]を送信終了／\r\n\r\n"_s + stamp +
                                       u"[photo]はok／\r\n\t\t送信内容は/bin/tool X photo\r\n\r\n"_s + stamp +
                                       u"[tool-X]に[photo]を送信開始／\r\n\r\nolder\r\n"_s);
    QCOMPARE(rig.engine.note(), QString());
    QCOMPARE(noteChanged.count(), 1);
    // Exit codes are not recorded in the file list.
    QCOMPARE(rig.table.files.cell(0, 0), QString());
}

QTEST_GUILESS_MAIN(TestRunEngine)
#include "tst_runengine.moc"
