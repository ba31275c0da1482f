#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

class JobPreview;

// The jobs of a run written for the POSIX shell: after a few comment lines, one line per job, in run order,
// so that `sh jobs.sh`, `parallel < jobs.sh` and a cluster's job array that runs line N all give each program
// exactly the arguments Lomvato would give it. Every word is quoted where it needs it, in single quotes (a
// quote in it as '\''), and names that are not UTF-8 are written as their own bytes (NativeName), so the file
// is UTF-8 except where a name is not. A line break inside an argument would break the one line per job, so
// a line that holds one first sets the variable nl to a line break (nl=$(printf '\n.'); nl=${nl%.}) and
// writes each break as '"$nl"'; other lines carry no such prefix. A job whose command line has no words is
// written as `false`, a job that fails, as its start would.
namespace JobFile
{
// One word for the shell; `program` for the first word of a line, where a bare `a=b` would be an assignment.
QByteArray quote(QByteArrayView word, bool program = false);
// The line of one job: the program followed by its arguments, as the launcher passes them.
QByteArray line(const QStringList& arguments);
// The whole file.
QByteArray write(const JobPreview& jobs);
// Writes the file; false when it could not be written.
bool save(const QString& path, const JobPreview& jobs);
} // namespace JobFile
