#pragma once

#include "RunResults.h"
#include "platform/ProcessLauncher.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class WorkTable;
class FileSystem;
class Clock;
class Dialogs;

// The batch run: every file row is sent to every batch entry, one job at a time (entry 1 with rows 1..n, then
// entry 2, ...). A job expands the entry's parameter text for the row, starts the command line, waits a
// moment, opens the process for status queries and is polled until the process has ended. Every step goes
// into the activity log. The lists stay editable during a run: counts and cells are read afresh at every
// step.
//
// While a run is active the run button is disabled and the abort button enabled. An abort is honoured at the
// next poll tick; the running program is abandoned, never stopped.
//
// At the fast pace no tick and no wait are involved: a job's end is noticed from its process's end
// descriptor, and up to `parallel` jobs run at once, started in the same order and logged with the same
// entries as they start and end. An abort starts nothing more and abandons the running jobs; the all-sent
// entry comes after the last running job has ended. How each job ended goes into results().
class RunEngine : public QObject
{
    Q_OBJECT
public:
    // Milliseconds between two polls of a running job, and from a start to opening the process.
    static constexpr int PollPeriod = 2000;
    static constexpr int OpenDelay = 1000;

    RunEngine(WorkTable& table, ProcessLauncher& launcher, const FileSystem& files, const Clock& clock,
              Dialogs& dialogs, QObject* parent = nullptr);
    ~RunEngine() override;

    // Milliseconds between two status queries at the fast pace, only for processes without an end descriptor.
    static constexpr int FastPollPeriod = 10;

    // Shorter periods for tests that run real programs; the order of the steps stays.
    void setPeriods(int pollMs, int waitMs);
    // The pace from the next run on: the unhurried one, or the fast one with up to `parallel` jobs at once.
    void setPace(bool fast, int parallel);

    RunResults& results() { return m_results; }
    // Jobs running now (at the fast pace; the unhurried pace has at most one).
    int runningJobs() const { return static_cast<int>(m_slots.size()); }

    // Whether the run button is enabled. Registering a batch entry enables it and clearing the batch list
    // disables it. During a run it stays disabled, so that a second run can never overlap the first; the end
    // of the run enables it again.
    bool canStart() const { return m_canStart; }
    void setCanStart(bool enabled);

    // True from the start of a run until it has ended or an abort has been honoured; the abort button is
    // enabled exactly then.
    bool isRunning() const { return m_running; }
    // The abort button was pressed; the next tick ends the run.
    bool abortPending() const { return m_abort; }
    // The current job's process identifier; 0 when its start failed.
    qint64 processId() const { return m_processId; }
    bool pollTimerActive() const { return m_pollTimer.isActive(); }

    // The status bar's text: "実行中 k/n" during a run, k the number of the job being run and n the number of
    // jobs as the lists stand now; empty outside a run.
    QString progressText() const;

    // The note box Text3. When a job ends, a note in it is logged and the box emptied.
    void setNote(const QString& note) { m_note = note; }
    QString note() const { return m_note; }

public slots:
    // The run button: checks the application keys and starts the first job.
    void start();
    // Runs the one job of batch entry `entry` and file row `row` (0-based) as a run of its own, with the
    // run's checks and log entries; the window's completion action does not follow it. Ignored during a run.
    void runOne(int entry, int row);
    // Runs the given jobs (batch entry and file row, 0-based) in their order as a run of its own, like
    // runOne; a job whose entry or row no longer exists is passed over. Ignored during a run.
    void runJobs(const QList<QPair<int, int>>& jobs);
    // Starts the job at the cursors.
    void Workstart();
    // One poll of the current job: ends the run after an abort, or waits, or moves on to the next job.
    void poll();
    // The abort button: the next poll ends the run.
    void requestAbort();
    // Ends the moment after a start: opens the started process for status queries. The wait timer calls it.
    void openProcess();

signals:
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
    // Sets the run button's state and whether a run is active, and tells the window when either changed.
    void setState(bool canStart, bool running);
    // Checks the application keys as a run does; false (after the message) when the run must not start.
    bool keysSound();
    // One job of the fast pace.
    struct Slot;
    void begin(int entryCursor, int fileCursor);
    // Sets the cursors to the next given job that still exists; false when none is left.
    bool nextGiven();
    // Fast pace: the cursors move on to the next job, reading the counts afresh; false when none is left.
    bool nextJob();
    // Fast pace: starts jobs until `parallel` run or none is left, and ends the run after the last one.
    void fill();
    void startSlot();
    void endSlot(Slot& slot);
    void pollSlots();
    void abandon();
    // Logs the end of the job of the given cursors, with the note if there is one.
    void logEnd(int entryCursor, int fileCursor);
    // Logs the start of the job at the cursors and returns its command line.
    QString logStart();
    void logStartFailed();
    ProcessLauncher::Started launch(const QString& commandLine);
    // Adds the job at the cursors to the results.
    int record();
    void recordEnd(int result, qint64 pid, ProcessHandle* handle, qint64 ms);
    // Moves the cursors on after a job, reading the counts afresh; ends the run when no job is left.
    void advance();
    void finish();
    void releaseProcess();
    void updateProgress();
    // The current entry's application and the current row's <c2>; empty when they no longer exist.
    QString currentApp() const;
    QString currentFile() const;
    void logTimed(const QString& message, int lineBreaks = 2);

    WorkTable& m_table;
    ProcessLauncher& m_launcher;
    const FileSystem& m_files;
    const Clock& m_clock;
    Dialogs& m_dialogs;

    QTimer m_pollTimer;
    QTimer m_waitTimer;
    bool m_canStart = false;
    bool m_running = false;
    bool m_abort = false;
    bool m_waitPending = false;
    bool m_paceFast = false;
    int m_paceParallel = 1;
    bool m_fast = false; // the pace of the current run
    int m_parallel = 1;
    bool m_given = false; // the run is of given jobs only
    QList<QPair<int, int>> m_givenJobs;
    qsizetype m_nextGiven = 0;
    bool m_startedAny = false; // fast pace: the cursors stand at a job that has been started
    bool m_exhausted = false;  // fast pace: no job is left to start
    int m_endedJobs = 0;
    // 1-based cursors of the current job: the batch entry (outer loop) and the file row (inner loop).
    int m_entryCursor = 0;
    int m_fileCursor = 0;
    qint64 m_processId = 0;
    std::unique_ptr<ProcessHandle> m_handle;
    std::unique_ptr<ProcessHandle> m_pending; // opened at the start, taken up after the wait
    int m_result = -1;
    QElapsedTimer m_jobTime;
    std::vector<std::unique_ptr<Slot>> m_slots;
    RunResults m_results;
    QString m_note;
    QString m_progress;
};
