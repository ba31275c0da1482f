#include "RunEngine.h"

#include "Expansion.h"
#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PipeReader.h"

#include <QSocketNotifier>

#include <algorithm>

using namespace Qt::StringLiterals;

// One running job.
struct RunEngine::Slot {
    int result = -1; // its row in the results
    qint64 pid = 0;
    std::unique_ptr<ProcessHandle> handle;
    std::unique_ptr<QSocketNotifier> notifier; // on the end descriptor
    // At the unhurried pace the process is taken for status queries only after the moment's wait.
    bool opened = true;
    QElapsedTimer time;
    std::vector<PipeReader*> readers; // its output, owned by m_readers
};

// Reads one stream of a job into its row of the results, as long as those results are the current ones.
class RunEngine::OutputReader
{
public:
    OutputReader(UniqueFd fd, RunResults& results, int index, RunResults::Stream stream)
        : reader(std::move(fd),
                 [&results, index, stream, generation = results.generation()](QByteArrayView b) {
                     if (results.generation() == generation)
                         results.appendOutput(index, stream, b);
                 })
    {
    }
    PipeReader reader;
};

RunEngine::RunEngine(WorkTable& table, ProcessLauncher& launcher, const FileSystem& files, const Clock& clock,
                     Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_table(table), m_launcher(launcher), m_files(files), m_clock(clock),
      m_dialogs(dialogs)
{
    m_waitTimer.setSingleShot(true);
    m_soon.setInterval(0);
    m_soon.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &RunEngine::poll);
    connect(&m_waitTimer, &QTimer::timeout, this, &RunEngine::openProcess);
    connect(&m_soon, &QTimer::timeout, this, &RunEngine::poll);

    // The job count of the status bar follows the lists while they are edited during a run.
    for (QAbstractItemModel* list : {static_cast<QAbstractItemModel*>(&m_table.files),
                                     static_cast<QAbstractItemModel*>(&m_table.batch)}) {
        connect(list, &QAbstractItemModel::rowsInserted, this, &RunEngine::updateProgress);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &RunEngine::updateProgress);
        connect(list, &QAbstractItemModel::modelReset, this, &RunEngine::updateProgress);
    }
}

// The handles only close our references; the programs run on. Their output pipes go to a reader of their own,
// since a program writing into a pipe that nobody holds would be ended by SIGPIPE.
RunEngine::~RunEngine()
{
    for (const auto& output : m_readers)
        if (!output->reader.atEnd())
            m_launcher.readToTheEnd(output->reader.release());
}

// Through the clock, so that a test or a soak may run the periods short.
void RunEngine::startPolling()
{
    m_clock.start(m_pollTimer, m_fast ? FastPollPeriod : PollPeriod);
}

void RunEngine::setPace(bool fast, int parallel)
{
    m_paceFast = fast;
    m_paceParallel = std::max(1, parallel);
}

void RunEngine::setCanStart(bool enabled)
{
    setState(enabled, m_running);
}

void RunEngine::start()
{
    if (m_table.files.count() == 0 || m_table.batch.count() == 0 || !keysSound())
        return;
    m_trial = false;
    m_given = false;
    m_position = {};
    m_startedAny = false;
    begin();
}

void RunEngine::runOne(int entry, int row)
{
    if (m_running || !JobOrder::exists({entry, row}, m_table.batch.count(), m_table.files.count()) ||
        !keysSound())
        return;
    m_trial = true;
    m_given = true;
    m_givenJobs = {jobAt({entry, row})};
    begin();
}

void RunEngine::runAgain(const QList<RunResults::Job>& jobs)
{
    if (m_running || jobs.isEmpty())
        return;
    m_trial = false;
    m_given = true;
    m_givenJobs = jobs;
    begin();
}

bool RunEngine::keysSound()
{
    const QString problems = appKeyProblems(m_table.batch, m_table.apps, m_files);
    if (problems.isEmpty())
        return true;
    m_dialogs.message(appKeyProblemsMessage(problems), applicationTitle());
    return false;
}

