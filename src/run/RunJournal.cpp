#include "RunJournal.h"

#include "JobFile.h"
#include "JobLog.h"
#include "RunEngine.h"
#include "platform/Clock.h"
#include "platform/NativeName.h"
#include "platform/RegularFile.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <map>
#include <optional>

using namespace Qt::StringLiterals;

namespace
{
const QString planName = u"plan"_s;
// Milliseconds of plan records between two of the window's events, and the bytes gathered for one write.
constexpr qint64 planSlice = 10;
constexpr qsizetype planWrite = qsizetype{1} << 20;
const QString jobsName = u"jobs"_s;
const QString logName = u"joblog"_s;
const QString outputName = u"output"_s;
const QString timeFormat = u"yyyyMMdd-HHmmss-zzz"_s;
// A run's folder: its start time, and a number from 2 when another run took that name.
const QRegularExpression runName(u"^(\\d{8}-\\d{6}-\\d{3})(?:-(\\d+))?$"_s);

// The start record, a line of tab-separated fields. Every text is kept exactly, also a name that is not
// UTF-8 (lone surrogates, NativeName): a backslash, a tab and a line break are escaped, and so is every
// surrogate that is not half of a pair, as \uXXXX.
constexpr QByteArrayView startVersion = "1";
constexpr qsizetype startFixedFields = 12; // the version to the count of known programs

QByteArray escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\')
            out += u"\\\\"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            out += text.sliced(i++, 2);
        else if (c.isSurrogate())
            out += u"\\u"_s + QString::number(c.unicode(), 16);
        else
            out += c;
    }
    return out.toUtf8();
}

std::optional<QString> unescaped(QByteArrayView field)
{
    const QString text = QString::fromUtf8(field);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        const QChar next = i + 1 < text.size() ? text[++i] : QChar();
        if (next == u'\\')
            out += u'\\';
        else if (next == u't')
            out += u'\t';
        else if (next == u'n')
            out += u'\n';
        else if (bool ok = false; next == u'u' && i + 4 < text.size()) {
            out += QChar(text.sliced(i + 1, 4).toUShort(&ok, 16));
            i += 4;
            if (!ok)
                return std::nullopt;
        } else
            return std::nullopt;
    }
    return out;
}

QByteArray startRecord(const RunResults::Job& job)
{
    QList<QByteArray> fields{startVersion.toByteArray(),
                             QByteArray::number(job.number),
                             QByteArray::number(job.entry),
                             QByteArray::number(job.row),
                             QByteArray::number(job.start.toMSecsSinceEpoch()),
                             escaped(job.key),
                             escaped(job.app),
                             escaped(job.file),
                             escaped(job.path),
                             escaped(job.commandLine),
                             escaped(job.failure),
                             QByteArray::number(job.knownPrograms.size())};
    for (const QString& program : job.knownPrograms)
        fields << escaped(program);
    for (const QString& argument : job.arguments)
        fields << escaped(argument);
    return fields.join('\t') + '\n';
}

std::optional<RunResults::Job> parseStart(QByteArrayView line)
{
    const QList<QByteArray> fields = line.toByteArray().split('\t');
    if (fields.size() < startFixedFields || fields[0] != startVersion)
        return std::nullopt;
    bool ok[5] = {};
    RunResults::Job job;
    job.number = fields[1].toInt(&ok[0]);
    job.entry = fields[2].toInt(&ok[1]);
    job.row = fields[3].toInt(&ok[2]);
    job.start = QDateTime::fromMSecsSinceEpoch(fields[4].toLongLong(&ok[3]));
    const qsizetype programs = fields[11].toInt(&ok[4]);
    if (!std::all_of(std::begin(ok), std::end(ok), std::identity()) || programs < 0 ||
        startFixedFields + programs > fields.size())
        return std::nullopt;
    QStringList texts;
    for (qsizetype i = 5; i < fields.size(); ++i) {
        if (i == 11)
            continue;
        const std::optional<QString> text = unescaped(fields[i]);
        if (!text)
            return std::nullopt;
        texts << *text;
    }
    job.key = texts[0];
    job.app = texts[1];
    job.file = texts[2];
    job.path = texts[3];
    job.commandLine = texts[4];
    job.failure = texts[5];
    job.knownPrograms = texts.sliced(6, programs);
    job.arguments = texts.sliced(6 + programs);
    job.state = RunResults::State::Interrupted;
    return job;
}

