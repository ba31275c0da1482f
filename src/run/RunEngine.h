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
// The run button Command10 and the abort button Command11 are the run's mode: while a run is active Command10
// is disabled and Command11 enabled. An abort is honoured at the next poll tick; the running program is
// abandoned, never stopped.
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

    bool command10Enabled() const { return m_command10; }
    bool command11Enabled() const { return m_command11; }
    // Registering a batch entry enables the run button and clearing the batch list disables it. During a
    // run the button stays disabled, so that a second run can never overlap the first; the end of the run
    // enables it again.
    void setCommand10Enabled(bool enabled);

    // True from the start of a run until it has ended or an abort has been honoured.
    bool isRunning() const { return m_running; }
    // The abort button was pressed; the next tick ends the run.
    bool abortPending() const { return m_abort; }
    // 1-based cursors of the current job: the batch entry (outer loop) and the file row (inner loop).
    int entryCursor() const { return m_entryCursor; }
    int fileCursor() const { return m_fileCursor; }
    // The current job's process identifier; 0 when its start failed.
    qint64 processId() const { return m_processId; }
    // The current job's process is opened for status queries.
    bool processOpen() const { return m_handle != nullptr; }
    // The moment between a start and opening the process is still running.
    bool waiting() const { return m_waitPending; }
    bool pollTimerActive() const { return m_pollTimer.isActive(); }

    // The status bar's text: "実行中 k/n" during a run, k the number of the job being run and n the number of
    // jobs as the lists stand now; empty outside a run.
    QString progressText() const;

    // The note box Text3. When a job ends, a note in it is logged and the box emptied.
    void setNote(const QString& note) { m_note = note; }
    QString note() const { return m_note; }

public slots:
    // The run button: checks the application keys and starts the first job.
    void Command10_Click();
    // Runs the one job of batch entry `entry` and file row `row` (0-based) as a run of its own, with the
    // run's checks and log entries; the window's completion action does not follow it. Ignored during a run.
    void runOne(int entry, int row);
    // Starts the job at the cursors.
    void Workstart();
    // One poll of the current job: ends the run after an abort, or waits, or moves on to the next job.
    void Timer1_Timer();
    // The abort button.
    void Command11_Click();
    // Ends the moment after a start: opens the started process for status queries. The wait timer calls it.
    void openProcess();

signals:
    void buttonsChanged(bool command10, bool command11);
    // Bring the tab "ログ" to the front.
    void showLogTab();
    void progressChanged(const QString& text);
    // The last job has ended; the all-sent entry is logged and the buttons are idle again. The window runs
    // the completion action.
    void allDone();
    void noteChanged(const QString& note);

private:
    void setButtons(bool command10, bool command11);
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
    bool m_command10 = false;
    bool m_command11 = false;
    bool m_running = false;
    bool m_abort = false;
    bool m_waitPending = false;
    bool m_single = false; // the run is one job only
    int m_entryCursor = 0;
    int m_fileCursor = 0;
    qint64 m_processId = 0;
    std::unique_ptr<ProcessHandle> m_handle;
    QString m_note;
    QString m_progress;
};
