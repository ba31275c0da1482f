#pragma once

#include "JobOrder.h"
#include "RunResults.h"
#include "platform/ProcessLauncher.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class WorkTable;
class FileSystem;
class Clock;
class Dialogs;

// The batch run: every file row is sent to every batch entry (JobOrder). A job expands the entry's parameter
// text for the row, starts the command line and is watched until its process has ended; every step goes into
// the activity log, and how each job ended, with what it ran and wrote, into results(). The lists stay
// editable during a run: counts and cells are read afresh at every step.
//
// One state machine serves both paces; a run holds up to `parallel` jobs at once, each in a slot.
// - The unhurried pace has one slot: after a start it waits a moment (OpenDelay) before it takes the process
//   for status queries, and polls every PollPeriod; an abort is honoured at the next poll.
// - The fast pace has `parallel` slots and no wait: a job's end is noticed from its process's end descriptor
//   (or by polling every FastPollPeriod where there is none), and an abort at once.
// Every step returns to the event loop before the next, a failed start included, so the window answers
// however many jobs fail. Running programs are never stopped: an abort, a close or a run started over leaves
// them to run on, and their output is still read until they close it.
//
// The run button is enabled again by the end of a run and by registering a batch entry, also during a run:
// pressing it then starts the run over from the first job.
class RunEngine : public QObject
{
    Q_OBJECT
public:
    // Milliseconds between two polls of a running job, and from a start to opening the process.
    static constexpr int PollPeriod = 2000;
    static constexpr int OpenDelay = 1000;
    // Milliseconds between two status queries at the fast pace, only for processes without an end descriptor.
    static constexpr int FastPollPeriod = 10;

    RunEngine(WorkTable& table, ProcessLauncher& launcher, const FileSystem& files, const Clock& clock,
              Dialogs& dialogs, QObject* parent = nullptr);
    ~RunEngine() override;

    // The pace from the next run on: the unhurried one, or the fast one with up to `parallel` jobs at once.
    void setPace(bool fast, int parallel);

    RunResults& results() { return m_results; }
    const RunResults& results() const { return m_results; }
    // Jobs running now.
    int runningJobs() const { return static_cast<int>(m_slots.size()); }

    // Job `index` (from 0) of the current run as it would start now; none where the lists have shrunk below
    // it.
    std::optional<RunResults::Job> plannedJob(qsizetype index) const;

    bool canStart() const { return m_canStart; }
    void setCanStart(bool enabled);

    // True from the start of a run until it has ended or an abort has been honoured; the abort button is
    // enabled exactly then.
    bool isRunning() const { return m_running; }
    bool abortPending() const { return m_abort; }
    // The process identifier of the job started last; 0 when its start failed.
    qint64 processId() const { return m_processId; }
    bool pollTimerActive() const { return m_pollTimer.isActive(); }

    // The status bar's text during a run, empty outside one: "実行中 k/n" at the unhurried pace (k the job
    // being run, n the jobs as the lists stand now), "終了 n 件 / 実行中 n 件 / 残り n 件" at the fast pace.
    QString progressText() const { return m_progress; }

    // The note box. When a job ends, a note in it is logged and the box emptied.
    void setNote(const QString& note) { m_note = note; }
    QString note() const { return m_note; }

public slots:
    // The run button: checks the application keys and starts the first job.
    void start();
    // Runs the one job of batch entry `entry` and file row `row` (0-based) as a trial: logged like a run, but
    // the completion action does not follow it. Ignored during a run.
    void runOne(int entry, int row);
    // Runs the given jobs again, each exactly as it ran before (its command line, split as it was), whatever
    // the lists hold now; a run like any other, ended by the completion action. Ignored during a run.
    void runAgain(const QList<RunResults::Job>& jobs);
    // Looks at the running jobs: ends the run after an abort, ends the jobs whose processes have ended and
    // starts the next ones.
    void poll();
    // The abort button: nothing more is started; the running programs are left to run.
    void requestAbort();
    // The moment after a start is over: the unhurried pace takes the process for status queries.
    void openProcess();
    // The window closes during a run: the run ends here without its completion action, and the jobs still
    // running are left to run (放置).
    void leave();

signals:
    // A run begins with `jobs` jobs, as the lists stand now (they may still change during the run); each is
    // plannedJob().
    void begun(qsizetype jobs);
    // The run button's and the abort button's state.
    void buttonsChanged(bool canStart, bool running);
    // Bring the tab "ログ" to the front.
    void showLogTab();
    void progressChanged(const QString& text);
    // The last job has ended; the all-sent entry is logged and the buttons are idle again. The window runs
    // the completion action.
    void allDone();
    void noteChanged(const QString& note);
    // The run is over: all sent, or aborted.
    void ended();

private:
    void startPolling();
    struct Slot;
    class OutputReader;

    // Checks the application keys as a run does; false (after the message) when the run must not start.
    bool keysSound();
    void begin();
    // The next job of the run, as the lists or the given jobs stand now; false when none is left.
    bool takeNext(RunResults::Job& job);
    RunResults::Job jobAt(JobPosition position) const;
    void startJob(RunResults::Job job);
    void watch(Slot& slot);
    void readOutput(Slot& slot, UniqueFd& fd, RunResults::Stream stream);
    bool hasEnded(const Slot& slot) const;
    void endJob(Slot& slot);
    // Starts jobs until the run's places are taken or none is left; ends the run after the last one.
    void fill();
    // Asks for a poll at the next turn of the event loop.
    void pollSoon();
    void abandon();
    void finish();
    void logEnd(const Slot& slot);
    void setState(bool canStart, bool running);
    void updateProgress();
    void logTimed(const QString& message, int lineBreaks = 2);

    WorkTable& m_table;
    ProcessLauncher& m_launcher;
    const FileSystem& m_files;
    const Clock& m_clock;
    Dialogs& m_dialogs;

    QTimer m_pollTimer;
    QTimer m_waitTimer;
    QTimer m_soon;
    bool m_canStart = false;
    bool m_running = false;
    bool m_abort = false;
    bool m_paceFast = false;
    int m_paceParallel = 1;
    // The current run.
    bool m_fast = false;
    int m_places = 1;
    bool m_trial = false;
    bool m_exhausted = false;
    // Where the run stands: in the lists, or in the given jobs.
    bool m_given = false;
    QList<RunResults::Job> m_givenJobs;
    qsizetype m_nextGiven = 0;
    JobPosition m_position;
    bool m_startedAny = false;
    int m_endedJobs = 0;
    qint64 m_processId = 0;
    // Before the readers, which write into it.
    RunResults m_results;
    std::vector<std::unique_ptr<Slot>> m_slots;
    // Output still being read, also of jobs that have ended or been left.
    std::vector<std::unique_ptr<OutputReader>> m_readers;
    QString m_note;
    QString m_progress;
};
