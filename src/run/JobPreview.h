#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class WorkTable;
class ProcessLauncher;
class FileSystem;

// Every job of the run as it would start now, in run order (batch entry outer, file row inner): one row per
// job with its number, its batch entry, its file (<c2>), the command line as the run logs it and the program
// with its arguments as the launcher passes them. Rows are computed when they are asked for, from the same
// expansion and the same launcher code the run uses; nothing is computed per row in advance, so that a
// batch of hundreds of thousands of jobs opens at once. The model follows the lists as they are edited.
class JobPreview : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Number, Entry, File, CommandLine, Arguments, ColumnCount };
    // The program followed by its arguments (QStringList), for every column.
    static constexpr int ArgumentsRole = Qt::UserRole;

    JobPreview(const WorkTable& table, const ProcessLauncher& launcher, const FileSystem& files,
               QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The application-key problem lines a run would report now; empty when there are none.
    QString problems() const;
    // The batch entry and the file row (0-based) of job `job` (0-based).
    int entryOf(int job) const;
    int fileRowOf(int job) const;
    QString commandLine(int job) const;
    QStringList arguments(int job) const;

    // The arguments one after the other, each between ‹ and ›, so that the bounds of every argument show.
    static QString bounded(const QStringList& arguments);

private:
    struct Job {
        int number = -1;
        QString commandLine;
        QStringList arguments;
    };
    // The job computed last: a view asks for every column of a row in turn.
    const Job& job(int number) const;
    void invalidate();

    const WorkTable& m_table;
    const ProcessLauncher& m_launcher;
    const FileSystem& m_files;
    mutable Job m_last;
};
