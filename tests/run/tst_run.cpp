#include "Fakes.h"
#include "core/WorkTable.h"
#include "platform/CommandLine.h"
#include "platform/LinuxProcessLauncher.h"
#include "platform/NativeName.h"
#include "run/CompletionAction.h"
#include "run/CompletionCountdown.h"
#include "run/Expansion.h"
#include "run/RunEngine.h"
#include "run/RunSettings.h"

#include <QTimer>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Outcome = CompletionAction::Outcome;

namespace
{
void fillApps(AppRegistry& apps, const QStringList& paths)
{
    for (int i = 0; i < paths.size(); ++i)
        apps.appendRow({AppRegistry::keyFor(i + 1), u"app"_s, paths[i]});
}

QString randomText(QRandomGenerator& random, const QStringList& pieces, int maxPieces)
{
    QString text;
    for (int i = random.bounded(maxPieces + 1); i > 0; --i)
        text += pieces[random.bounded(pieces.size())];
    return text;
}

// Looked at without reaping it.
bool zombieChild()
{
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

const QString stamp = u"03/04/15 09:05:07\t"_s;
const QString separator = QString(60, u'*') + u"\r\n\r\n"_s;
const QString allSent = separator + stamp + u"全ての送信を終了しました／\r\n\r\n"_s + separator;

enum class Step {
    Start,
    Abort,
    Poll,
    Open,           // the wait after a start ends
    End,            // the current process ends
    Finish,         // Open, End, Poll
    EnableStart,    // a registration enables the run button
    EndsUnopened,   // the next process ends before it can be opened
    ProgramMissing, // the program file is missing
    ClearFiles,
    CutFileRows23,
};

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
        for (const QString& name : files)
            table.files.appendRows({{u""_s, u""_s, name}});
        for (const QString& e : entries)
            table.batch.appendRow({u"<App1>"_s, u"tool-"_s + e,
                                   e.contains(u'<') ? e : u"<App1> "_s + e + u" <c2>"_s, u"/bin/tool"_s});
        engine.setCanStart(true);
    }
    void play(const QList<Step>& steps)
    {
        const std::map<Step, std::function<void()>> actions{
            {Step::Start, [this] { engine.start(); }},
            {Step::Abort, [this] { engine.requestAbort(); }},
            {Step::Poll, [this] { engine.poll(); }},
            {Step::Open, [this] { engine.openProcess(); }},
            {Step::End, [this] { launcher.ended.insert(engine.processId()); }},
            {Step::Finish,
             [this] {
                 play(QList<Step>{Step::Open, Step::End, Step::Poll});
             }},
            {Step::EnableStart, [this] { engine.setCanStart(true); }},
            {Step::EndsUnopened, [this] { launcher.unopenable.insert(launcher.nextPid); }},
            {Step::ProgramMissing, [this] { fs.files.clear(); }},
            {Step::ClearFiles, [this] { table.files.clear(); }},
            {Step::CutFileRows23, [this] {
                 table.files.removeRowsAt(std::vector<int>{1, 2});
             }}};
        for (const Step step : steps)
            actions.at(step)();
    }
    // The started jobs' entries and files.
    QStringList jobs() const
    {
        QStringList jobs;
        for (const QString& line : launcher.started)
            jobs << QString(line).remove(u"/bin/tool "_s);
        return jobs;
    }
};

// A message box that stays open while the countdown's timer goes on ticking underneath it.
struct TickingDialogs final : Dialogs {
    std::function<void()> whileOpen;
    QStringList texts;
    Answer message(const QString& text, const QString& title, Buttons) override
    {
        texts << text + u" / "_s + title;
        if (whileOpen)
            whileOpen();
        return Answer::Ok;
    }
    QString input(const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};
} // namespace

class TestRun : public QObject
{
    Q_OBJECT
private slots:
    void expansionMatchesSequentialPasses();
    void expansionQuirks_data();
    void expansionQuirks();
    void checkAppKeys();
    void run_data();
    void run();
    void oneJobLogsExactly();
    void complete_data();
    void complete();
    void splitsCommandLines_data();
    void splitsCommandLines();
    void quotedKeyIsExactlyItsValue();
    void resolvesTheProgram_data();
    void resolvesTheProgram();
    void shellTextReachesTheProgramAsData();
    void namesReachTheProgramWhole_data();
    void namesReachTheProgramWhole();
    void registeredProgramIsTakenWhole();
    void largeOutputIsInheritedAndNeverBlocks();
    void fastPace_data();
    void fastPace();
    void exitOutcomes();
    void abortAtFastPaceLeavesNoZombie();
    void runAgainRunsWhatFailed_data();
    void runAgainRunsWhatFailed();
    void fastEndEntryNamesItsOwnFile();
    void failedStartsKeepTheLoopTurning();
    void eachJobKeepsItsOwnOutput();
    void jobOutlivesTheEngine();
    void capturedStreamIsBounded_data();
    void capturedStreamIsBounded();
    void outputIsShownReadably_data();
    void outputIsShownReadably();
    void settingsFile_data();
    void settingsFile();
    void settingsFileNotRead_data();
    void settingsFileNotRead();
    void resultsCsv();

private:
    // Starts the command line and returns what the argv client wrote into `out`.
    QByteArray recorded(const QString& commandLine, const QStringList& known, const QString& out);

    QTemporaryDir m_dir;
    RealFileSystem m_fs;
    LinuxProcessLauncher m_launcher{m_fs};
};