// A record of the output file: a mark, the payload's length and checksum, then the payload (the job's number
// and its two streams), so that a record cut short or filled with what a power cut left is told and dropped.
constexpr QByteArrayView outputMark = "LvO1";
constexpr qsizetype frameHead = 4 + 4 + 2;
constexpr qsizetype longestPayload = 4 * CapturedStream::limit + 1024;
constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

QByteArray outputRecord(const RunResults::Job& job)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << qint32(job.number) << job.output << job.errors;
    QByteArray record = outputMark.toByteArray();
    record.resize(frameHead);
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), record.data() + 4);
    qToBigEndian<quint16>(qChecksum(payload), record.data() + 8);
    return record + payload;
}

// Reads the records of the output file into the jobs they belong to, up to the first that is not whole.
void readOutput(const QString& path, QList<RunResults::Job>& jobs, const QHash<int, qsizetype>& byNumber)
{
    QFile file;
    QString why;
    if (RegularFile::openForReading(file, path, &why) != RegularFile::Opened::Yes)
        return;
    while (file.pos() < RunJournal::outputBudget) {
        const QByteArray head = file.read(frameHead);
        if (head.size() != frameHead || !head.startsWith(outputMark))
            return;
        const quint32 size = qFromBigEndian<quint32>(head.constData() + 4);
        if (size > longestPayload)
            return;
        const QByteArray payload = file.read(size);
        if (payload.size() != qsizetype(size) ||
            qChecksum(payload) != qFromBigEndian<quint16>(head.constData() + 8))
            return;
        QDataStream in(payload);
        in.setVersion(streamVersion);
        qint32 number = 0;
        CapturedStream output;
        CapturedStream errors;
        in >> number >> output >> errors;
        if (in.status() != QDataStream::Ok)
            return;
        if (const auto it = byNumber.find(number); it != byNumber.end()) {
            jobs[*it].output = output;
            jobs[*it].errors = errors;
        }
    }
}

QByteArray readAll(const QString& path)
{
    QFile file;
    QString why;
    return RegularFile::openForReading(file, path, &why) == RegularFile::Opened::Yes ? file.readAll()
                                                                                     : QByteArray();
}

// The start records of a file (a run's starts or its plan).
QList<RunResults::Job> readStarts(const QString& path)
{
    QList<RunResults::Job> jobs;
    const QByteArray starts = readAll(path);
    for (QByteArrayView line : JobLog::wholeLines(starts))
        if (const std::optional<RunResults::Job> job = parseStart(line))
            jobs << *job;
    return jobs;
}

// The jobs of a run's folder with their output.
QList<RunResults::Job> loadRun(const QString& folder)
{
    const QDir dir(folder);
    QList<RunResults::Job> jobs;
    QHash<int, qsizetype> byNumber;
    const auto place = [&](const RunResults::Job& job) {
        if (const auto it = byNumber.find(job.number); it != byNumber.end()) {
            jobs[*it] = job;
        } else {
            byNumber.insert(job.number, jobs.size());
            jobs << job;
        }
    };
    for (const RunResults::Job& job : readStarts(dir.filePath(jobsName)))
        place(job);
    const QByteArray ends = readAll(dir.filePath(logName));
    for (QByteArrayView line : JobLog::wholeLines(ends)) {
        const std::optional<RunResults::Job> end = JobLog::parse(line, false);
        if (!end)
            continue;
        const auto it = byNumber.find(end->number);
        if (it == byNumber.end()) {
            // Its start record was lost with the last moment before a power cut: the end tells what it ran.
            place(*JobLog::parse(line));
            continue;
        }
        RunResults::Job& job = jobs[*it];
        if (NativeName::encode(end->commandLine) != JobFile::line(job.arguments))
            continue; // the end of some other job
        job.ms = end->ms;
        job.code = end->code;
        job.signalName = end->signalName;
        job.state = end->state;
        if (job.state == RunResults::State::Exited && job.code == JobLog::startFailedCode &&
            !job.failure.isEmpty()) {
            job.state = RunResults::State::StartFailed;
            job.code = 0;
        }
    }
    readOutput(dir.filePath(outputName), jobs, byNumber);
    return jobs;
}

// Whether run folder `a` is older than `b`.
bool older(const QString& a, const QString& b)
{
    const QRegularExpressionMatch x = runName.match(a);
    const QRegularExpressionMatch y = runName.match(b);
    return std::pair(x.captured(1), x.captured(2).toInt()) < std::pair(y.captured(1), y.captured(2).toInt());
}

