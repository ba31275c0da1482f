#pragma once

#include "RunResults.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// GNU parallel's job log (--joblog), as parallel writes it and as the journal of a run writes it: a header,
// then one line per ended job, in the order they ended, of tab-separated fields: Seq (the job's number), Host
// (":" for this machine), Starttime (seconds since the epoch, 3 decimals), JobRuntime (seconds, 3 decimals,
// right-aligned in 10 characters), Send, Receive (bytes the job wrote to its output), Exitval, Signal (its
// number, 0 for none) and Command (the job's line; a line break in it as a NUL byte). A job that parallel
// runs again (--resume-failed, --retries) gets another line later with the same Seq: the last one counts.
namespace JobLog
{
// The exit code of a job that could not start, as a shell gives it for a program it cannot run.
constexpr int startFailedCode = 127;

QByteArray header();
// The line of an ended job, with its line end; a job whose end is not known has the exit code -1.
QByteArray line(const RunResults::Job& job);
// The job that one line (without its line end) tells of, as far as a job log tells: number, host, start,
// duration, outcome and what it ran. Nothing for the header, for a comment line of the job file that
// parallel ran as a job, and for a line that is not one of a job log.
// Without `readCommand` the job's arguments are not read back from its command (a reader that has them).
std::optional<RunResults::Job> parse(QByteArrayView line, bool readCommand = true);
// The number of the job one line tells of and whether it failed, read as parse() reads them: all that
// counting a run's jobs needs.
std::optional<std::pair<int, bool>> failure(QByteArrayView line);
// The whole lines of `bytes`: a last line without its end was cut short by a crash and is no line yet.
QList<QByteArrayView> wholeLines(QByteArrayView bytes);
// The largest job log read: some million jobs.
constexpr qint64 largestFile = qint64{512} * 1024 * 1024;
// The jobs of a job log file, one a number, by number; `why` says why a file is not read (not a regular
// file, too large, not a job log).
QList<RunResults::Job> read(const QString& path, QString* why);
} // namespace JobLog