void TestRun::expansionMatchesSequentialPasses()
{
    // Keys, near misses, c1 beside c10, numbers past 32 bits, values holding keys, keys split by a value,
    // quotes.
    const QStringList fragments{u"<c"_s, u"<App"_s, u"0"_s,      u"1"_s, u"2"_s,          u"10"_s,
                                u"12"_s, u"3"_s,    u">"_s,      u"<"_s, u"x"_s,          u" "_s,
                                u"<C"_s, u"<c1>"_s, u"<App2>"_s, u"9"_s, u"4294967297"_s, u"\""_s};
    QRandomGenerator random(20240615);
    for (int round = 0; round < 20000; ++round) {
        const int columnCount = 1 + random.bounded(13);
        QStringList cells, paths;
        for (int i = random.bounded(columnCount + 2); i > 0; --i) // rows may be shorter than the columns
            cells << randomText(random, fragments, 4);
        for (int i = random.bounded(4); i > 0; --i)
            paths << randomText(random, fragments, 4);
        AppRegistry apps;
        fillApps(apps, paths);
        const QString parameter = randomText(random, fragments, 12);
        // The reference: one full replacement pass per key, in order, each value's quotes tripled.
        QString expected = parameter;
        for (int n = 0; n < columnCount; ++n)
            expected.replace(u"<c"_s + QString::number(n) + u'>', CommandLine::escapeQuotes(cells.value(n)));
        for (int n = 1; n <= apps.count(); ++n)
            expected.replace(u"<App"_s + QString::number(n) + u'>',
                             CommandLine::escapeQuotes(apps.path(n - 1)));
        const QString fast = expandCommandLine(parameter, cells, columnCount, apps);
        QVERIFY2(fast == expected, qPrintable(parameter + u" | "_s + cells.join(u',') + u" | "_s +
                                              paths.join(u',') + u" gave "_s + fast));
    }
}

void TestRun::expansionQuirks_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("columnCount");
    QTest::addColumn<QString>("expected");
    QStringList eleven;
    for (int n = 0; n <= 10; ++n)
        eleven << u"v"_s + QString::number(n);
    QTest::addRow("<c1> beside <c10>") << u"<c1>,<c10>"_s << eleven << 11 << u"v1,v10"_s;
    QTest::addRow("value holding a later key")
        << u"<c1>"_s << QStringList{QString(), u"<c2> <App1>"_s, u"two"_s} << 3 << u"two /bin/tool"_s;
    QTest::addRow("value holding an earlier key")
        << u"<c2>"_s << QStringList{QString(), u"one"_s, u"<c1>"_s} << 3 << u"<c1>"_s;
    const QString noKey = u"<c3> <App0> <App2> <c-1> <c01> <C1> <app1> <c 1>"_s;
    QTest::addRow("out of range or near misses")
        << noKey << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s} << 3 << noKey;
}

void TestRun::expansionQuirks()
{
    QFETCH(QString, parameter);
    QFETCH(QStringList, cells);
    QFETCH(int, columnCount);
    QFETCH(QString, expected);
    AppRegistry apps;
    fillApps(apps, {u"/bin/tool"_s});
    QCOMPARE(expandCommandLine(parameter, cells, columnCount, apps), expected);
}

void TestRun::checkAppKeys()
{
    AppRegistry apps;
    fillApps(apps, {u"/bin/one"_s, u"/bin/two"_s});
    FakeFileSystem fs;
    fs.files = {u"/bin/two"_s};
    BatchList batch;
    for (const QString& p :
         {u"<App3> <App1> <App3>"_s, u"<App2> <App1000> <App0> <App01> <app3> <App 3> <App3 <c2>"_s,
          u"<App<App4>>"_s, u"<App12345> <App999>"_s})
        batch.appendRow({u"<App1>"_s, u"app"_s, p, u"/bin/one"_s});
    const auto unlisted = [](int entry, int key) {
        return u"%1第パラメータ内の<App%2>はアプリリストにありません\r\n"_s.arg(entry).arg(key);
    };
    // Keys ascending and each once, entries in list order; 999 is the highest key looked for.
    QCOMPARE(appKeyProblems(batch, apps, fs), u"1第パラメータ内の<App1>のパスが見あたりません\r\n"_s +
                                                  unlisted(1, 3) + unlisted(3, 4) + unlisted(4, 999));
}

void TestRun::run_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QStringList>("expectedJobs");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("logStart"); // the whole log when nothing was started
    const auto row = [](const char* name, const QStringList& files, int entries, const QList<Step>& steps,
                        const QStringList& jobs, bool running, const QString& log) {
        QTest::addRow("%s", name) << files << entries << steps << jobs << running << log;
    };
    using enum Step;
    const QStringList ab{u"A"_s, u"B"_s}, abc{u"A"_s, u"B"_s, u"C"_s};
    row("entry by entry", ab, 2, {Start, Finish, Finish, Finish, Finish},
        {u"X A"_s, u"X B"_s, u"Y A"_s, u"Y B"_s}, false, allSent);
    // A job goes on while its process runs, and before the process has been opened even if it has ended.
    const QString firstStarted =
        u"\t\t送信内容は/bin/tool X A\r\n\r\n"_s + stamp + u"[tool-X]に[A]を送信開始／"_s;
    row("tick during the wait", ab, 1, {Start, End, Poll}, {u"X A"_s}, true, firstStarted);
    row("start failed", {u"fail"_s, u"B"_s}, 1, {Start, Poll, Finish}, {u"X fail"_s, u"X B"_s}, false,
        allSent);
    row("start failed, logged", {u"fail"_s}, 1, {Start}, {u"X fail"_s}, true,
        stamp +
            u"[tool-X]に[fail]を送信失敗（原因不明です）\r\n\r\n\t\t送信内容は/bin/tool X fail\r\n\r\n"_s);
    row("ended before opening", ab, 1, {EndsUnopened, Start, Open, Poll, Finish}, {u"X A"_s, u"X B"_s}, false,
        allSent);
    const QString aborted = separator + stamp + u"送信作業を中断しました／\r\n\r\n"_s + separator + u"\t\t"_s;
    row("abort during the wait", ab, 1, {Start, Abort, Open, Poll}, {u"X A"_s}, false, aborted);
    row("file rows cut below the cursor", abc, 2, {Start, Finish, Finish, CutFileRows23, Finish, Finish},
        {u"X A"_s, u"X B"_s, u"X C"_s, u"Y A"_s}, false, allSent);
    row("file list cleared", abc, 2, {Start, ClearFiles, Finish}, {u"X A"_s}, false, allSent);
    // The pending program is left alone and the run starts over from the first job.
    row("run button enabled during a run", ab, 1, {Start, Finish, EnableStart, Start, Finish, Finish},
        {u"X A"_s, u"X B"_s, u"X A"_s, u"X B"_s}, false, allSent);
    row("no files", {}, 1, {Start, Finish}, {}, false, QString());
    row("program missing", ab, 1, {ProgramMissing, Start, Finish}, {}, false, QString());
}

