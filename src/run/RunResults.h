#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// How every job of the current or last run ended, one row a job in the order they started. The activity log
// stays as it is; this table is kept beside it and is not stored.
class RunResults : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class State { Running, Exited, Signalled, StartFailed, Abandoned, Ended };
    struct Job {
        int entry = 0; // 0-based batch entry and file row when the job started
        int row = 0;
        QString key; // the entry's application key and name
        QString app;
        QString file; // <c2>
        QString path; // <c5>
        QDateTime start;
        qint64 ms = -1; // duration, once ended
        State state = State::Running;
        int code = 0; // exit code or signal number
        QString signalName;
    };
    enum Column { Number, Entry, File, Path, Start, Duration, Outcome, ColumnCount };
    // Data role answering whether a row's job failed.
    static constexpr int FailedRole = Qt::UserRole;

    explicit RunResults(QObject* parent = nullptr);

    void clear();
    // Returns the job's row.
    int add(const Job& job);
    void finish(int index, State state, int code, qint64 ms, const QString& signalName = {});
    // A run ended by an abort or a close: jobs still running are left to themselves.
    void abandonRunning();

    const Job& job(int index) const { return m_jobs[index]; }
    int count() const { return static_cast<int>(m_jobs.size()); }
    static bool failed(const Job& job);
    // The failed jobs' batch entries and file rows (0-based), in order.
    QList<QPair<int, int>> failedJobs() const;
    // "完了 120 件 / 失敗 3 件", with the abandoned jobs where there are any.
    QString summary() const;
    static QString outcomeText(const Job& job);
    // The table as shown, UTF-8 with a byte-order mark, lines ended by CR LF.
    QByteArray toCsv() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString text(const Job& job, int column, int number) const;

    QList<Job> m_jobs;
};
