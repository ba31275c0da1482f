#include "DiskFaults.h"
#include "Fakes.h"
#include "core/WorkTable.h"
#include "platform/LinuxProcessLauncher.h"
#include "platform/NativeName.h"
#include "platform/RegularFile.h"
#include "run/JobFile.h"
#include "run/JobLog.h"
#include "run/RunEngine.h"
#include "run/RunJournal.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

using Job = RunResults::Job;
using State = RunResults::State;

namespace
{
// Job `number` of file `name`, its program given `name` and an empty argument, ended with success.
Job jobNamed(int number, const QString& name)
{
    Job job;
    job.number = number;
    job.entry = number % 3;
    job.row = number / 3;
    job.key = u"<App1>"_s;
    job.app = name;
    job.file = name;
    job.path = u"/p/"_s + name;
    job.commandLine = u"<App1> \""_s + name + u"\" \"\""_s;
    job.knownPrograms = {u"/opt/conv"_s, name};
    job.arguments = {u"/opt/conv"_s, name, QString()};
    job.start = QDateTime::fromMSecsSinceEpoch(1796659760346 + number);
    job.state = State::Exited;
    job.ms = 1234;
    return job;
}

// What the journal keeps of a job.
auto kept(const Job& j)
{
    return std::tuple(j.number, j.entry, j.row, j.key, j.app, j.file, j.path, j.commandLine, j.knownPrograms,
                      j.arguments, j.start, j.failure, j.state, j.code, j.signalName, j.ms, j.output.head(),
                      j.output.tail(), j.output.total(), j.errors.head());
}

// Job i writes o<i> and e<i>, then outlives Lomvato (every 10th), kills itself (every 7th) or exits i % 3.
constexpr int batchJobs = 100;

QString script(int i)
{
    const QString end = i % 10 == 0  ? u"while kill -0 $PPID; do sleep 0.1; done"_s
                        : i % 7 == 0 ? u"kill -9 $$"_s
                                     : u"exit %1"_s.arg(i % 3);
    return u"echo o%1; echo e%1 >&2; "_s.arg(i) + end;
}

// Runs the batch four at a time with its journal in `folder` until it is killed.
int runUntilKilled(const QString& folder)
{
    WorkTable table;
    RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    SystemClock clock;
    FakeDialogs dialogs;
    RunEngine engine(table, launcher, files, clock, dialogs);
    RunJournal journal(folder, clock);
    journal.follow(engine);
    table.apps.appendRow({u"<App1>"_s, u"sh"_s, u"/bin/sh"_s});
    for (int i = 1; i <= batchJobs; ++i)
        table.files.appendRows({{u""_s, u""_s, script(i)}});
    table.batch.appendRow({u"<App1>"_s, u"sh"_s, u"<App1> -c \"<c2>\" \"写真\u3000'x' $1\""_s, u"/bin/sh"_s});
    engine.setPace(true, 4);
    engine.setCanStart(true);
    engine.start();
    return QCoreApplication::exec();
}
} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void writtenAndReadBack_data();
    void writtenAndReadBack();
    void cutShort();
    void survivesSigkill();
    void readsParallelJobLog();
    void keepsTheNewestRuns();
    void failingWrite_data();
    void failingWrite();

private:
    // Writes one run: job i writes outputs[i] and "err", then ends as ends[i] says. Returns the jobs written.
    QList<Job> writeRun(const QList<Job>& ends, const QList<QByteArray>& outputs)
    {
        RunResults results;
        RunJournal journal(m_dir->path(), m_clock);
        journal.follow(results);
        QList<Job> expected;
        for (Job job : ends) {
            const State state = std::exchange(job.state, State::Running);
            const int i = results.add(job);
            results.appendOutput(i, RunResults::Stream::Output, outputs[i]);
            results.appendOutput(i, RunResults::Stream::Errors, "err");
            results.finish(i, state, job.code, job.ms, job.signalName);
            expected << results.job(i);
        }
        journal.endRun();
        return expected;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
};