void TestRun::run()
{
    QFETCH(QStringList, files);
    QFETCH(int, entries);
    QFETCH(QList<Step>, steps);
    QFETCH(QStringList, expectedJobs);
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
    // Only the run refused for a missing program shows a box.
    const QString box = u"1第パラメータ内の<App1>のパスが見あたりません\r\n処理を中止します"_s;
    QCOMPARE(rig.dialogs.shown.size(), steps.value(0) == Step::ProgramMissing ? 1 : 0);
    for (const FakeDialogs::Shown& shown : rig.dialogs.shown)
        QVERIFY(shown.text == box && shown.title == u"Lomvato"_s && shown.buttons == Dialogs::Buttons::Ok);
}

void TestRun::oneJobLogsExactly()
{
    Rig rig({u"photo"_s}, {u"X"_s});
    QSignalSpy noteChanged(&rig.engine, &RunEngine::noteChanged);
    QSignalSpy progress(&rig.engine, &RunEngine::progressChanged);
    rig.table.log.setText(u"older\r\n"_s);
    rig.play({Step::Start});
    rig.engine.setNote(u"ok"_s);
    rig.play({Step::Finish});
    QCOMPARE(rig.table.log.text(), allSent + stamp + u"[tool-X]に[photo]を送信終了／\r\n\r\n"_s + stamp +
                                       u"[photo]はok／\r\n\t\t送信内容は/bin/tool X photo\r\n\r\n"_s + stamp +
                                       u"[tool-X]に[photo]を送信開始／\r\n\r\nolder\r\n"_s);
    QCOMPARE(rig.engine.note(), QString());
    QCOMPARE(noteChanged.count(), 1);
    QCOMPARE(rig.launcher.knownPrograms, QList<QStringList>{{u"/bin/tool"_s}});
    QCOMPARE(progress, (QList<QVariantList>{{u"実行中 1/1"_s}, {QString()}}));
    QCOMPARE(rig.table.files.cell(0, 0), QString()); // exit codes are not recorded in the file list
}

void TestRun::complete_data()
{
    QTest::addColumn<int>("afterWork");
    QTest::addColumn<int>("afterWorkAction");   // -1: neither button selected
    QTest::addColumn<QList<bool>>("privilege"); // the answers to the privilege requests, if it asks
    QTest::addColumn<int>("cancelAt"); // the tick of "中　止"; 0: under the privilege message; -1: none
    QTest::addColumn<Outcome>("outcome");
    const QList<bool> none;
    QTest::addRow("action off") << 0 << 0 << none << -1 << Outcome::Reported;
    QTest::addRow("end only") << 1 << 1 << none << -1 << Outcome::Ended;
    QTest::addRow("neither button") << 1 << -1 << none << -1 << Outcome::Nothing;
    QTest::addRow("cancelled at its end") << 1 << 0 << none << 500 << Outcome::Cancelled;
    QTest::addRow("privilege refused twice")
        << 1 << 0 << QList<bool>{false, false, true} << -1 << Outcome::PoweredOff;
    QTest::addRow("cancelled under the message") << 1 << 0 << QList<bool>{false} << 0 << Outcome::Cancelled;
}

void TestRun::complete()
{
    QFETCH(int, afterWork);
    QFETCH(int, afterWorkAction);
    QFETCH(QList<bool>, privilege);
    QFETCH(int, cancelAt);
    QFETCH(Outcome, outcome);
    WorkTable table;
    TickingDialogs dialogs;
    FakePower power;
    FakeClock clock;
    QStringList calls;
    table.settings.afterWork = afterWork;
    table.settings.afterWorkAction.clear(0);
    table.settings.afterWorkAction.select(afterWorkAction);
    power.needsPrivilege = !privilege.isEmpty();
    power.privilegeAnswers.assign(privilege.begin(), privilege.end());
    power.onPowerOff = [&] { calls << u"powerOff"_s; };
    const QString before = u"run\r\n"_s;
    table.log.setText(before);
    // Stands in for the countdown window: its timer ticks every 10 ms, also under the privilege message.
    auto showCountdown = [&](CompletionCountdown& countdown) {
        calls << u"countdown"_s;
        dialogs.whileOpen = [&] {
            const int asked = power.privilegeRequests;
            for (int i = 0; i < 20; ++i)
                countdown.tick();
            QCOMPARE(power.privilegeRequests, asked); // no second attempt while the message is open
            QCOMPARE(calls, QStringList{u"countdown"_s});
            if (cancelAt == 0)
                countdown.cancel();
        };
        countdown.start();
        for (int i = 1; i < 510; ++i)
            i == cancelAt ? countdown.cancel() : countdown.tick();
        countdown.cancel(); // too late once it ran out
    };
    CompletionAction action(table.settings, table.log, dialogs, power, clock);
    QCOMPARE(action.run(showCountdown, [&] { calls << u"store"_s; }), outcome);

    const bool off = outcome == Outcome::PoweredOff, ended = outcome == Outcome::Ended;
    QStringList expected = afterWorkAction == 0 && afterWork ? QStringList{u"countdown"_s} : QStringList();
    if (off)
        expected << u"store"_s << u"powerOff"_s;
    QCOMPARE(calls, expected);
    QCOMPARE(CompletionAction::closesWindow(outcome), off || ended);
    const QString top =
        off ? u"「Lomvato」はマシーンの終了を実行しました／"_s : u"「Lomvato」は終了処理を開始しました／"_s;
    QCOMPARE(table.log.text(), off || ended
                                   ? ActivityLog::separator() + ActivityLog::timed(clock.now(), top) + before
                                   : before);
    QCOMPARE(dialogs.texts,
             QStringList(afterWork ? 0 : 1, u"処理が全て終了しました / Lomvato"_s) +
                 QStringList(privilege.count(false), u"SE_SHUTDOWN_NAME特権が設定できません / Lomvato"_s));
    QCOMPARE(power.privilegeRequests, int(privilege.size()));
}

