#pragma once

#include "CapturedStream.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// How every job of the current or last run ended, one row a job in the order they started, with what it ran
// and what it wrote; or a past run read back from its journal. The activity log stays as it is; the journal
// (RunJournal) follows this table through jobAdded() and jobFinished().
class RunResults : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Interrupted: a job of a journal that had started and has no end (Lomvato ended meanwhile).
    enum class State { Running, Exited, Signalled, StartFailed, Abandoned, Ended, Interrupted };
    struct Job {
        // The job's number in its batch, from 1, in JobOrder: the preview's, the job file's line and the
        // Seq that GNU parallel gives it in a job log. It stays with the job when it is run again.
        int number = 0;
        QString host;  // where it ran, from a job log of GNU parallel; empty for this machine
        int entry = 0; // 0-based batch entry and file row when the job started
        int row = 0;
        QString key; // the entry's application key and name
        QString app;
        QString file; // <c2>
        QString path; // <c5>
        // What it ran: the command line as logged, the registered programs it was split with, and the
        // program followed by its arguments as the launcher passed them.
        QString commandLine;
        QStringList knownPrograms;
        QStringList arguments;
        QDateTime start;
        qint64 ms = -1; // duration, once ended
        State state = State::Running;
        int code = 0; // exit code or signal number
        QString signalName;
        QString failure; // why it could not be started
        CapturedStream output;
        CapturedStream errors;

        // The same job to be run again: where it came from and what it ran (also the arguments, by which a
        // job of a past run is run again), without how it ended.
        Job again() const;
    };
    enum class Stream { Output, Errors };
    // Host: where a job of a cluster's job log ran; shown only when a job has one.
    enum Column { Number, Entry, File, Path, Start, Duration, Outcome, Host, ColumnCount };
    // Data role answering whether a row's job failed.
    static constexpr int FailedRole = Qt::UserRole;

    explicit RunResults(QObject* parent = nullptr);

    void clear();
    // Shows the jobs of a past run in place of the current ones.
    void show(const QList<Job>& jobs);
    bool showsPastRun() const { return m_past; }
    // Returns the job's row.
    int add(const Job& job);
    void finish(int index, State state, int code, qint64 ms, const QString& signalName = {});
    void setFailure(int index, const QString& failure);
    // Adds what a job wrote to one of its streams.
    void appendOutput(int index, Stream stream, QByteArrayView bytes);
    // Counts the clears, so that output arriving for a job of an earlier run can be told and dropped.
    quint64 generation() const { return m_generation; }
    // A run ended by an abort or a close: jobs still running are left to themselves. They have no known end:
    // no jobFinished().
    void abandonRunning();

    const Job& job(int index) const { return m_jobs[index]; }
    int count() const { return static_cast<int>(m_jobs.size()); }
    static bool failed(const Job& job);
    // Whether a job ran elsewhere (a job of a cluster's job log).
    bool anyHost() const;
    // The failed jobs, in order, as they ran.
    QList<Job> failedJobs() const;
    // "完了 120 件 / 失敗 3 件", with the abandoned jobs where there are any.
    QString summary() const;
    static QString outcomeText(const Job& job);
    // What job `index` ran and what it wrote, as text for a person: the command line, the arguments, why it
    // could not start, then its output and its error output.
    QString details(int index) const;
    // The table as shown, UTF-8 with a byte-order mark, lines ended by CR LF.
    QByteArray toCsv() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A job's captured output grew.
    void outputChanged(int index);
    void jobAdded(int index);
    // A job's end is known: how it ended, and all it wrote before.
    void jobFinished(int index);

private:
    QString text(const Job& job, int column, int number) const;
    void setEnd(int index, State state, int code, qint64 ms, const QString& signalName);
    void replace(const QList<Job>& jobs, bool past);

    QList<Job> m_jobs;
    quint64 m_generation = 0;
    bool m_past = false;
};
