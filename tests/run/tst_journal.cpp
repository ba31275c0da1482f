#include "DiskFaults.h"
#include "Fakes.h"
#include "JournalRun.h"
#include "platform/NativeName.h"
#include "run/JobFile.h"
#include "run/JobLog.h"
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
Q_DECLARE_METATYPE(State)

namespace
{
// Job `number`, of an entry and a file named `name`, its program given `name` and an empty argument.
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
    return job;
}

// The only run in `folder`.
QList<Job> theRun(const QString& folder)
{
    const QList<RunJournal::Run> runs = RunJournal::runs(folder);
    return runs.size() == 1 ? RunJournal::load(runs.front().folder) : QList<Job>();
}

// What the journal keeps of a job's start.
auto started(const Job& j)
{
    return std::tuple(j.number, j.entry, j.row, j.key, j.app, j.file, j.path, j.commandLine, j.knownPrograms,
                      j.arguments, j.start, j.failure);
}
} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void writtenAndReadBack_data();
    void writtenAndReadBack();
    void cutShort_data();
    void cutShort();
    void survivesSigkill();
    void readsParallelJobLog();
    void keepsTheNewestRuns();
    void failingWrite_data();
    void failingWrite();

private:
    // Writes one run of `jobs`, ended by `ends` as far as it holds them (the output as `outputs`; "err" on
    // the error stream), and ends it.
    void writeRun(const QList<Job>& jobs, const QList<Job>& ends, const QList<QByteArray>& outputs);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
};

void TestJournal::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestJournal::writeRun(const QList<Job>& jobs, const QList<Job>& ends, const QList<QByteArray>& outputs)
{
    RunResults results;
    RunJournal journal(m_dir->path(), m_clock);
    journal.follow(results);
    QSignalSpy failed(&journal, &RunJournal::failed);
    results.clear();
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        results.add(jobs[i]);
        if (i >= ends.size())
            continue;
        const Job& end = ends[i];
        results.appendOutput(int(i), RunResults::Stream::Output, outputs[i]);
        results.appendOutput(int(i), RunResults::Stream::Errors, "err");
        if (end.state == State::Abandoned)
            results.abandonRunning();
        else if (end.state != State::Running)
            results.finish(int(i), end.state, end.code, end.ms, end.signalName);
    }
    journal.endRun();
    QCOMPARE(failed.count(), 0);
}

void TestJournal::writtenAndReadBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("output");
    const QByteArray big = QByteArray(CapturedStream::limit, 'h') + QByteArray(CapturedStream::limit, 'o') +
                           "\x80\x80\x80\x80" + QByteArray(CapturedStream::limit - 4, 't');
    QTest::newRow("success") << u"a\" \"--x\" \"b"_s << State::Exited << 0 << "ok\n"_ba;
    QTest::newRow("exit code, a name not UTF-8")
        << NativeName::decode("caf\xe9\xff") << State::Exited << 3 << "\xff\xfe"_ba;
    QTest::newRow("signal, breaks, tabs and backslashes")
        << u"line\nbreak\ttab\\n \\u0041"_s << State::Signalled << 15 << QByteArray();
    QTest::newRow("start failed") << u"写真\u3000'1'.jpg"_s << State::StartFailed << 0 << QByteArray();
    QTest::newRow("exit 127 of a program that ran") << u"-n"_s << State::Exited << 127 << QByteArray();
    QTest::newRow("end unknown") << u"%1 ~x a=b"_s << State::Ended << 0 << QByteArray();
    QTest::newRow("output with a part left out") << u"big"_s << State::Exited << 1 << big;
    QTest::newRow("left running at a close") << u"left"_s << State::Abandoned << 0 << "so far"_ba;
    QTest::newRow("no end") << u"running"_s << State::Running << 0 << QByteArray();
}

void TestJournal::writtenAndReadBack()
{
    QFETCH(QString, name);
    QFETCH(State, state);
    QFETCH(int, code);
    QFETCH(QByteArray, output);
    // The job between two plain ones, so that its records are read among others.
    QList<Job> jobs{jobNamed(7, u"before"_s), jobNamed(8, name), jobNamed(9, u"after"_s)};
    if (state == State::StartFailed)
        jobs[1].failure = u"そのようなファイルはありません"_s;
    QList<Job> ends = jobs;
    for (Job& end : ends) {
        end.state = State::Exited;
        end.ms = 1234;
    }
    ends[1].state = state;
    ends[1].code = code;
    ends[1].signalName = state == State::Signalled ? u"TERM"_s : QString();
    writeRun(jobs, ends, {"a", output, "b"});

    const QList<Job> read = theRun(m_dir->path());
    QCOMPARE(read.size(), 3);
    for (int i : {0, 2})
        QCOMPARE(read[i].state, State::Exited);
    QVERIFY(started(read[1]) == started(jobs[1]));
    const bool ended = state != State::Abandoned && state != State::Running;
    QCOMPARE(read[1].state, ended ? state : State::Interrupted);
    QCOMPARE(read[1].code, ended ? code : 0);
    QCOMPARE(read[1].signalName, ends[1].signalName);
    QCOMPARE(read[1].ms, ended ? 1234 : -1);
    CapturedStream expected;
    expected.append(output);
    QVERIFY(read[1].output == (ended ? expected : CapturedStream()));
    QCOMPARE(read[1].errors.head(), ended ? "err"_ba : QByteArray());
}

