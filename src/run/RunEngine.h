#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class WorkTable;
class ProcessLauncher;
class ProcessHandle;
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

    // Shorter periods for tests that run real programs; the order of the steps stays.
    void setPeriods(int pollMs, int waitMs);

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

private:
    // Sets the run button's state and whether a run is active, and tells the window when either changed.
    void setState(bool canStart, bool running);
    // Checks the application keys as a run does; false (after the message) when the run must not start.
    bool keysSound();
    void begin(int entryCursor, int fileCursor);
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
    bool m_single = false; // the run is one job only
    // 1-based cursors of the current job: the batch entry (outer loop) and the file row (inner loop).
    int m_entryCursor = 0;
    int m_fileCursor = 0;
    qint64 m_processId = 0;
    std::unique_ptr<ProcessHandle> m_handle;
    QString m_note;
    QString m_progress;
};
