#include "Fakes.h"
#include "core/WorkTable.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/RunEngine.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>
#include <sys/wait.h>

using namespace Qt::StringLiterals;

namespace
{
const QString stamp = u"03/04/15 09:05:07\t"_s;
const QString separator = QString(60, u'*') + u"\r\n\r\n"_s;
const QString allSent = separator + stamp + u"全ての送信を終了しました／\r\n\r\n"_s + separator;

// A work table with the given files and entries X, Y ... that all run application 1 ("/bin/tool"); the file
// "fail" cannot be started. An entry holding a key is a whole parameter, for a real launcher.
struct Rig {
    WorkTable table;
    FakeLauncher launcher;
    FakeFileSystem fs;
    FakeClock clock;
    FakeDialogs dialogs;
    RunEngine engine;
    QSignalSpy allDone{&engine, &RunEngine::allDone};

    Rig(const QStringList& files, const QStringList& entries, ProcessLauncher* real = nullptr)
        : engine(table, real ? *real : launcher, fs, clock, dialogs)
    {
        table.apps.appendRow({u"<App1>"_s, u"tool"_s, u"/bin/tool"_s});
        fs.files.insert(u"/bin/tool"_s);
        launcher.failing.insert(u"/bin/tool X fail"_s);
        setFiles(files);
        for (const QString& e : entries)
            table.batch.appendRow({u"<App1>"_s, u"tool-"_s + e,
                                   e.contains(u'<') ? e : u"<App1> "_s + e + u" <c2>"_s, u"/bin/tool"_s});
        engine.setCanStart(true);
    }
    void setFiles(const QStringList& files)
    {
        table.files.clear();
        for (const QString& name : files)
            table.files.appendRows({{u""_s, u""_s, name}});
    }
    // S start, A abort, P poll, O the wait after a start ends, E the current process ends, F finish (OEP),
    // R a registration enables the run button, U the next process ends before it can be opened, M the program
    // goes missing, C the file list is cleared, X file rows 2 and 3 are cut, a digit d: process 10d ends.
    void play(QStringView steps)
    {
        const std::map<QChar, std::function<void()>> actions{
            {u'S', [this] { engine.start(); }},
            {u'A', [this] { engine.requestAbort(); }},
            {u'P', [this] { engine.poll(); }},
            {u'O', [this] { engine.openProcess(); }},
            {u'E', [this] { launcher.ended.insert(engine.processId()); }},
            {u'F', [this] { play(u"OEP"); }},
            {u'R', [this] { engine.setCanStart(true); }},
            {u'U', [this] { launcher.unopenable.insert(launcher.nextPid); }},
            {u'M', [this] { fs.files.clear(); }},
            {u'C', [this] { table.files.clear(); }},
            {u'X', [this] {
                 table.files.removeRowsAt({1, 2});
             }}};
        for (const QChar step : steps)
            if (step.isDigit())
                launcher.ended.insert(100 + step.digitValue());
            else
                actions.at(step)();
    }
    // The started jobs' entries and files.
    QString jobs() const { return launcher.started.join(u", "_s).remove(u"/bin/tool "_s); }
};
} // namespace

class TestRunEngine : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void oneJobLogsExactly();
    void fastPace_data();
    void fastPace();
    void runAgainRunsWhatFailed_data();
    void runAgainRunsWhatFailed();
    void outcomesAndOutputOfRealJobs();
    void jobsLeftBehindRunOn();
    void failedStartsKeepTheLoopTurning();

private:
    QTemporaryDir m_dir;
    RealFileSystem m_fs;
    LinuxProcessLauncher m_launcher{m_fs};
};