void TestRun::splitsCommandLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("words");
    QTest::addRow("blank, tab, line breaks")
        << u" a\tb\r\nc\nd "_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::addRow("other spaces are characters")
        << u"写真　1.jpg a\u00a0b c\u2003d"_s << QStringList{u"写真　1.jpg"_s, u"a\u00a0b"_s, u"c\u2003d"_s};
    QTest::addRow("quotes group") << u"\"a b\"c \"x\ny\""_s << QStringList{u"a bc"_s, u"x\ny"_s};
    QTest::addRow("empty argument") << u"-o \"\" in"_s << QStringList{u"-o"_s, QString(), u"in"_s};
    QTest::addRow("empty arguments at the end")
        << u"a \"\" \"\""_s << QStringList{u"a"_s, QString(), QString()};
    QTest::addRow("empty quotes inside a word") << u"a\"\"b"_s << QStringList{u"ab"_s};
    QTest::addRow("literal quote") << u"\"\"\" a\"\"\"b \"c \"\"\" d\""_s
                                   << QStringList{u"\""_s, u"a\"b"_s, u"c \" d"_s};
    QTest::addRow("literal quote, then an open span") << u"\"\"\"\"a b"_s << QStringList{u"\"a b"_s};
    QTest::addRow("separators only") << u" \t\r\n"_s << QStringList();
}

void TestRun::splitsCommandLines()
{
    QFETCH(QString, line);
    QFETCH(QStringList, words);
    const CommandLine split(line);
    QCOMPARE(split.texts(), words);
    // Each word's span, split on its own, gives that word again: joining words keeps their text.
    for (const CommandLine::Word& w : split.words())
        QCOMPARE(CommandLine(line.mid(w.begin, w.end - w.begin)).texts(), QStringList{w.text});
}

void TestRun::resolvesTheProgram_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("known");
    QTest::addColumn<QStringList>("words"); // the program, then its arguments
    const QString conv = u"/opt/My Tools/conv"_s;
    // /opt/My exists in every row.
    QTest::addRow("after a blank") << u" "_s + conv << QStringList{conv} << QStringList{conv};
    QTest::addRow("longest registered")
        << conv + u" a"_s << QStringList{u"/opt/My"_s, conv} << QStringList{conv, u"a"_s};
    QTest::addRow("registered, with a quote") << u"/opt/a\"\"\"b/conv x"_s << QStringList{u"/opt/a\"b/conv"_s}
                                              << QStringList{u"/opt/a\"b/conv"_s, u"x"_s};
    QTest::addRow("only a prefix of the line")
        << conv + u".bak x"_s << QStringList{conv} << QStringList{u"/opt/My"_s, u"Tools/conv.bak"_s, u"x"_s};
    QTest::addRow("typed by hand") << u"/opt/my app/run a"_s << QStringList()
                                   << QStringList{u"/opt/my app/run"_s, u"a"_s};
}

void TestRun::resolvesTheProgram()
{
    QFETCH(QString, line);
    QFETCH(QStringList, known);
    QFETCH(QStringList, words);
    const QSet<QString> files{u"/opt/My"_s, u"/opt/my app/run"_s};
    QString program;
    QStringList arguments;
    QVERIFY(CommandLine(line).resolve(
        known, [&](const QString& path) { return files.contains(path); }, program, arguments));
    QCOMPARE(QStringList{program} + arguments, words);
}

