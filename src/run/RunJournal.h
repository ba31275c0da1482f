#pragma once

#include "RunResults.h"
#include "RunSettings.h"
#include "platform/AppendFile.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class Clock;
class RunEngine;

// The journal of the runs, so that the next start shows the last run however Lomvato ended: a folder of runs
// (runs/ beside log.ini), one folder a run named by its start time (20261207-161530-123), so that the names
// sort by time; a run whose time would not sort after the newest takes the newest's name with the next number
// (-2, -3 ...). A run's folder holds
// - joblog: GNU parallel's job log (JobLog), a line appended at each job's end;
// - jobs: a line appended at each job's start, with everything the results know of the job then;
// - output: what each job wrote (both streams, as kept), a framed record appended at its end.
// Each record reaches the kernel at once, so that a crash or SIGKILL of Lomvato loses no job that ended; the
// files reach the disk at most once a second and at the run's end, so that a power cut loses at most the last
// second. A job started and never ended reads back as Interrupted; a line or record cut short is left out.
// A journal that cannot be written stops for that run and says so once; the run goes on.
class RunJournal : public QObject
{
    Q_OBJECT
public:
    // Milliseconds between two syncs of a run's files to the disk.
    static constexpr int syncPeriod = 1000;

    // Keeps the newest `keep` runs in `folder`: a run that begins removes the older ones.
    RunJournal(const QString& folder, const Clock& clock, int keep = RunSettings().keptRuns,
               QObject* parent = nullptr);
    ~RunJournal() override;

    // Writes the runs of `results`: a run begins with begin() or the first job after the table is reset, and
    // ends at the next reset or at endRun(). Jobs left running at a close (abandonRunning) get no end.
    void follow(const RunResults& results);
    // Writes the runs of `engine`: its results, and from the start of each run the jobs it plans, so that the
    // jobs it never reaches can be run later. The plan is written a slice at a time between the window's
    // events, well ahead of the jobs, and whole by the run's end.
    void follow(const RunEngine& engine);
    QString folder() const { return m_folder; }
    // The folder of the run being written; empty between runs.
    QString runFolder() const { return m_run; }
    void setKeep(int keep) { m_keep = keep; }

    struct Run {
        QString folder;
        QDateTime start;
        int jobs = 0;
        int failed = 0;
        int interrupted = 0;
    };
    // The runs kept in `folder`, newest first.
    static QList<Run> runs(const QString& folder);
    // Their folders alone, newest first, without reading them.
    static QStringList runFolders(const QString& folder);
    static QDateTime startOf(const QString& runFolder);
    // One run's start and counts: its start and end records are read.
    static Run run(const QString& runFolder);
    // The jobs of a run's folder in the order they started, with their outcome and output. Output is read up
    // to `outputBudget` bytes in all, so that a run of loud jobs cannot fill the memory; the rest stays in
    // the files.
    static constexpr qint64 outputBudget = qint64{256} * 1024 * 1024;
    static QList<RunResults::Job> load(const QString& runFolder);
    // What is left to run of the shown jobs and of the run `runFolder` (empty for none): every job shown that
    // did not end with 正常終了 (as it ran), and every job the run planned and never started, by number.
    static QList<RunResults::Job> rest(const RunResults& shown, const QString& runFolder);

public slots:
    // The run is over: the rest of its plan is written, its files go to the disk and are closed.
    void endRun();

signals:
    // The journal of the current run could not be written and stops; the run goes on.
    void failed(const QString& why);
    void runBegun(const QString& runFolder);

private:
    void begin(qsizetype plannedJobs);
    // Writes plan records for about `budgetMs` milliseconds, or all that are left for a negative budget.
    void writePlan(qint64 budgetMs);
    void tableReset();
    void jobAdded(int index);
    void jobFinished(int index);
    bool beginRun();
    void removeOldRuns() const;
    void write(AppendFile& file, QByteArrayView bytes);
    void sync();
    void fail(const QString& why);
    void close();

    QString m_folder;
    const Clock& m_clock;
    int m_keep;
    const RunResults* m_results = nullptr;
    const RunEngine* m_engine = nullptr;
    qsizetype m_planned = 0; // plan records written
    qsizetype m_planSize = 0;
    QTimer m_planSteps;
    AppendFile m_plan;
    QString m_run;
    bool m_failed = false;
    bool m_foldersSynced = false;
    AppendFile m_jobs;
    AppendFile m_log;
    AppendFile m_output;
    QTimer m_sync;
};