// The kept runs' folder names, oldest first.
QStringList runNames(const QString& folder)
{
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (runName.match(name).hasMatch())
            names << name;
    std::sort(names.begin(), names.end(), older);
    return names;
}
} // namespace

RunJournal::RunJournal(const QString& folder, const Clock& clock, int keep, QObject* parent)
    : QObject(parent), m_folder(folder), m_clock(clock), m_keep(keep)
{
    m_sync.setSingleShot(true);
    connect(&m_sync, &QTimer::timeout, this, &RunJournal::sync);
    connect(&m_planSteps, &QTimer::timeout, this, [this] { writePlan(planSlice); });
}

RunJournal::~RunJournal()
{
    endRun();
}

void RunJournal::follow(const RunResults& results)
{
    m_results = &results;
    connect(&results, &RunResults::jobAdded, this, &RunJournal::jobAdded);
    connect(&results, &RunResults::jobFinished, this, &RunJournal::jobFinished);
    connect(&results, &QAbstractItemModel::modelReset, this, &RunJournal::tableReset);
}

void RunJournal::follow(const RunEngine& engine)
{
    follow(engine.results());
    m_engine = &engine;
    connect(&engine, &RunEngine::begun, this, &RunJournal::begin);
}

// The table is emptied for a new run, or shows a past one. A run that began while another ran (the run button
// during a run starts over) plans its own jobs now: the rest of the old plan is no longer to be had.
void RunJournal::tableReset()
{
    if (m_engine && m_engine->isRunning())
        m_planSize = m_planned;
    endRun();
}

void RunJournal::begin(qsizetype plannedJobs)
{
    m_planSize = m_planned;
    endRun();
    if (!beginRun())
        return;
    if (!m_plan.open(QDir(m_run).filePath(planName))) {
        fail(m_plan.errorString());
        return;
    }
    m_planned = 0;
    m_planSize = plannedJobs;
    m_planSteps.start(0);
}

void RunJournal::writePlan(qint64 budgetMs)
{
    QElapsedTimer slice;
    slice.start();
    QByteArray records;
    while (m_planned < m_planSize && !m_failed &&
           (budgetMs < 0 || m_planned % 64 != 0 || slice.elapsed() < budgetMs)) {
        const std::optional<RunResults::Job> job = m_engine->plannedJob(m_planned);
        if (!job) {
            m_planSize = m_planned; // the lists have shrunk below the rest
            break;
        }
        ++m_planned;
        records += startRecord(*job);
        if (records.size() >= planWrite) {
            write(m_plan, records);
            records.clear();
        }
    }
    write(m_plan, records);
    if (m_planned >= m_planSize || m_failed)
        m_planSteps.stop();
}

void RunJournal::jobAdded(int index)
{
    if (!m_failed && (!m_run.isEmpty() || beginRun()))
        write(m_jobs, startRecord(m_results->job(index)));
}

void RunJournal::jobFinished(int index)
{
    if (m_run.isEmpty() || m_failed)
        return;
    const RunResults::Job& job = m_results->job(index);
    write(m_log, JobLog::line(job));
    if (!job.output.isEmpty() || !job.errors.isEmpty())
        write(m_output, outputRecord(job));
}

bool RunJournal::beginRun()
{
    // A new run is the newest, also when the clock has gone back or an older run of the same time was
    // removed: it then takes the next number after the newest.
    const QDir runs(m_folder);
    const QStringList names = runNames(m_folder);
    QString name = m_clock.now().toString(timeFormat);
    if (!names.isEmpty() && !older(names.back(), name)) {
        const QRegularExpressionMatch newest = runName.match(names.back());
        name = newest.captured(1) + u'-' + QString::number(std::max(newest.captured(2).toInt(), 1) + 1);
    }
    if (!runs.mkpath(m_folder) || !runs.mkdir(name)) {
        fail(u"フォルダーを作れません: "_s + runs.filePath(name));
        return false;
    }
    m_run = runs.filePath(name);
    m_foldersSynced = false;
    const QDir run(m_run);
    for (auto [file, fileName] : {std::pair(&m_jobs, jobsName), {&m_log, logName}, {&m_output, outputName}}) {
        if (!file->open(run.filePath(fileName))) {
            fail(file->errorString());
            return false;
        }
    }
    write(m_log, JobLog::header());
    removeOldRuns();
    if (!m_failed)
        emit runBegun(m_run);
    return !m_failed;
}

void RunJournal::removeOldRuns() const
{
    const QStringList names = runNames(m_folder);
    for (qsizetype i = 0; i + m_keep < names.size(); ++i)
        QDir(QDir(m_folder).filePath(names[i])).removeRecursively();
}