void TestRun::quotedKeyIsExactlyItsValue()
{
    // Templates of text, blanks, quotes and keys; values of every character that splitting could take for
    // its own. Each value holds one character besides quotes: a value of quotes alone would sit between
    // the template's quotes and join their run.
    const QStringList templatePieces{u"\""_s, u"\""_s, u"\""_s, u"\"\"\""_s, u" "_s,    u"\t"_s,
                                     u"-o"_s, u"x"_s,  u"\\"_s, u"<c1>"_s,   u"<c2>"_s, u"<App1>"_s};
    const QStringList valuePieces{u"\""_s, u"\"\""_s, u" "_s, u"\t"_s, u"\n"_s, u"\r\n"_s,
                                  u"　"_s, u"\\"_s,   u"a"_s, u"'"_s,  u";"_s,  u"$(x)"_s};
    QRandomGenerator random(1212);
    const QStringList keys{u"<c1>"_s, u"<c2>"_s, u"<App1>"_s};
    int checked = 0;
    for (int round = 0; round < 20000; ++round) {
        QStringList values;
        for (int k = 0; k < keys.size(); ++k) {
            QString value = randomText(random, valuePieces, 5);
            values << (QString(value).remove(u'"').isEmpty() ? value + u'v' : value);
        }
        AppRegistry apps;
        fillApps(apps, {values[2]});
        const QString parameter = randomText(random, templatePieces, 12);
        // Where the template alone puts each key: a stand-in with a blank stays whole only inside quotes.
        QString standIns = parameter;
        for (int k = 0; k < keys.size(); ++k)
            standIns.replace(keys[k], QString(QChar(0xE000 + k)) + u' ' + QChar(0xE100 + k));
        QStringList expected = CommandLine(standIns).texts();
        bool inside = true;
        for (QString& word : expected) {
            for (int k = 0; k < keys.size(); ++k)
                word.replace(QString(QChar(0xE000 + k)) + u' ' + QChar(0xE100 + k), values[k]);
            inside = inside && std::none_of(word.begin(), word.end(), [](QChar c) {
                         return c.unicode() >= 0xE000 && c.unicode() < 0xE200;
                     });
        }
        if (!inside)
            continue;
        ++checked;
        const QString line = expandCommandLine(parameter, {QString(), values[0], values[1]}, 3, apps);
        QVERIFY2(CommandLine(line).texts() == expected,
                 qPrintable(parameter + u" | "_s + values.join(u'|') + u" gave "_s + line));
    }
    QVERIFY(checked > 5000);
}

void TestRun::shellTextReachesTheProgramAsData()
{
    for (const QString& line : {QString(), u"   "_s, u"/nonexistent/lomvato-test-program x"_s})
        QCOMPARE(m_launcher.start(line, {}), 0); // nothing to start
    // Anything a shell would have run lands here, where the test looks for it.
    QVERIFY(m_dir.isValid() && QDir::setCurrent(m_dir.path()));
    // The program lies in a folder with a blank and has a blank in its name; its path is not quoted.
    QVERIFY(QDir(m_dir.path()).mkpath(u"my tools"_s));
    const QString copy = m_dir.filePath(u"my tools/argv client"_s);
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), copy));
    QFile out(m_dir.filePath(u"argv.txt"_s));
    QCOMPARE(recorded(copy + u' ' + out.fileName() +
                          u" \"a;touch pwned\" \"$(touch pwned)\" `touch pwned` |x >y & 'q'"_s,
                      {}, out.fileName()),
             "a;touch pwned\0$(touch pwned)\0`touch\0pwned`\0|x\0>y\0&\0'q'\0"_ba);
    QVERIFY(!QFile::exists(m_dir.filePath(u"pwned"_s)) && !QFile::exists(m_dir.filePath(u"y"_s)));
}

void TestRun::largeOutputIsInheritedAndNeverBlocks()
{
    // Our standard output points at a file while the program starts, so that what it inherits is measured.
    constexpr qint64 size = 10 * 1024 * 1024;
    const QString captured = m_dir.filePath(u"stdout.txt"_s);
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open(QFile::encodeName(captured).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
    const ProcessLauncher::Started started =
        m_launcher.launch(QString::fromUtf8(LOMVATO_NOISY_CLIENT) + u' ' + QString::number(size), {});
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QVERIFY(started.pid > 0);
    if (started.handle)
        QTRY_COMPARE_WITH_TIMEOUT(started.handle->status(), ProcessHandle::Status::Ended, 60000);
    QCOMPARE(QFileInfo(captured).size(), size);
}

QByteArray TestRun::recorded(const QString& commandLine, const QStringList& known, const QString& out)
{
    if (m_launcher.start(commandLine, known) <= 0)
        return "not started";
    QFile file(out);
    if (!QTest::qWaitFor([&] { return file.exists(); }, 10000) || !file.open(QIODevice::ReadOnly))
        return "nothing recorded";
    return file.readAll();
}

void TestRun::namesReachTheProgramWhole_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addRow("quotes and options") << QByteArray("a\" \"--x\" \"b.txt");
    QTest::addRow("line break") << QByteArray("line\nbreak.txt");
    QTest::addRow("latin-1") << QByteArray("caf\xe9.txt");
}

void TestRun::namesReachTheProgramWhole()
{
    QFETCH(QByteArray, name);
    const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);
    // The temporary folder's own clean-up reads names as UTF-8 and would miss some of these.
    const auto remove = qScopeGuard([&] { ::unlink(path.constData()); });
    AppRegistry apps;
    fillApps(apps, {QString::fromUtf8(LOMVATO_ARGV_CLIENT)});
    FileList::Row row(6);
    row[5] = NativeName::decode(path);
    const QString out = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).remove(u' ') + u".out"_s);
    const QString line = expandCommandLine(u"<App1> "_s + out + u" \"<c5>\""_s, row, 6, apps);
    // The file's full path as one argument, byte for byte, as the line that is logged reads.
    QCOMPARE(recorded(line, {apps.path(0)}, out), path + '\0');
    QCOMPARE(CommandLine(line).texts().mid(2), QStringList{row[5]});
}

void TestRun::registeredProgramIsTakenWhole()
{
    // A program at a shorter prefix of the registered path, which an unquoted path would reach first.
    const QDir dir(m_dir.path());
    QVERIFY(dir.mkpath(u"My Tools"_s));
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), dir.filePath(u"My Tools/conv"_s)));
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_SLEEP_CLIENT), dir.filePath(u"My"_s)));
    const QString out = dir.filePath(u"conv.out"_s);
    QCOMPARE(
        recorded(dir.filePath(u"My Tools/conv "_s) + out + u" x"_s, {dir.filePath(u"My Tools/conv"_s)}, out),
        "x\0"_ba);
}