void TestRunEngine::run_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expectedJobs");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("logStart"); // the whole log when nothing was started
    const auto row = [](const char* name, const QStringList& files, int entries, const QString& steps,
                        const QString& jobs, bool running, const QString& log) {
        QTest::addRow("%s", name) << files << entries << steps << jobs << running << log;
    };
    const QStringList ab{u"A"_s, u"B"_s}, abc{u"A"_s, u"B"_s, u"C"_s};
    row("entry by entry", ab, 2, u"SFFFF"_s, u"X A, X B, Y A, Y B"_s, false, allSent);
    // A job goes on while its process runs, and before the process has been opened even if it has ended.
    row("tick during the wait", ab, 1, u"SEP"_s, u"X A"_s, true, QString());
    row("start failed", {u"fail"_s, u"B"_s}, 1, u"SPF"_s, u"X fail, X B"_s, false, allSent);
    row("start failed, logged", {u"fail"_s}, 1, u"S"_s, u"X fail"_s, true,
        stamp +
            u"[tool-X]に[fail]を送信失敗（原因不明です）\r\n\r\n\t\t送信内容は/bin/tool X fail\r\n\r\n"_s);
    row("ended before opening", ab, 1, u"USOPF"_s, u"X A, X B"_s, false, allSent);
    const QString aborted = separator + stamp + u"送信作業を中断しました／\r\n\r\n"_s + separator + u"\t\t"_s;
    row("abort during the wait", ab, 1, u"SAOP"_s, u"X A"_s, false, aborted);
    row("file rows cut below the cursor", abc, 2, u"SFFXFF"_s, u"X A, X B, X C, Y A"_s, false, allSent);
    row("file list cleared", abc, 2, u"SCF"_s, u"X A"_s, false, allSent);
    // The pending program is left alone and the run starts over from the first job.
    row("run button enabled during a run", ab, 1, u"SFRSFF"_s, u"X A, X B, X A, X B"_s, false, allSent);
    row("no files", {}, 1, u"SF"_s, QString(), false, QString());
    row("program missing", ab, 1, u"MSF"_s, QString(), false, QString());
}

void TestRunEngine::run()
{
    QFETCH(QStringList, files);
    QFETCH(int, entries);
    QFETCH(QString, steps);
    QFETCH(QString, expectedJobs);
    QFETCH(bool, running);
    QFETCH(QString, logStart);
    Rig rig(files, QStringList{u"X"_s, u"Y"_s}.mid(0, entries));
    rig.play(steps);
    QCOMPARE(rig.jobs(), expectedJobs);
    const RunEngine& e = rig.engine; // each of these says whether the run goes on
    QCOMPARE((QList<bool>{e.isRunning(), !e.canStart(), e.pollTimerActive(), !e.progressText().isEmpty()}),
             QList<bool>(4, running));
    QCOMPARE(rig.allDone.count(), logStart == allSent ? 1 : 0);
    QVERIFY(running || (!rig.engine.abortPending() && rig.launcher.openHandles == 0));
    QVERIFY2(expectedJobs.isEmpty() ? rig.table.log.isEmpty() : rig.table.log.text().startsWith(logStart),
             qPrintable(rig.table.log.text()));
    QCOMPARE(rig.dialogs.shown.size(), steps.startsWith(u'M') ? 1 : 0);
}

void TestRunEngine::oneJobLogsExactly()
{
    Rig rig({u"photo"_s}, {u"X"_s});
    QSignalSpy noteChanged(&rig.engine, &RunEngine::noteChanged);
    QSignalSpy progress(&rig.engine, &RunEngine::progressChanged);
    rig.table.log.setText(u"older\r\n"_s);
    rig.play(u"S");
    rig.engine.setNote(u"ok"_s);
    rig.play(u"F");
    QCOMPARE(rig.table.log.text(), allSent + stamp + u"[tool-X]に[photo]を送信終了／\r\n\r\n"_s + stamp +
                                       u"[photo]はok／\r\n\t\t送信内容は/bin/tool X photo\r\n\r\n"_s + stamp +
                                       u"[tool-X]に[photo]を送信開始／\r\n\r\nolder\r\n"_s);
    QCOMPARE(noteChanged, QList<QVariantList>{{QString()}}); // the box emptied
    QCOMPARE(rig.launcher.knownPrograms, QList<QStringList>{{u"/bin/tool"_s}});
    QCOMPARE(progress, (QList<QVariantList>{{u"実行中 1/1"_s}, {QString()}}));
}