void RunEngine::begin()
{
    m_abort = false;
    m_waitTimer.stop();
    m_soon.stop();
    // A run started over leaves the jobs still running to themselves.
    m_slots.clear();
    m_results.clear();
    m_endedJobs = 0;
    m_nextGiven = 0;
    m_exhausted = false;
    m_fast = m_paceFast;
    m_places = m_fast ? m_paceParallel : 1;
    m_pollTimer.stop();
    setState(false, true);
    emit begun(m_given
                   ? m_givenJobs.size()
                   : static_cast<qsizetype>(JobOrder::count(m_table.batch.count(), m_table.files.count())));
    emit showLogTab();
    fill();
}

std::optional<RunResults::Job> RunEngine::plannedJob(qsizetype index) const
{
    if (m_given)
        return index < m_givenJobs.size() ? std::optional(m_givenJobs[index].again()) : std::nullopt;
    const int rows = m_table.files.count();
    if (rows == 0)
        return std::nullopt;
    const JobPosition position = JobOrder::at(index, rows);
    if (!JobOrder::exists(position, m_table.batch.count(), rows))
        return std::nullopt;
    return jobAt(position);
}

bool RunEngine::takeNext(RunResults::Job& job)
{
    if (m_given) {
        if (m_nextGiven >= m_givenJobs.size())
            return false;
        job = m_givenJobs[m_nextGiven++].again();
        return true;
    }
    const int entries = m_table.batch.count();
    const int rows = m_table.files.count();
    if (m_startedAny ? !JobOrder::next(m_position, entries, rows)
                     : !JobOrder::exists(m_position, entries, rows))
        return false;
    m_startedAny = true;
    job = jobAt(m_position);
    return true;
}

RunResults::Job RunEngine::jobAt(JobPosition position) const
{
    RunResults::Job job;
    job.number = static_cast<int>(JobOrder::numberOf(position, m_table.files.count())) + 1;
    job.entry = position.entry;
    job.row = position.row;
    job.key = m_table.batch.key(position.entry);
    job.app = m_table.batch.application(position.entry);
    job.file = m_table.files.cell(position.row, ColumnSet::fileNameColumn);
    job.path = m_table.files.cell(position.row, ColumnSet::fullPathColumn);
    job.knownPrograms = RegisteredPrograms(m_table.apps);
    job.commandLine =
        expandCommandLine(m_table.batch.parameter(position.entry), m_table.files.row(position.row),
                          m_table.columns.count(), m_table.apps);
    return job;
}

void RunEngine::fill()
{
    while (m_running && !m_abort && !m_exhausted && static_cast<int>(m_slots.size()) < m_places) {
        RunResults::Job job;
        if (!takeNext(job)) {
            m_exhausted = true;
            break;
        }
        startJob(std::move(job));
    }
    updateProgress();
    if (m_running && m_exhausted && m_slots.empty())
        finish();
}

void RunEngine::startJob(RunResults::Job job)
{
    updateProgress();
    logTimed(u"["_s + job.app + u"]に["_s + job.file + u"]を送信開始／"_s);
    m_table.log.prepend(u"\t\t送信内容は"_s + job.commandLine + u"\r\n\r\n"_s);
    // The unhurried pace polls every period counted from this start.
    if (!m_fast)
        startPolling();
    // A job run again carries the arguments it ran with; a new one is split from its command line.
    const bool again = !job.arguments.isEmpty();
    if (!again)
        job.arguments = m_launcher.arguments(job.commandLine, job.knownPrograms);
    job.start = m_clock.now();
    job.host.clear(); // a job of a cluster's job log runs here now
    ProcessLauncher::Started started = again ? m_launcher.launchArguments(job.arguments, true)
                                             : m_launcher.launch(job.commandLine, job.knownPrograms, true);
    job.failure = started.failure;
    const QString app = job.app;
    const QString file = job.file;

    auto slot = std::make_unique<Slot>();
    slot->result = m_results.add(job);
    slot->pid = started.pid;
    slot->handle = std::move(started.handle);
    slot->time.start();
    m_processId = started.pid;
    readOutput(*slot, started.output, RunResults::Stream::Output);
    readOutput(*slot, started.errors, RunResults::Stream::Errors);
    if (slot->pid == 0) {
        // The job counts as ended at the next poll.
        logTimed(u"["_s + app + u"]に["_s + file + u"]を送信失敗（原因不明です）"_s);
        if (m_fast)
            pollSoon();
    } else if (!m_fast) {
        // A timer rather than a sleep, so that the window keeps answering during the moment.
        slot->opened = false;
        m_clock.start(m_waitTimer, OpenDelay);
    } else {
        watch(*slot);
    }
    m_slots.push_back(std::move(slot));
}