void TestRun::fastPace_data()
{
    QTest::addColumn<int>("parallel");
    // Pids that end before each poll; 0 aborts, -1 clears the files, -2 starts the run over.
    QTest::addColumn<QList<int>>("script");
    QTest::addColumn<QStringList>("expectedJobs");
    QTest::addColumn<int>("allDone");
    QTest::addColumn<QString>("summary");
    const QStringList abc{u"X A"_s, u"X B"_s, u"X C"_s};
    QTest::newRow("one at a time") << 1 << QList<int>{100, 101, 102} << abc << 1
                                   << u"完了 3 件 / 失敗 0 件"_s;
    // The second job ending first frees its place for the third; the run ends only with the last job.
    QTest::newRow("two at once") << 2 << QList<int>{101, 100, 102} << abc << 1 << u"完了 3 件 / 失敗 0 件"_s;
    QTest::newRow("more places than jobs")
        << 8 << QList<int>{102, 101, 100} << abc << 1 << u"完了 3 件 / 失敗 0 件"_s;
    QTest::newRow("abort with jobs running") << 2 << QList<int>{0} << QStringList{u"X A"_s, u"X B"_s} << 0
                                             << u"完了 0 件 / 失敗 0 件 / 放置 2 件"_s;
    QTest::newRow("files cleared") << 2 << QList<int>{-1, 100, 101} << QStringList{u"X A"_s, u"X B"_s} << 1
                                   << u"完了 2 件 / 失敗 0 件"_s;
    // Started over while two jobs run: those two are left to themselves and never end the new run.
    QTest::newRow("started over") << 2 << QList<int>{-2, 100, 101, 102, 103, 104}
                                  << QStringList{u"X A"_s, u"X B"_s, u"X A"_s, u"X B"_s, u"X C"_s} << 1
                                  << u"完了 3 件 / 失敗 0 件"_s;
}

void TestRun::fastPace()
{
    QFETCH(int, parallel);
    QFETCH(QList<int>, script);
    QFETCH(QStringList, expectedJobs);
    QFETCH(int, allDone);
    QFETCH(QString, summary);
    Rig rig({u"A"_s, u"B"_s, u"C"_s}, {u"X"_s});
    rig.engine.setPace(true, parallel);
    rig.play({Step::Start});
    QCOMPARE(rig.launcher.started.size(), std::min(parallel, 3));
    for (const int step : std::as_const(script)) {
        QCOMPARE(rig.allDone.count(), 0);
        if (step == 0)
            rig.engine.requestAbort();
        else if (step == -1)
            rig.table.files.clear();
        else if (step == -2)
            rig.engine.start();
        else
            rig.launcher.ended.insert(step);
        rig.engine.poll();
        QVERIFY(rig.engine.runningJobs() <= parallel);
    }
    QCOMPARE(rig.jobs(), expectedJobs);
    QCOMPARE(rig.allDone.count(), allDone);
    QVERIFY(!rig.engine.isRunning());
    QCOMPARE(rig.engine.results().summary(), summary);
    QCOMPARE(rig.launcher.openHandles, 0);
    // Every started job is logged as it starts and, unless abandoned, as it ends.
    const QString log = rig.table.log.text();
    QCOMPARE(log.count(u"を送信開始／"_s), expectedJobs.size());
    QCOMPARE(log.count(u"を送信終了／"_s), allDone ? rig.engine.results().count() : 0);
    QCOMPARE(log.startsWith(allSent), allDone == 1);
}