void TestRunEngine::fastPace_data()
{
    QTest::addColumn<int>("parallel");
    QTest::addColumn<QString>("steps"); // each followed by a poll
    QTest::addColumn<QString>("expectedJobs");
    QTest::addColumn<QString>("summary");
    const QString abc = u"X A, X B, X C"_s, ab = u"X A, X B"_s, allDone = u"完了 3 件 / 失敗 0 件"_s;
    // The second job ending first frees its place for the third; the run ends only with the last job.
    QTest::newRow("two at once") << 2 << u"102"_s << abc << allDone;
    QTest::newRow("more places than jobs") << 8 << u"210"_s << abc << allDone;
    QTest::newRow("abort with jobs running") << 2 << u"A"_s << ab << u"完了 0 件 / 失敗 0 件 / 放置 2 件"_s;
    QTest::newRow("files cleared") << 2 << u"C01"_s << ab << u"完了 2 件 / 失敗 0 件"_s;
    // The rows of a running job go; its end entry still names its own file.
    QTest::newRow("running rows removed") << 2 << u"X01"_s << ab << u"完了 2 件 / 失敗 0 件"_s;
    // Started over while two jobs run: those two are left to themselves and never end the new run.
    QTest::newRow("started over") << 2 << u"S01234"_s << u"X A, X B, X A, X B, X C"_s << allDone;
}

void TestRunEngine::fastPace()
{
    QFETCH(int, parallel);
    QFETCH(QString, steps);
    QFETCH(QString, expectedJobs);
    QFETCH(QString, summary);
    Rig rig({u"A"_s, u"B"_s, u"C"_s}, {u"X"_s});
    rig.engine.setPace(true, parallel);
    rig.play(u"S");
    QCOMPARE(rig.launcher.started.size(), std::min(parallel, 3));
    for (const QChar step : steps) {
        QCOMPARE(rig.allDone.count(), 0);
        rig.play({&step, 1});
        rig.engine.poll();
        QVERIFY(rig.engine.runningJobs() <= parallel);
    }
    const bool aborted = steps == u"A";
    QCOMPARE(rig.jobs(), expectedJobs);
    QCOMPARE(rig.allDone.count(), aborted ? 0 : 1);
    QVERIFY(!rig.engine.isRunning());
    const RunResults& results = rig.engine.results();
    QCOMPARE(results.summary(), summary);
    QCOMPARE(rig.launcher.openHandles, 0);
    // Every started job is logged as it starts and, unless abandoned, as it ends, by its own file.
    const QString log = rig.table.log.text();
    QCOMPARE(log.count(u"を送信開始／"_s), rig.launcher.started.size());
    QCOMPARE(log.count(u"を送信終了／"_s), aborted ? 0 : results.count());
    for (int i = 0; i < (aborted ? 0 : results.count()); ++i)
        QVERIFY(log.contains(u"[tool-X]に[%1]を送信終了／"_s.arg(results.job(i).file)));
    QCOMPARE(log.startsWith(allSent), !aborted);
}

void TestRunEngine::runAgainRunsWhatFailed_data()
{
    QTest::addColumn<bool>("fast");
    QTest::addColumn<QStringList>("filesNow"); // the file list before the re-run
    QTest::addColumn<bool>("failsAgain");
    QTest::newRow("new drop, fast") << true << QStringList{u"new_1"_s} << false;
    QTest::newRow("sorted, unhurried") << false << QStringList{u"C"_s, u"fail"_s, u"A"_s} << false;
    QTest::newRow("unchanged, fails again") << true << QStringList{u"A"_s, u"fail"_s, u"C"_s} << true;
}