// At the fast pace: a job's end wakes the event loop through its end descriptor; without one, the job is
// polled.
void RunEngine::watch(Slot& slot)
{
    if (!slot.handle) {
        pollSoon();
    } else if (slot.handle->endDescriptor() >= 0) {
        slot.notifier =
            std::make_unique<QSocketNotifier>(slot.handle->endDescriptor(), QSocketNotifier::Read);
        QSocketNotifier* notifier = slot.notifier.get();
        // The slot and its notifier go when the job ends, which must not happen inside the notifier's signal.
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            notifier->setEnabled(false);
            pollSoon();
        });
    } else if (!m_pollTimer.isActive()) {
        startPolling();
    }
}

void RunEngine::readOutput(Slot& slot, UniqueFd& fd, RunResults::Stream stream)
{
    if (!fd.isValid())
        return;
    auto reader = std::make_unique<OutputReader>(std::move(fd), m_results, slot.result, stream);
    PipeReader* pipe = &reader->reader;
    // Output goes on being read after the job's end, as long as anything (a program it started) holds the
    // pipe open; the reader goes once the pipe is closed.
    connect(pipe, &PipeReader::finished, this, [this, pipe] {
        QMetaObject::invokeMethod(
            this,
            [this, pipe] {
                std::erase_if(m_readers, [pipe](const auto& r) { return &r->reader == pipe; });
                for (auto& s : m_slots)
                    std::erase(s->readers, pipe);
            },
            Qt::QueuedConnection);
    });
    slot.readers.push_back(pipe);
    m_readers.push_back(std::move(reader));
}

void RunEngine::pollSoon()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void RunEngine::openProcess()
{
    m_waitTimer.stop();
    for (auto& slot : m_slots)
        slot->opened = true;
}

// A job has ended when its process has, and also when no status can be read (the start failed, or the
// process ended before it could be opened).
bool RunEngine::hasEnded(const Slot& slot) const
{
    return slot.opened && (!slot.handle || slot.handle->status() != ProcessHandle::Status::Running);
}

void RunEngine::poll()
{
    // A poll arrives through the event loop, which has already delivered the clicks queued before it, so an
    // abort is seen at this poll at the latest.
    if (!m_running)
        return;
    if (m_abort) {
        abandon();
        return;
    }
    bool endedAny = false;
    for (auto it = m_slots.begin(); it != m_slots.end();) {
        Slot& slot = **it;
        if (!hasEnded(slot)) {
            if (slot.notifier)
                slot.notifier->setEnabled(true);
            ++it;
            continue;
        }
        endJob(slot);
        it = m_slots.erase(it);
        endedAny = true;
    }
    if (m_fast) {
        if (std::none_of(m_slots.begin(), m_slots.end(),
                         [](const auto& s) { return s->handle && !s->notifier; }))
            m_pollTimer.stop();
    } else if (endedAny) {
        m_pollTimer.stop();
    }
    fill();
}