void TestJournal::writtenAndReadBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("output");
    const QByteArray big = QByteArray(CapturedStream::limit, 'h') + QByteArray(CapturedStream::limit, 'o') +
                           "\x80\x80\x80\x80" + QByteArray(CapturedStream::limit - 4, 't');
    QTest::newRow("signal, breaks, tabs and backslashes")
        << u"line\nbreak\ttab\\n \\u0041"_s << State::Signalled << 15 << QByteArray();
    QTest::newRow("start failed") << u"写真\u3000'1'.jpg"_s << State::StartFailed << 0 << QByteArray();
    QTest::newRow("exit 127 of a program that ran") << u"-n"_s << State::Exited << 127 << QByteArray();
    QTest::newRow("end unknown") << u"a\" \"--x\" \"b %1 ~x a=b"_s << State::Ended << 0 << QByteArray();
    QTest::newRow("exit code, a name not UTF-8, output with a part left out")
        << NativeName::decode("caf\xe9\xff") << State::Exited << 1 << big;
}

void TestJournal::writtenAndReadBack()
{
    QFETCH(QString, name);
    QFETCH(State, state);
    QFETCH(int, code);
    QFETCH(QByteArray, output);
    QList<Job> ends{jobNamed(7, u"before"_s), jobNamed(8, name), jobNamed(9, u"after"_s)};
    ends[1].state = state;
    ends[1].code = code;
    ends[1].signalName = state == State::Signalled ? u"TERM"_s : QString();
    if (state == State::StartFailed)
        ends[1].failure = u"そのようなファイルはありません"_s;
    const QList<Job> written = writeRun(ends, {"a", output, "b"});
    const QList<Job> read = RunJournal::load(RunJournal::runs(m_dir->path()).value(0).folder);
    QCOMPARE(read.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(kept(read[i]), kept(written[i]));
}

void TestJournal::cutShort()
{
    // The last job's record cut short in each file: what is whole reads back; its end tells what it ran.
    const QList<std::tuple<QString, State, qint64, QString>> cuts{
        {u"jobs"_s, State::Exited, 2, QString()},
        {u"joblog"_s, State::Interrupted, 2, u"/p/b"_s},
        {u"output"_s, State::Exited, 0, u"/p/b"_s}};
    for (const auto& [file, state, output, path] : cuts) {
        const QList<Job> written = writeRun({jobNamed(1, u"a"_s), jobNamed(2, u"b"_s)}, {"o\n", "o\n"});
        const QString run = RunJournal::runs(m_dir->path()).front().folder;
        QFile cut(QDir(run).filePath(file));
        QVERIFY(cut.resize(cut.size() - 3));
        const QList<Job> read = RunJournal::load(run);
        QCOMPARE(read.size(), 2);
        QCOMPARE(kept(read[0]), kept(written[0]));
        QCOMPARE(std::tuple(file, read[1].number, read[1].state, read[1].output.total(), read[1].path),
                 std::tuple(file, 2, state, output, path));
        QCOMPARE(read[1].arguments, written[1].arguments);
    }
}

void TestJournal::survivesSigkill()
{
    QProcess run;
    run.start(QCoreApplication::applicationFilePath(), {u"--run-until-killed"_s, m_dir->path()});
    QVERIFY(run.waitForStarted());
    // Job 40 starts once jobs 1 to 39 but the outliving 10, 20 and 30 have ended: nothing else will happen.
    QTRY_COMPARE_WITH_TIMEOUT(RunJournal::runs(m_dir->path()).value(0).jobs, 40, 30000);
    QTest::qWait(200);
    QCOMPARE(::kill(pid_t(run.processId()), SIGKILL), 0);
    QVERIFY(run.waitForFinished());

    // Every record written before the kill reads back: ends, outputs and the plan of the jobs never reached.
    const RunJournal::Run counts = RunJournal::runs(m_dir->path()).front();
    QCOMPARE(std::tuple(counts.jobs, counts.failed, counts.interrupted), std::tuple(40, 25, 4));
    const QList<Job> read = RunJournal::load(counts.folder);
    for (const Job& job : read)
        QCOMPARE(job.output.head() + job.errors.head(),
                 job.number % 10 ? u"o%1\ne%1\n"_s.arg(job.number).toUtf8() : QByteArray());
    RunResults shown;
    shown.show(read);
    QStringList left, rest;
    for (int i = 1; i <= batchJobs; ++i)
        if (i > 40 || i % 10 == 0 || i % 7 == 0 || i % 3 != 0)
            left << script(i);
    for (const Job& job : RunJournal::rest(shown, counts.folder))
        rest << job.file;
    QCOMPARE(rest, left);
}

void TestJournal::readsParallelJobLog()
{
    if (QStandardPaths::findExecutable(u"parallel"_s).isEmpty())
        QSKIP("GNU parallel is not installed");
    const QList<QStringList> jobs{{u"/bin/sh"_s, u"-c"_s, u"echo one"_s},
                                  {u"/bin/sh"_s, u"-c"_s, u"kill -9 $$"_s},
                                  {u"/bin/echo"_s, u"it's"_s, u"a\nb"_s, NativeName::decode("\xe9")}};
    QVERIFY(RegularFile::replace(m_dir->filePath(u"jobs.sh"_s), JobFile::text(jobs), nullptr));
    // ssh that runs here what it is given after the host and "--".
    const QString ssh = m_dir->filePath(u"ssh"_s);
    QVERIFY(RegularFile::replace(ssh, "#!/bin/sh\nshift\n[ \"$1\" = -- ] && shift\nexec sh -c \"$*\"\n",
                                 nullptr));
    QVERIFY(QFile::setPermissions(ssh, QFile::ReadOwner | QFile::ExeOwner));
    // bash runs a line of one command as that command's own process: the job's signal reaches parallel.
    const auto run = [&](const QString& command) {
        QProcess::execute(u"sh"_s,
                          {u"-c"_s, u"cd \"$0\" && PARALLEL_SHELL=/bin/bash "_s + command, m_dir->path()});
        QString why;
        return JobLog::read(m_dir->filePath(u"run.log"_s), &why);
    };
    QList<Job> read = run(u"parallel --joblog run.log < jobs.sh"_s);
    QCOMPARE(read.size(), 3);
    QCOMPARE(std::tuple(read[1].state, read[1].signalName), std::tuple(State::Signalled, u"KILL"_s));
    // The failed one again on node1, where a signal comes back as an exit code: the later line counts.
    read = run(u"parallel --resume-failed --joblog run.log -S 1/node1 --ssh ./ssh < jobs.sh"_s);
    using Outcome = std::tuple<int, QStringList, QString, State, int>;
    QList<Outcome> outcomes;
    for (const Job& job : read)
        outcomes.append({job.number, job.arguments, job.host, job.state, job.code});
    QCOMPARE(outcomes, (QList<Outcome>{{1, jobs[0], QString(), State::Exited, 0},
                                       {2, jobs[1], u"node1"_s, State::Exited, 128 + SIGKILL},
                                       {3, jobs[2], QString(), State::Exited, 0}}));
}

void TestJournal::keepsTheNewestRuns()
{
    QVERIFY(QDir(m_dir->path()).mkpath(u"notes"_s));
    RunResults results;
    RunJournal journal(m_dir->path(), m_clock);
    journal.follow(results);
    QStringList made; // newest first
    for (int run = 0; run < 22; ++run) {
        results.clear();
        results.add(jobNamed(1, u"a"_s));
        made.prepend(journal.runFolder());
    }
    journal.endRun();
    // All made in the same millisecond: the numbers tell them apart, and 10 comes after 9.
    QCOMPARE(made[12], made[21] + u"-10"_s);
    QCOMPARE(RunJournal::runFolders(m_dir->path()), made.first(20));
    QVERIFY(QDir(m_dir->filePath(u"notes"_s)).exists());
}

void TestJournal::failingWrite_data()
{
    QTest::addColumn<DiskFault>("fault");
    QTest::newRow("file size limit") << DiskFault::FileSizeLimit;
    QTest::newRow("read-only") << DiskFault::ReadOnly;
}

void TestJournal::failingWrite()
{
    QFETCH(DiskFault, fault);
    const int code = withDiskFault(fault, m_dir->path(), [&] {
        RunResults results;
        RunJournal journal(m_dir->path(), m_clock);
        journal.follow(results);
        QSignalSpy failed(&journal, &RunJournal::failed);
        for (int i = 0; i < 50; ++i) {
            results.add(jobNamed(i + 1, u"name"_s));
            results.appendOutput(i, RunResults::Stream::Output, "output");
            results.finish(i, State::Exited, 0, 10);
        }
        journal.endRun();
        // The run went on; one report; what was written reads back as far as it is whole.
        if (results.count() != 50 || failed.count() != 1)
            return 1;
        for (const RunJournal::Run& run : RunJournal::runs(m_dir->path()))
            if (run.jobs > 1 || RunJournal::load(run.folder).size() > 1)
                return 2;
        return 0;
    });
    if (code == faultUnavailable)
        QSKIP("this machine does not allow the fault");
    QCOMPARE(code, 0);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--run-until-killed") == 0)
        return runUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journal.moc"
