#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

class JobPreview;
class QThread;

namespace RegularFile
{
class Replacement;
}

// The jobs of a run written for the POSIX shell: one line per job, in run order, then three comment lines,
// so that job N is line N, GNU parallel's Seq N and a cluster's job array task N, and `sh jobs.sh`,
// `parallel < jobs.sh` and an array task that runs one line all give each program exactly the arguments
// Lomvato would give it, under sh, bash, dash and GNU parallel alike (parallel runs each comment line as a
// job that does nothing, after the real ones). Every argument is quoted where it needs it, in single quotes
// (a quote in it as '\''), and names that are not UTF-8 are written as their own bytes (NativeName), so the
// file is UTF-8 except where a name is not. The program word is always quoted: bare, `time`, `if` or `{x`
// would be a keyword, `a=b` an assignment, `~x` a home folder, and a line that begins with `-` is taken for
// options by the `sh -c` of GNU parallel. bash takes any first word that begins with % for a job, quoted or
// not, so such a program runs as (exec '%x' ...). A line break inside an argument would break the one line
// per job, so a line that holds one first sets the variable nl to a line break (nl=$(printf '\n.');
// nl=${nl%.}) and writes each break as '"$nl"'; other lines carry no such prefix. A job whose command line
// has no words is written as `false`, a job that fails, as its start would.
namespace JobFile
{
// GNU parallel reads a line of at most half the longest single argument the system passes (128 KiB on
// Linux, which parallel finds by a search that settles up to 1 % below it) less the 3,000 bytes it keeps
// for its own wrapping; it stops at a longer line. Lines longer than this may be refused by it.
constexpr qsizetype parallelLongestLine = 63'379; // bytes, without the line's end

// One word for the shell; `program` for the first word of a line.
QByteArray quote(QByteArrayView word, bool program = false);
// The line of one job: the program followed by its arguments, as the launcher passes them.
QByteArray line(const QStringList& arguments);
// The program and its arguments of a line as line() writes it, each as the launcher gives it; nothing for any
// other line (a command written by hand, a comment).
std::optional<QStringList> arguments(QByteArrayView line);
// The comment lines after the jobs.
QByteArray trailer(int jobs);
// A whole job file of a few jobs (the failed jobs of a run, to be sent back), each the program followed by
// its arguments.
QByteArray text(const QList<QStringList>& jobs);
// What to tell the user of the jobs (numbered from 1) whose lines GNU parallel will not read.
QString parallelRefusal(const QList<int>& jobs);
} // namespace JobFile

// Writes the job file of `jobs` to `path` through the checked writer, a slice of jobs at a time from the
// event loop, so that a batch of hundreds of thousands of jobs leaves the window answering. The old file
// stays until the new one is whole; a failure, a cancel or a change of the jobs meanwhile leaves it as it
// was.
class JobFileExport : public QObject
{
    Q_OBJECT
public:
    JobFileExport(const JobPreview& jobs, const QString& path, QObject* parent = nullptr);
    ~JobFileExport() override;

    int total() const { return m_total; }
    void start();
    void cancel();
    // Why the file was not written; empty when it was or when the export was cancelled.
    QString error() const { return m_error; }
    // The jobs (numbered from 1) whose lines are longer than GNU parallel reads.
    const QList<int>& tooLongForParallel() const { return m_tooLong; }

signals:
    void progress(int jobsWritten);
    void finished(bool written);

private:
    void step();
    void end(bool written, const QString& error = {});

    const JobPreview& m_jobs;
    std::unique_ptr<RegularFile::Replacement> m_file;
    QTimer m_steps;
    std::unique_ptr<QThread> m_commit;
    bool m_committed = false;
    int m_total = 0;
    int m_next = 0;
    QString m_error;
    QList<int> m_tooLong;
};