void RunEngine::endJob(Slot& slot)
{
    using Kind = ProcessHandle::Outcome::Kind;
    // What the job wrote before it ended belongs to its result before the result is told.
    for (PipeReader* reader : slot.readers)
        reader->drain();
    ++m_endedJobs;
    const qint64 ms = slot.time.elapsed();
    if (slot.pid == 0) {
        m_results.finish(slot.result, RunResults::State::StartFailed, 0, ms);
    } else {
        const ProcessHandle::Outcome outcome =
            slot.handle ? slot.handle->outcome() : ProcessHandle::Outcome();
        const RunResults::State state = outcome.kind == Kind::Exited      ? RunResults::State::Exited
                                        : outcome.kind == Kind::Signalled ? RunResults::State::Signalled
                                                                          : RunResults::State::Ended;
        m_results.finish(slot.result, state, outcome.code, ms, outcome.signalName);
    }
    logEnd(slot);
}

void RunEngine::logEnd(const Slot& slot)
{
    const RunResults::Job& job = m_results.job(slot.result);
    // At the unhurried pace, a run over the lists names the entry and the file as they stand when the entry
    // is written; at the fast pace several jobs overlap, so each names its own.
    const bool fromLists = !m_fast && !m_given;
    const QString app = fromLists ? m_table.batch.application(job.entry) : job.app;
    const QString file = fromLists ? m_table.files.cell(job.row, ColumnSet::fileNameColumn) : job.file;
    if (!m_note.isEmpty()) {
        logTimed(u"["_s + file + u"]は"_s + m_note + u"／"_s, 1);
        m_note.clear();
        emit noteChanged(m_note);
    }
    logTimed(u"["_s + app + u"]に["_s + file + u"]を送信終了／"_s);
    m_table.log.prependSeparator();
}

void RunEngine::requestAbort()
{
    if (!m_running)
        return;
    m_abort = true;
    m_table.log.prependSeparator();
    logTimed(u"送信作業を中断しました／"_s);
    m_table.log.prependSeparator();
    // The fast pace has no tick to wait for.
    if (m_fast)
        pollSoon();
}

void RunEngine::leave()
{
    if (m_running)
        abandon();
}

void RunEngine::abandon()
{
    m_pollTimer.stop();
    m_waitTimer.stop();
    m_soon.stop();
    m_abort = false;
    m_slots.clear();
    m_results.abandonRunning();
    setState(true, false);
    updateProgress();
    emit ended();
}

void RunEngine::finish()
{
    m_pollTimer.stop();
    m_waitTimer.stop();
    m_soon.stop();
    m_abort = false;
    setState(true, false);
    updateProgress();
    logTimed(u"全ての送信を終了しました／"_s);
    m_table.log.prependSeparator();
    emit ended();
    if (!m_trial)
        emit allDone();
}

void RunEngine::setState(bool canStart, bool running)
{
    if (canStart == m_canStart && running == m_running)
        return;
    m_canStart = canStart;
    m_running = running;
    emit buttonsChanged(canStart, running);
}

void RunEngine::updateProgress()
{
    QString text;
    const qint64 rows = m_table.files.count();
    const qint64 total = m_given ? m_givenJobs.size() : JobOrder::count(m_table.batch.count(), int(rows));
    if (m_running && m_fast) {
        const qint64 running = runningJobs();
        const qint64 left = std::max<qint64>(0, total - m_endedJobs - running);
        text = u"終了 %1 件 / 実行中 %2 件 / 残り %3 件"_s.arg(m_endedJobs).arg(running).arg(left);
    } else if (m_running) {
        // The job being run, or about to be.
        const qint64 job =
            m_given ? std::max<qint64>(m_nextGiven, 1) : JobOrder::numberOf(m_position, int(rows)) + 1;
        text = u"実行中 "_s + QString::number(job) + u'/' + QString::number(total);
    }
    if (text == m_progress)
        return;
    m_progress = text;
    emit progressChanged(m_progress);
}

void RunEngine::logTimed(const QString& message, int lineBreaks)
{
    m_table.log.prepend(ActivityLog::timed(m_clock.now(), message, lineBreaks));
}