void RunJournal::write(AppendFile& file, QByteArrayView bytes)
{
    if (m_failed)
        return;
    if (!file.append(bytes)) {
        fail(file.errorString());
        return;
    }
    if (!m_sync.isActive())
        m_clock.start(m_sync, syncPeriod);
}

void RunJournal::sync()
{
    if (m_run.isEmpty() || m_failed)
        return;
    for (AppendFile* file : {&m_jobs, &m_log, &m_output, &m_plan}) {
        if (!file->sync()) {
            fail(file->errorString());
            return;
        }
    }
    // The new files' names, once.
    QString why;
    if (!m_foldersSynced && !(AppendFile::syncFolder(m_run, &why) && AppendFile::syncFolder(m_folder, &why)))
        fail(why);
    m_foldersSynced = true;
}

void RunJournal::endRun()
{
    if (m_planned < m_planSize && !m_run.isEmpty())
        writePlan(-1);
    m_planSteps.stop();
    m_planned = m_planSize = 0;
    m_sync.stop();
    sync();
    close();
    m_run.clear();
    m_failed = false;
}

void RunJournal::fail(const QString& why)
{
    if (m_failed)
        return;
    m_failed = true;
    m_sync.stop();
    close();
    emit failed(u"実行の記録を書けません（%1）。この実行の記録はここまでです。"_s.arg(why));
}

void RunJournal::close()
{
    m_plan.close();
    m_jobs.close();
    m_log.close();
    m_output.close();
}

QList<RunJournal::Run> RunJournal::runs(const QString& folder)
{
    QList<Run> list;
    for (const QString& runFolder : runFolders(folder))
        list << run(runFolder);
    return list;
}

QStringList RunJournal::runFolders(const QString& folder)
{
    QStringList folders;
    for (const QString& name : runNames(folder))
        folders.prepend(QDir(folder).filePath(name));
    return folders;
}

QDateTime RunJournal::startOf(const QString& runFolder)
{
    return QDateTime::fromString(runName.match(QFileInfo(runFolder).fileName()).captured(1), timeFormat);
}

// Counted from the numbers and outcomes alone: a menu of twenty runs of 30,000 jobs opens at once.
RunJournal::Run RunJournal::run(const QString& runFolder)
{
    Run run;
    run.folder = runFolder;
    run.start = startOf(runFolder);
    const QDir dir(runFolder);
    QSet<int> started;
    const QByteArray starts = readAll(dir.filePath(jobsName));
    for (QByteArrayView line : JobLog::wholeLines(starts)) {
        const QList<QByteArray> fields = line.toByteArray().split('\t');
        if (fields.size() >= startFixedFields && fields[0] == startVersion)
            started.insert(fields[1].toInt());
    }
    QHash<int, bool> failedEnds; // the last end of each job counts
    const QByteArray ends = readAll(dir.filePath(logName));
    for (QByteArrayView line : JobLog::wholeLines(ends))
        if (const std::optional<std::pair<int, bool>> end = JobLog::failure(line))
            failedEnds.insert(end->first, end->second);
    QSet<int> jobs = started;
    for (auto end = failedEnds.cbegin(); end != failedEnds.cend(); ++end) {
        run.failed += end.value() ? 1 : 0;
        jobs.insert(end.key());
    }
    for (const int seq : std::as_const(started))
        run.interrupted += failedEnds.contains(seq) ? 0 : 1;
    run.jobs = static_cast<int>(jobs.size());
    return run;
}

QList<RunResults::Job> RunJournal::load(const QString& runFolder)
{
    return loadRun(runFolder);
}

QList<RunResults::Job> RunJournal::rest(const RunResults& shown, const QString& runFolder)
{
    std::map<int, RunResults::Job> jobs;
    QSet<int> shownNumbers;
    for (int i = 0; i < shown.count(); ++i) {
        const RunResults::Job& job = shown.job(i);
        shownNumbers.insert(job.number);
        const bool wentWell = job.state == RunResults::State::Exited && job.code == 0;
        if (!wentWell && job.state != RunResults::State::Running)
            jobs.emplace(job.number, job.again());
    }
    if (!runFolder.isEmpty())
        for (const RunResults::Job& job : readStarts(QDir(runFolder).filePath(planName)))
            if (!shownNumbers.contains(job.number))
                jobs.emplace(job.number, job.again());
    QList<RunResults::Job> list;
    for (const auto& [number, job] : jobs)
        list << job;
    return list;
}