void TestRun::exitOutcomes()
{
    Rig rig({u"0"_s, u"3"_s, u"s15"_s},
            {QString::fromUtf8(LOMVATO_EXIT_CLIENT) + u" <c2>"_s, u"/nonexistent/program <c2>"_s},
            &m_launcher);
    rig.engine.setPace(true, 2);
    rig.engine.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.allDone.count(), 1, 20000);
    const RunResults& results = rig.engine.results();
    QStringList outcomes;
    for (int i = 0; i < results.count(); ++i)
        outcomes << RunResults::outcomeText(results.job(i));
    QCOMPARE(outcomes,
             (QStringList{u"正常終了"_s, u"エラー終了 (コード 3)"_s, u"シグナル 15 (SIGTERM) で終了"_s,
                          u"起動失敗"_s, u"起動失敗"_s, u"起動失敗"_s}));
    QList<QPair<int, int>> failed;
    for (const RunResults::Job& job : results.failedJobs())
        failed.append({job.entry, job.row});
    QCOMPARE(failed, (QList<QPair<int, int>>{{0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));
    QCOMPARE(results.summary(), u"完了 1 件 / 失敗 5 件"_s);
}

void TestRun::abortAtFastPaceLeavesNoZombie()
{
    // The abort drops the handle of a program that goes on running; it is reaped when it ends.
    const QString marker = m_dir.filePath(u"fast-slept"_s);
    Rig rig({marker}, {QString::fromUtf8(LOMVATO_SLEEP_CLIENT) + u" 500 <c2>"_s}, &m_launcher);
    rig.engine.setPace(true, 2);
    rig.engine.start();
    rig.engine.requestAbort();
    QTRY_VERIFY(!rig.engine.isRunning());
    QCOMPARE(RunResults::outcomeText(rig.engine.results().job(0)), u"放置"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 30000);
    QTRY_VERIFY(!zombieChild());
}

void TestRun::runAgainRunsWhatFailed_data()
{
    QTest::addColumn<bool>("fast");
    QTest::addColumn<QString>("change"); // what happens to the file list before the re-run
    QTest::addColumn<bool>("failsAgain");
    QTest::newRow("new drop, fast") << true << u"drop"_s << false;
    QTest::newRow("sorted, unhurried") << false << u"sort"_s << false;
    QTest::newRow("unchanged, fails again") << true << QString() << true;
}

void TestRun::runAgainRunsWhatFailed()
{
    QFETCH(bool, fast);
    QFETCH(QString, change);
    QFETCH(bool, failsAgain);
    Rig rig({u"A"_s, u"fail"_s, u"C"_s}, {u"X"_s});
    rig.engine.setPace(fast, 1);
    QSignalSpy progress(&rig.engine, &RunEngine::progressChanged);
    const auto runToTheEnd = [&] {
        for (int i = 0; i < 10 && rig.engine.isRunning(); ++i) {
            rig.engine.openProcess();
            rig.launcher.ended.insert(rig.engine.processId());
            rig.engine.poll();
        }
        QVERIFY(!rig.engine.isRunning());
    };
    rig.engine.start();
    runToTheEnd();
    QCOMPARE(rig.engine.results().summary(), u"完了 2 件 / 失敗 1 件"_s);
    if (change == u"drop"_s) {
        rig.table.files.clear();
        rig.table.files.appendRows({{u""_s, u""_s, u"new_1"_s}});
    } else if (change == u"sort"_s) {
        rig.table.files.clear();
        rig.table.files.appendRows(
            {{u""_s, u""_s, u"C"_s}, {u""_s, u""_s, u"fail"_s}, {u""_s, u""_s, u"A"_s}});
    }
    if (!failsAgain)
        rig.launcher.failing.clear();
    progress.clear();
    rig.engine.runAgain(rig.engine.results().failedJobs());
    runToTheEnd();
    // The re-run ran exactly what had failed, whatever the list shows now, as a run with its completion.
    QCOMPARE(rig.launcher.started.last(), u"/bin/tool X fail"_s);
    QCOMPARE(rig.launcher.started.size(), 4);
    const RunResults& results = rig.engine.results();
    QCOMPARE(results.count(), 1);
    QCOMPARE(results.job(0).file, u"fail"_s);
    QCOMPARE(results.job(0).arguments, (QStringList{u"/bin/tool"_s, u"X"_s, u"fail"_s}));
    QCOMPARE(results.summary(), failsAgain ? u"完了 0 件 / 失敗 1 件"_s : u"完了 1 件 / 失敗 0 件"_s);
    QCOMPARE(rig.allDone.count(), 2);
    QVERIFY(
        progress.contains(QVariantList{fast ? u"終了 0 件 / 実行中 1 件 / 残り 0 件"_s : u"実行中 1/1"_s}));
}

void TestRun::fastEndEntryNamesItsOwnFile()
{
    Rig rig({u"A"_s, u"B"_s, u"C"_s}, {u"X"_s});
    rig.engine.setPace(true, 2);
    rig.engine.start();
    // The two running jobs' rows go; their end entries still name their own files.
    rig.table.files.removeRowsAt(std::vector<int>{0, 1});
    rig.launcher.ended = {100, 101};
    rig.engine.poll();
    const QString log = rig.table.log.text();
    QCOMPARE(log.count(u"]を送信終了／"_s), 2);
    QVERIFY(log.contains(u"[tool-X]に[A]を送信終了／"_s) && log.contains(u"[tool-X]に[B]を送信終了／"_s));
}

void TestRun::failedStartsKeepTheLoopTurning()
{
    // Every failed start goes back to the event loop: a timer keeps ticking, and an abort is answered.
    constexpr int jobs = 2000;
    QStringList files;
    for (int i = 0; i < jobs; ++i)
        files << QString::number(i);
    Rig rig(files, {u"/nonexistent/program <c2>"_s}, &m_launcher);
    rig.engine.setPace(true, 1);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(0);
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    rig.engine.start();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine.isRunning(), 60000);
    QCOMPARE(rig.engine.results().summary(), u"完了 0 件 / 失敗 2000 件"_s);
    QCOMPARE(RunResults::outcomeText(rig.engine.results().job(0)), u"起動失敗"_s);
    QVERIFY(!rig.engine.results().job(0).failure.isEmpty());
    QVERIFY2(ticks >= jobs / 2, qPrintable(QString::number(ticks)));

    rig.engine.start();
    QTimer::singleShot(0, &rig.engine, &RunEngine::requestAbort);
    QTRY_VERIFY(!rig.engine.isRunning());
    QVERIFY(rig.engine.results().count() < 10);
}

void TestRun::eachJobKeepsItsOwnOutput()
{
    // Three jobs at once, each writing its own name to both streams and failing.
    Rig rig({u"one"_s, u"two"_s, u"three"_s}, {u"/bin/sh -c \"echo out-<c2>; echo err-<c2> >&2; exit 1\""_s},
            &m_launcher);
    rig.engine.setPace(true, 3);
    rig.engine.start();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.engine.isRunning(), 20000);
    const RunResults& results = rig.engine.results();
    QCOMPARE(results.count(), 3);
    for (int i = 0; i < results.count(); ++i) {
        const RunResults::Job& job = results.job(i);
        QCOMPARE(RunResults::outcomeText(job), u"エラー終了 (コード 1)"_s);
        QCOMPARE(job.output.head(), "out-" + job.file.toUtf8() + '\n');
        QCOMPARE(job.errors.head(), "err-" + job.file.toUtf8() + '\n');
        QVERIFY(results.details(i).contains(u"err-"_s + job.file));
    }
}