void TestRunEngine::runAgainRunsWhatFailed()
{
    QFETCH(bool, fast);
    QFETCH(QStringList, filesNow);
    QFETCH(bool, failsAgain);
    Rig rig({u"A"_s, u"fail"_s, u"C"_s}, {u"X"_s});
    rig.engine.setPace(fast, 1);
    QSignalSpy progress(&rig.engine, &RunEngine::progressChanged);
    rig.play(u"SFFFF");
    rig.setFiles(filesNow);
    if (!failsAgain)
        rig.launcher.failing.clear();
    rig.engine.runAgain(rig.engine.results().failedJobs());
    rig.play(u"FF");
    // The re-run ran exactly what had failed, whatever the list shows now, as a run with its completion.
    QCOMPARE(rig.jobs(), u"X A, X fail, X C, X fail"_s);
    const RunResults& results = rig.engine.results();
    QCOMPARE(std::tuple(results.job(0).file, results.summary()),
             std::tuple(u"fail"_s, failsAgain ? u"完了 0 件 / 失敗 1 件"_s : u"完了 1 件 / 失敗 0 件"_s));
    QCOMPARE(rig.allDone.count(), 2);
    QVERIFY(
        progress.contains(QVariantList{fast ? u"終了 0 件 / 実行中 1 件 / 残り 0 件"_s : u"実行中 1/1"_s}));
}

void TestRunEngine::outcomesAndOutputOfRealJobs()
{
    // Three jobs at once, each ending as its name says and writing it to standard error ("err-3").
    Rig rig({u"0"_s, u"3"_s, u"s15"_s}, {QString::fromUtf8(LOMVATO_EXIT_CLIENT) + u" <c2>"_s}, &m_launcher);
    rig.engine.setPace(true, 3);
    rig.engine.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.allDone.count(), 1, 20000);
    const RunResults& results = rig.engine.results();
    QStringList outcomes; // entry, row and outcome
    for (int i = 0; i < results.count(); ++i)
        outcomes << u"%1 %2 "_s.arg(results.job(i).entry).arg(results.job(i).row) +
                        RunResults::outcomeText(results.job(i));
    QCOMPARE(outcomes, (QStringList{u"0 0 正常終了"_s, u"0 1 エラー終了 (コード 3)"_s,
                                    u"0 2 シグナル 15 (SIGTERM) で終了"_s}));
    QVERIFY(results.details(1).contains(u"err-3"_s));
}

void TestRunEngine::jobsLeftBehindRunOn()
{
    // Aborted, and then the engine gone, the job writes to both streams: a closed pipe would end it by
    // SIGPIPE before it leaves its marker. It waits for the file "go" until both have happened.
    const QString marker = m_dir.filePath(u"outlived"_s);
    {
        Rig rig({marker},
                {u"/bin/sh -c \"while [ ! -e <c2>.go ]; do sleep 0.01; done; "
                 u"echo out; echo >&2 err; touch <c2>\""_s},
                &m_launcher);
        rig.engine.setPace(true, 1);
        rig.engine.start();
        rig.engine.requestAbort();
        QTRY_VERIFY(!rig.engine.isRunning());
    }
    QVERIFY(QFile(marker + u".go"_s).open(QIODevice::WriteOnly));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
    const auto zombieChild = [] { // looked at without reaping it
        siginfo_t info{};
        return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
    };
    QTRY_VERIFY(!zombieChild());
}

void TestRunEngine::failedStartsKeepTheLoopTurning()
{
    // Every failed start goes back to the event loop: a timer keeps ticking, and an abort is answered.
    constexpr int jobs = 2000;
    Rig rig(QStringList(jobs, u"x"_s), {u"/nonexistent/program <c2>"_s}, &m_launcher);
    rig.engine.setPace(true, 1);
    QTimer ticker;
    QSignalSpy ticks(&ticker, &QTimer::timeout);
    ticker.start(0);
    rig.engine.start();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine.isRunning(), 60000);
    QCOMPARE(rig.engine.results().summary(), u"完了 0 件 / 失敗 2000 件"_s);
    QVERIFY2(ticks.count() >= jobs / 2, qPrintable(QString::number(ticks.count())));

    rig.engine.start();
    QTimer::singleShot(0, &rig.engine, &RunEngine::requestAbort);
    QTRY_VERIFY(!rig.engine.isRunning());
    QVERIFY(rig.engine.results().count() < 10);
}

QTEST_MAIN(TestRunEngine)
#include "tst_runengine.moc"