void TestJournal::cutShort_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<State>("state");
    QTest::addColumn<qint64>("output");
    QTest::addColumn<QString>("path");
    // Cut in the last job's start record: its end alone tells what it ran.
    QTest::newRow("jobs") << u"jobs"_s << State::Exited << qint64(2) << QString();
    QTest::newRow("joblog") << u"joblog"_s << State::Interrupted << qint64(2) << u"/p/b"_s;
    QTest::newRow("output") << u"output"_s << State::Exited << qint64(0) << u"/p/b"_s;
}

void TestJournal::cutShort()
{
    QFETCH(QString, file);
    QFETCH(State, state);
    QFETCH(qint64, output);
    QFETCH(QString, path);
    QList<Job> ends{jobNamed(1, u"a"_s), jobNamed(2, u"b"_s)};
    for (Job& end : ends)
        end.state = State::Exited;
    writeRun({jobNamed(1, u"a"_s), jobNamed(2, u"b"_s)}, ends, {"o\n", "o\n"});
    const QString run = RunJournal::runs(m_dir->path()).front().folder;
    QFile cut(QDir(run).filePath(file));
    QVERIFY(cut.resize(cut.size() - 3));

    const QList<Job> read = RunJournal::load(run);
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].state, State::Exited);
    QCOMPARE(read[0].output.total(), 2);
    QCOMPARE(read[1].number, 2);
    QCOMPARE(read[1].state, state);
    QCOMPARE(read[1].output.total(), output);
    QCOMPARE(read[1].path, path);
    QCOMPARE(read[1].arguments, jobNamed(2, u"b"_s).arguments);
}