void TestRun::jobOutlivesTheEngine()
{
    // The job writes after Lomvato has gone: a closed pipe would end it by SIGPIPE before its marker.
    const QString marker = m_dir.filePath(u"outlived"_s);
    {
        Rig rig({marker}, {u"/bin/sh -c \"sleep 0.5; echo still here; echo >&2 and here; touch <c2>\""_s},
                &m_launcher);
        rig.engine.setPace(true, 1);
        rig.engine.start();
        QCOMPARE(rig.engine.runningJobs(), 1);
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 20000);
    QTRY_VERIFY(!zombieChild());
}

void TestRun::capturedStreamIsBounded_data()
{
    QTest::addColumn<QList<int>>("pieces"); // sizes of the pieces written, in order
    constexpr int limit = CapturedStream::limit;
    QTest::newRow("nothing") << QList<int>{};
    QTest::newRow("a little") << QList<int>{10, 20};
    QTest::newRow("the head exactly") << QList<int>{limit};
    QTest::newRow("head and tail, nothing left out") << QList<int>{limit, limit};
    QTest::newRow("one huge piece") << QList<int>{5 * limit + 7};
    QTest::newRow("many small pieces") << QList<int>(4000, 97);
    QTest::newRow("tail pieces larger than the limit") << QList<int>{limit + 1, 3 * limit, 5};
}

void TestRun::capturedStreamIsBounded()
{
    QFETCH(QList<int>, pieces);
    // Numbered bytes, so that a byte in the wrong place shows.
    QByteArray all;
    CapturedStream stream;
    for (const int size : pieces) {
        QByteArray piece;
        for (int i = 0; i < size; ++i)
            piece += char('a' + (all.size() + i) % 26);
        all += piece;
        stream.append(piece);
    }
    const qsizetype limit = CapturedStream::limit;
    QCOMPARE(stream.total(), all.size());
    QCOMPARE(stream.head(), all.left(limit));
    QCOMPARE(stream.tail(), all.size() > limit ? all.mid(limit).right(limit) : QByteArray());
    QCOMPARE(stream.omitted(), std::max<qint64>(0, all.size() - 2 * limit));
}

void TestRun::outputIsShownReadably_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("utf-8") << u"変換できません: 写真.jpg"_s.toUtf8() << u"変換できません: 写真.jpg"_s;
    QTest::newRow("code page 932") << QByteArray("\x95\xCF\x8A\xB7") << u"変換"_s;
    QTest::newRow("neither") << QByteArray("caf\xE9 \xFF\xFE ok \xE5\x86\x99")
                             << u"caf\\xE9 \\xFF\\xFE ok 写"_s;
}

void TestRun::outputIsShownReadably()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(CapturedStream::display(bytes), shown);
}

void TestRun::settingsFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "-" for no file
    QTest::addColumn<bool>("fast");
    QTest::addColumn<int>("parallel");
    QTest::newRow("missing") << QByteArray("-") << false << 1;
    QTest::newRow("written") << QByteArray("[Run]\nNoticeEndAtOnce=true\nJobsAtATime=2\n") << true << 2;
    QTest::newRow("garbage") << QByteArray("\xff\xfe\x00[[[=\n\x01") << false << 1;
    QTest::newRow("out of range") << QByteArray("[Run]\nNoticeEndAtOnce=yes\nJobsAtATime=100000\n") << false
                                  << 1;
}

void TestRun::settingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, fast);
    QFETCH(int, parallel);
    QTemporaryDir dir;
    if (content != "-") {
        QFile f(RunSettings::fileName(dir.path()));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const RunSettings s = RunSettings::load(dir.path());
    QCOMPARE(s.fast, fast);
    QCOMPARE(s.parallel, parallel);
    // What is saved reads back.
    QVERIFY((RunSettings{!fast, 2}.save(dir.path())));
    QCOMPARE(RunSettings::load(dir.path()).fast, !fast);
    QCOMPARE(RunSettings::load(dir.path()).parallel, 2);
}

void TestRun::settingsFileNotRead_data()
{
    // Each would block the start, read without end, or be taken for settings; each gives the defaults.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem");
    QTest::addRow("FIFO") << u"fifo"_s << u"通常のファイルではありません"_s;
    QTest::addRow("folder") << u"folder"_s << u"通常のファイルではありません"_s;
    QTest::addRow("link to /dev/zero") << u"zero"_s << u"通常のファイルではありません"_s;
    QTest::addRow("too large") << u"large"_s << u"ファイルが大きすぎます"_s;
}

void TestRun::settingsFileNotRead()
{
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString path = RunSettings::fileName(dir.path());
    if (kind == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"folder"_s) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"zero"_s) {
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(RunSettings{true, 2}.text() + QByteArray(1024 * 1024, '\n'));
    }
    QString said;
    const RunSettings s = RunSettings::load(dir.path(), &said);
    QCOMPARE(QPair(s.fast, s.parallel), QPair(false, 1));
    QCOMPARE(said, problem);
}

void TestRun::resultsCsv()
{
    RunResults results;
    RunResults::Job job;
    job.key = u"<App1>"_s;
    job.app = u"変換"_s;
    job.file = u"a,\"b\".jpg"_s;
    job.path = u"/写真/a.jpg"_s;
    job.start = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    results.finish(results.add(job), RunResults::State::Exited, 2, 1500);
    QCOMPARE(
        results.toCsv(),
        QByteArray("\xEF\xBB\xBF") +
            u"番号,バッチ,<c2>,<c5>,開始時刻,所要時間 (秒),結果\r\n"
            u"1,<App1> 変換,\"a,\"\"b\"\".jpg\",/写真/a.jpg,2024/05/06 07:08:09,1.500,エラー終了 (コード 2)\r\n"_s
                .toUtf8());
}

QTEST_MAIN(TestRun)
#include "tst_run.moc"
