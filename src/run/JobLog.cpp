#include "JobLog.h"

#include "JobFile.h"
#include "platform/NativeName.h"
#include "platform/ProcessLauncher.h"
#include "platform/RegularFile.h"

#include <QFile>

#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace
{
constexpr int unknownEndCode = -1;

// Milliseconds as seconds with 3 decimals.
QByteArray seconds(qint64 ms)
{
    ms = std::max<qint64>(ms, 0);
    return QByteArray::number(ms / 1000) + '.' + QByteArray::number(ms % 1000).rightJustified(3, '0');
}

std::optional<qint64> milliseconds(QByteArrayView text)
{
    bool ok = false;
    const double s = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(s) || s < 0 || s > 1e12)
        return std::nullopt;
    return std::llround(s * 1000);
}
} // namespace

QByteArray JobLog::header()
{
    return "Seq\tHost\tStarttime\tJobRuntime\tSend\tReceive\tExitval\tSignal\tCommand\n";
}

QByteArray JobLog::line(const RunResults::Job& job)
{
    using State = RunResults::State;
    const int exitValue = job.state == State::StartFailed ? startFailedCode
                          : job.state == State::Exited    ? job.code
                          : job.state == State::Ended     ? unknownEndCode
                                                          : 0;
    const int signal = job.state == State::Signalled ? job.code : 0;
    const QByteArray host = job.host.isEmpty() ? ":" : job.host.toUtf8();
    return QByteArray::number(job.number) + '\t' + host + '\t' + seconds(job.start.toMSecsSinceEpoch()) +
           '\t' + seconds(job.ms).rightJustified(10, ' ') + "\t0\t" + QByteArray::number(job.output.total()) +
           '\t' + QByteArray::number(exitValue) + '\t' + QByteArray::number(signal) + '\t' +
           JobFile::line(job.arguments) + '\n';
}

namespace
{
// What every reader of a line needs: its fields up to Signal, checked, and its command with its line breaks.
struct Fields {
    int number = 0;
    QByteArrayView host;
    qint64 start = 0;
    qint64 ms = 0;
    int exitValue = 0;
    int signal = 0;
    QByteArray command;
};

std::optional<Fields> split(QByteArrayView line)
{
    QList<QByteArrayView> fields;
    for (int i = 0; i < 8; ++i) {
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0)
            return std::nullopt;
        fields << line.first(tab);
        line = line.sliced(tab + 1);
    }
    Fields f;
    f.command = line.toByteArray();
    f.command.replace('\0', '\n');
    if (f.command.trimmed().startsWith('#'))
        return std::nullopt;
    bool numbers[3] = {};
    f.number = fields[0].toInt(&numbers[0]);
    f.exitValue = fields[6].toInt(&numbers[1]);
    f.signal = fields[7].toInt(&numbers[2]);
    const std::optional<qint64> start = milliseconds(fields[2]);
    const std::optional<qint64> ms = milliseconds(fields[3]);
    if (!std::all_of(std::begin(numbers), std::end(numbers), std::identity()) || f.number <= 0 || !start ||
        !ms)
        return std::nullopt;
    f.host = fields[1];
    f.start = *start;
    f.ms = *ms;
    return f;
}

// The job's number and how it ended.
RunResults::Job outcome(const Fields& f)
{
    RunResults::Job job;
    job.number = f.number;
    if (f.signal != 0) {
        job.state = RunResults::State::Signalled;
        job.code = f.signal;
    } else {
        job.state = f.exitValue < 0 ? RunResults::State::Ended : RunResults::State::Exited;
        job.code = std::max(f.exitValue, 0);
    }
    return job;
}
} // namespace

std::optional<RunResults::Job> JobLog::parse(QByteArrayView line, bool readCommand)
{
    const std::optional<Fields> f = split(line);
    if (!f)
        return std::nullopt;
    RunResults::Job job = outcome(*f);
    if (job.state == RunResults::State::Signalled)
        job.signalName = signalName(job.code);
    job.host = f->host == ":" ? QString() : QString::fromUtf8(f->host);
    job.start = QDateTime::fromMSecsSinceEpoch(f->start);
    job.ms = f->ms;
    job.commandLine = NativeName::decode(f->command);
    // A line that Lomvato did not write runs as GNU parallel ran it: by the shell.
    if (readCommand)
        job.arguments =
            JobFile::arguments(f->command).value_or(QStringList{u"sh"_s, u"-c"_s, job.commandLine});
    return job;
}

std::optional<std::pair<int, bool>> JobLog::failure(QByteArrayView line)
{
    const std::optional<Fields> f = split(line);
    if (!f)
        return std::nullopt;
    return std::pair(f->number, RunResults::failed(outcome(*f)));
}

QList<QByteArrayView> JobLog::wholeLines(QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n')) {
        lines << bytes.first(end);
        bytes = bytes.sliced(end + 1);
    }
    return lines;
}

QList<RunResults::Job> JobLog::read(const QString& path, QString* why)
{
    QFile file;
    const RegularFile::Opened opened = RegularFile::openForReading(file, path, why);
    if (opened == RegularFile::Opened::NotRegular)
        *why = RegularFile::notRegularReason();
    if (opened != RegularFile::Opened::Yes)
        return {};
    if (file.size() > largestFile) {
        *why = RegularFile::tooLargeReason();
        return {};
    }
    const QByteArray bytes = file.readAll();
    const QList<QByteArrayView> lines = wholeLines(bytes);
    if (lines.isEmpty() || lines.front() != QByteArrayView(header()).chopped(1)) {
        *why = u"GNU parallel のジョブログではありません"_s;
        return {};
    }
    std::map<int, RunResults::Job> jobs;
    for (QByteArrayView l : lines)
        if (std::optional<RunResults::Job> job = parse(l))
            jobs[job->number] = *job;
    QList<RunResults::Job> list;
    for (const auto& [number, job] : jobs)
        list << job;
    return list;
}