void TestJournal::survivesSigkill()
{
    QProcess run;
    run.start(QString::fromUtf8(LOMVATO_JOURNAL_RUN), {m_dir->path()});
    QVERIFY(run.waitForStarted());
    // 36 ends and the header: the four sleepers hold every place, nothing else will happen.
    const auto endLines = [&] {
        const QList<RunJournal::Run> runs = RunJournal::runs(m_dir->path());
        QFile log(QDir(runs.value(0).folder).filePath(u"joblog"_s));
        return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(endLines(), 37, 30000);
    QTest::qWait(200);
    QCOMPARE(::kill(pid_t(run.processId()), SIGKILL), 0);
    QVERIFY(run.waitForFinished());

    // Jobs 1 to 40 started; each reads back as it ended, so that the jobs that did not end with success are
    // exactly the failed ones and the sleepers.
    const QList<Job> read = theRun(m_dir->path());
    QCOMPARE(read.size(), 40);
    const RunJournal::Run counts = RunJournal::runs(m_dir->path()).front();
    QCOMPARE(std::tuple(counts.jobs, counts.failed, counts.interrupted), std::tuple(40, 25, 4));
    for (const Job& job : read) {
        const int i = job.number;
        QCOMPARE(job.arguments,
                 QStringList({u"/bin/sh"_s, u"-c"_s, JournalRun::script(i), JournalRun::name}));
        QCOMPARE(job.file, JournalRun::script(i));
        const State state = i % 10 == 0 ? State::Interrupted : i % 7 == 0 ? State::Signalled : State::Exited;
        QCOMPARE(job.state, state);
        QCOMPARE(job.code, state == State::Signalled ? SIGKILL : state == State::Exited ? i % 3 : 0);
        if (state != State::Interrupted) {
            QCOMPARE(job.output.head(), u"o%1\n"_s.arg(i).toUtf8());
            QCOMPARE(job.errors.head(), u"e%1\n"_s.arg(i).toUtf8());
        }
    }
    // What is left: every job of the 40 that did not end with success, then the 60 the run never reached,
    // each with what it runs.
    RunResults shown;
    shown.show(read);
    QList<int> left;
    for (int i = 1; i <= JournalRun::jobs; ++i)
        if (i > 40 || i % 10 == 0 || i % 7 == 0 || i % 3 != 0)
            left << i;
    const QList<Job> rest = RunJournal::rest(shown, counts.folder);
    QList<int> numbers;
    for (const Job& job : rest) {
        numbers << job.number;
        QCOMPARE(job.file, JournalRun::script(job.number));
    }
    QCOMPARE(numbers, left);
}

void TestJournal::readsParallelJobLog()
{
    if (QStandardPaths::findExecutable(u"parallel"_s).isEmpty())
        QSKIP("GNU parallel is not installed");
    const QList<QStringList> jobs{{u"/bin/sh"_s, u"-c"_s, u"echo one"_s},
                                  {u"/bin/sh"_s, u"-c"_s, u"exit 4"_s},
                                  {u"/bin/sh"_s, u"-c"_s, u"kill -9 $$"_s},
                                  {u"/bin/echo"_s, u"it's"_s, u"a\nb"_s, NativeName::decode("\xe9")}};
    QByteArray text;
    for (const QStringList& job : jobs)
        text += JobFile::line(job) + '\n';
    const QDir dir(m_dir->path());
    QFile file(dir.filePath(u"jobs.sh"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text + JobFile::trailer(4)) > 0);
    file.close();
    // A stand-in for ssh that runs the command here: it is given the host, "--" and the words of the command.
    QFile ssh(dir.filePath(u"ssh"_s));
    QVERIFY(ssh.open(QIODevice::WriteOnly) &&
            ssh.write("#!/bin/sh\nshift\n[ \"$1\" = -- ] && shift\nexec sh -c \"$*\"\n") > 0);
    ssh.close();
    QVERIFY(ssh.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // Under bash, which runs a line of one command as that command's own process: the job's signal reaches
    // parallel as a signal.
    const auto run = [&](const QString& command) {
        QProcess sh;
        sh.setWorkingDirectory(dir.path());
        sh.start(u"sh"_s, {u"-c"_s, u"PARALLEL_SHELL=/bin/bash "_s + command});
        QString why;
        return sh.waitForFinished(60000) ? JobLog::read(dir.filePath(u"run.log"_s), &why) : QList<Job>();
    };
    QList<Job> read = run(u"parallel --joblog run.log < jobs.sh"_s);
    QCOMPARE(read.size(), 4);
    QCOMPARE(read[2].state, State::Signalled);
    QCOMPARE(read[2].signalName, u"KILL"_s);
    // The failed ones again on node1, where a signal comes back as an exit code: the later lines count.
    read = run(u"parallel --resume-failed --joblog run.log -S 1/node1 --ssh ./ssh < jobs.sh"_s);
    QCOMPARE(read.size(), 4);
    QList<int> failed;
    for (qsizetype i = 0; i < read.size(); ++i) {
        QCOMPARE(read[i].number, i + 1);
        QCOMPARE(read[i].arguments, jobs[i]);
        QCOMPARE(NativeName::encode(read[i].commandLine), JobFile::line(jobs[i]));
        QCOMPARE(read[i].host, RunResults::failed(read[i]) ? u"node1"_s : QString());
        if (RunResults::failed(read[i]))
            failed << read[i].number;
    }
    QCOMPARE(failed, QList<int>({2, 3}));
    QCOMPARE(read[1].code, 4);
    QCOMPARE(read[2].code, 128 + SIGKILL);
}

void TestJournal::keepsTheNewestRuns()
{
    const QDir dir(m_dir->path());
    QVERIFY(dir.mkpath(u"notes"_s));
    RunResults results;
    RunJournal journal(dir.path(), m_clock);
    journal.follow(results);
    QStringList made;
    for (int run = 0; run < 22; ++run) {
        results.clear();
        results.add(jobNamed(1, u"a"_s));
        made << QFileInfo(journal.runFolder()).fileName();
    }
    journal.endRun();
    // All made in the same millisecond: the numbers tell them apart, and 10 comes after 9.
    QCOMPARE(made[9], made[0] + u"-10"_s);
    QStringList kept;
    for (const RunJournal::Run& run : RunJournal::runs(dir.path()))
        kept.prepend(QFileInfo(run.folder).fileName());
    QCOMPARE(kept, made.sliced(2));
    QVERIFY(dir.exists(u"notes"_s));
}

void TestJournal::failingWrite_data()
{
    QTest::addColumn<DiskFault>("fault");
    QTest::newRow("file size limit") << DiskFault::FileSizeLimit;
    QTest::newRow("full disk") << DiskFault::FullDisk;
    QTest::newRow("read-only") << DiskFault::ReadOnly;
}

void TestJournal::failingWrite()
{
    QFETCH(DiskFault, fault);
    const QString folder = m_dir->path();
    const int code = withDiskFault(fault, folder, [&] {
        RunResults results;
        RunJournal journal(folder, m_clock);
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
        for (const RunJournal::Run& run : RunJournal::runs(folder))
            if (run.jobs > 1 || RunJournal::load(run.folder).size() > 1)
                return 2;
        return 0;
    });
    if (code == faultUnavailable)
        QSKIP("this machine does not allow the fault");
    QCOMPARE(code, 0);
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
