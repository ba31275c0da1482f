#include "RunEngine.h"

#include "Expansion.h"
#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProcessLauncher.h"

#include <QSocketNotifier>

#include <algorithm>

using namespace Qt::StringLiterals;

struct RunEngine::Slot {
    int entryCursor = 0;
    int fileCursor = 0;
    qint64 pid = 0;
    std::unique_ptr<ProcessHandle> handle;
    std::unique_ptr<QSocketNotifier> notifier;
    int result = -1;
    QElapsedTimer time;
};

RunEngine::RunEngine(WorkTable& table, ProcessLauncher& launcher, const FileSystem& files, const Clock& clock,
                     Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_table(table), m_launcher(launcher), m_files(files), m_clock(clock),
      m_dialogs(dialogs)
{
    m_pollTimer.setInterval(PollPeriod);
    m_waitTimer.setInterval(OpenDelay);
    m_waitTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &RunEngine::poll);
    connect(&m_waitTimer, &QTimer::timeout, this, &RunEngine::openProcess);

    // The job count of the status bar follows the lists while they are edited during a run.
    for (QAbstractItemModel* list : {static_cast<QAbstractItemModel*>(&m_table.files),
                                     static_cast<QAbstractItemModel*>(&m_table.batch)}) {
        connect(list, &QAbstractItemModel::rowsInserted, this, &RunEngine::updateProgress);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &RunEngine::updateProgress);
        connect(list, &QAbstractItemModel::modelReset, this, &RunEngine::updateProgress);
    }
}

// The handle only closes our reference; the program runs on.
RunEngine::~RunEngine() = default;

void RunEngine::setPeriods(int pollMs, int waitMs)
{
    m_pollTimer.setInterval(pollMs);
    m_waitTimer.setInterval(waitMs);
}

void RunEngine::setPace(bool fast, int parallel)
{
    m_paceFast = fast;
    m_paceParallel = std::max(1, parallel);
}

// Registering a batch entry enables the run button even during a run; pressing it then starts the run over
// from the first job, leaving the pending program to run on by itself.
void RunEngine::setCanStart(bool enabled)
{
    setState(enabled, m_running);
}

QString RunEngine::progressText() const
{
    return m_progress;
}

void RunEngine::start()
{
    if (m_table.files.count() == 0 || m_table.batch.count() == 0 || !keysSound())
        return;
    m_given = false;
    begin(1, 1);
}

void RunEngine::runOne(int entry, int row)
{
    if (m_running || entry < 0 || entry >= m_table.batch.count() || row < 0 || row >= m_table.files.count())
        return;
    runJobs({{entry, row}});
}

void RunEngine::runJobs(const QList<QPair<int, int>>& jobs)
{
    if (m_running || jobs.isEmpty() || !keysSound())
        return;
    m_given = true;
    m_givenJobs = jobs;
    m_nextGiven = 0;
    if (!nextGiven())
        return;
    begin(m_entryCursor, m_fileCursor);
}

bool RunEngine::nextGiven()
{
    while (m_nextGiven < m_givenJobs.size()) {
        const auto [entry, row] = m_givenJobs[m_nextGiven++];
        if (entry >= 0 && entry < m_table.batch.count() && row >= 0 && row < m_table.files.count()) {
            m_entryCursor = entry + 1;
            m_fileCursor = row + 1;
            return true;
        }
    }
    return false;
}

bool RunEngine::keysSound()
{
    const QString problems = CheckAppKeys(m_table.batch, m_table.apps, m_files);
    if (problems.isEmpty())
        return true;
    m_dialogs.message(CheckAppKeysMessage(problems), applicationTitle());
    return false;
}

void RunEngine::begin(int entryCursor, int fileCursor)
{
    m_abort = false;
    m_waitPending = false;
    m_waitTimer.stop();
    releaseProcess();
    // A run started over leaves the jobs still running to themselves.
    m_slots.clear();
    m_results.clear();
    m_endedJobs = 0;
    m_fast = m_paceFast;
    m_parallel = m_paceParallel;
    setState(false, true);
    emit showLogTab();
    m_entryCursor = entryCursor;
    m_fileCursor = fileCursor;
    if (!m_fast) {
        Workstart();
        return;
    }
    m_startedAny = false;
    m_exhausted = false;
    fill();
}

void RunEngine::Workstart()
{
    if (!m_running)
        return;
    const int entry = m_entryCursor - 1;
    const int row = m_fileCursor - 1;
    // The lists may have shrunk since the cursors were set; a job that no longer exists is not run.
    if (entry < 0 || entry >= m_table.batch.count() || row < 0 || row >= m_table.files.count()) {
        finish();
        return;
    }
    updateProgress();
    const QString commandLine = logStart();
    m_pollTimer.start();
    releaseProcess();
    m_result = record();
    m_jobTime.start();
    ProcessLauncher::Started started = launch(commandLine);
    m_processId = started.pid;
    m_pending = std::move(started.handle);
    if (m_processId != 0) {
        // A timer rather than a sleep, so that the window keeps answering during the moment.
        m_waitPending = true;
        m_waitTimer.start();
    } else {
        // The job counts as ended at the next tick.
        logStartFailed();
    }
}

QString RunEngine::logStart()
{
    QString commandLine =
        ExpandParameter(m_table.batch.parameter(m_entryCursor - 1), m_table.files.row(m_fileCursor - 1),
                        m_table.columns.count(), m_table.apps);
    logTimed(u"["_s + currentApp() + u"]に["_s + currentFile() + u"]を送信開始／"_s);
    m_table.log.prepend(u"\t\t送信内容は"_s + commandLine + u"\r\n\r\n"_s);
    return commandLine;
}

void RunEngine::logStartFailed()
{
    logTimed(u"["_s + currentApp() + u"]に["_s + currentFile() + u"]を送信失敗（原因不明です）"_s);
}

ProcessLauncher::Started RunEngine::launch(const QString& commandLine)
{
    return m_launcher.launch(commandLine, m_table.settings.check3 + 1, RegisteredPrograms(m_table.apps));
}

void RunEngine::openProcess()
{
    if (!m_waitPending)
        return;
    m_waitPending = false;
    m_waitTimer.stop();
    // After an abort the process is left alone.
    if (m_running && !m_abort && m_processId != 0)
        m_handle = std::move(m_pending);
    m_pending.reset();
}

void RunEngine::poll()
{
    // The tick arrives through the event loop, which has already delivered the clicks queued before it, so an
    // abort is seen at this tick at the latest.
    if (!m_running)
        return;
    if (m_abort) {
        abandon();
        return;
    }
    if (m_fast) {
        pollSlots();
        return;
    }
    // Until the process has been opened, the job has not ended.
    if (m_waitPending)
        return;
    // A job ends when its process has ended, or when no status can be read (the start failed, or the process
    // had ended before it could be opened). The exit status is not recorded.
    if (m_handle && m_handle->status() == ProcessHandle::Status::Running)
        return;

    m_pollTimer.stop();
    recordEnd(m_result, m_processId, m_handle.get(), m_jobTime.elapsed());
    releaseProcess();
    logEnd(m_entryCursor, m_fileCursor);
    advance();
}

void RunEngine::logEnd(int entryCursor, int fileCursor)
{
    const QString app = m_table.batch.application(entryCursor - 1);
    const QString file = m_table.files.cell(fileCursor - 1, 2);
    if (!m_note.isEmpty()) {
        logTimed(u"["_s + file + u"]は"_s + m_note + u"／"_s, 1);
        m_note.clear();
        emit noteChanged(m_note);
    }
    logTimed(u"["_s + app + u"]に["_s + file + u"]を送信終了／"_s);
    m_table.log.prependSeparator();
}

int RunEngine::record()
{
    RunResults::Job job;
    job.entry = m_entryCursor - 1;
    job.row = m_fileCursor - 1;
    job.key = m_table.batch.key(job.entry);
    job.app = m_table.batch.application(job.entry);
    job.file = m_table.files.cell(job.row, 2);
    job.path = m_table.files.cell(job.row, 5);
    job.start = m_clock.now();
    return m_results.add(job);
}

void RunEngine::recordEnd(int result, qint64 pid, ProcessHandle* handle, qint64 ms)
{
    using Kind = ProcessHandle::Outcome::Kind;
    ++m_endedJobs;
    if (pid == 0) {
        m_results.finish(result, RunResults::State::StartFailed, 0, ms);
        return;
    }
    const ProcessHandle::Outcome outcome = handle ? handle->outcome() : ProcessHandle::Outcome();
    const RunResults::State state = outcome.kind == Kind::Exited      ? RunResults::State::Exited
                                    : outcome.kind == Kind::Signalled ? RunResults::State::Signalled
                                                                      : RunResults::State::Ended;
    m_results.finish(result, state, outcome.code, ms, outcome.signalName);
}

void RunEngine::abandon()
{
    m_pollTimer.stop();
    m_waitTimer.stop();
    m_waitPending = false;
    m_abort = false;
    m_slots.clear();
    m_results.abandonRunning();
    setState(true, false);
    releaseProcess();
    updateProgress();
    emit ended();
}

bool RunEngine::nextJob()
{
    const int rows = m_table.files.count();
    const int entries = m_table.batch.count();
    if (m_given) {
        if (m_startedAny && !nextGiven())
            return false;
    } else if (m_startedAny) {
        if (m_fileCursor < rows) {
            ++m_fileCursor;
        } else if (m_entryCursor < entries && rows > 0) {
            m_fileCursor = 1;
            ++m_entryCursor;
        } else {
            return false;
        }
    }
    m_startedAny = true;
    // The lists may have shrunk since the cursors were set; a job that no longer exists is not run.
    return m_entryCursor >= 1 && m_entryCursor <= entries && m_fileCursor >= 1 && m_fileCursor <= rows;
}

void RunEngine::fill()
{
    while (m_running && !m_abort && !m_exhausted && static_cast<int>(m_slots.size()) < m_parallel) {
        if (nextJob())
            startSlot();
        else
            m_exhausted = true;
    }
    updateProgress();
    if (m_running && m_exhausted && m_slots.empty())
        finish();
}

void RunEngine::startSlot()
{
    const QString commandLine = logStart();
    auto slot = std::make_unique<Slot>();
    slot->entryCursor = m_entryCursor;
    slot->fileCursor = m_fileCursor;
    slot->result = record();
    slot->time.start();
    ProcessLauncher::Started started = launch(commandLine);
    slot->pid = started.pid;
    slot->handle = std::move(started.handle);
    if (slot->pid == 0) {
        logStartFailed();
        endSlot(*slot);
        return;
    }
    if (slot->handle && slot->handle->endDescriptor() >= 0) {
        slot->notifier =
            std::make_unique<QSocketNotifier>(slot->handle->endDescriptor(), QSocketNotifier::Read);
        QSocketNotifier* notifier = slot->notifier.get();
        // The slot and its notifier go when the job ends, which must not happen inside the notifier's signal.
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
            notifier->setEnabled(false);
            QMetaObject::invokeMethod(this, &RunEngine::poll, Qt::QueuedConnection);
        });
    } else if (!slot->handle) {
        // No status can be read: the job counts as ended at once.
        QMetaObject::invokeMethod(this, &RunEngine::poll, Qt::QueuedConnection);
    } else if (!m_pollTimer.isActive()) {
        m_pollTimer.start(FastPollPeriod);
    }
    m_slots.push_back(std::move(slot));
}

void RunEngine::endSlot(Slot& slot)
{
    recordEnd(slot.result, slot.pid, slot.handle.get(), slot.time.elapsed());
    logEnd(slot.entryCursor, slot.fileCursor);
}

void RunEngine::pollSlots()
{
    for (auto it = m_slots.begin(); it != m_slots.end();) {
        Slot& slot = **it;
        if (slot.handle && slot.handle->status() == ProcessHandle::Status::Running) {
            if (slot.notifier)
                slot.notifier->setEnabled(true);
            ++it;
            continue;
        }
        endSlot(slot);
        it = m_slots.erase(it);
    }
    if (std::none_of(m_slots.begin(), m_slots.end(), [](const auto& s) { return s->handle && !s->notifier; }))
        m_pollTimer.stop();
    fill();
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
        QMetaObject::invokeMethod(this, &RunEngine::poll, Qt::QueuedConnection);
}

void RunEngine::advance()
{
    // Compared with "at or past the end", so that a list that has shrunk below a cursor during the run moves
    // the run on (or ends it) instead of walking past the end.
    const int rows = m_table.files.count();
    const int entries = m_table.batch.count();
    if (m_given) {
        if (nextGiven())
            Workstart();
        else
            finish();
    } else if (m_fileCursor < rows) {
        ++m_fileCursor;
        Workstart();
    } else if (m_entryCursor < entries && rows > 0) {
        m_fileCursor = 1;
        ++m_entryCursor;
        Workstart();
    } else {
        finish();
    }
}

void RunEngine::finish()
{
    m_pollTimer.stop();
    m_waitTimer.stop();
    m_waitPending = false;
    releaseProcess();
    m_abort = false;
    setState(true, false);
    updateProgress();
    logTimed(u"全ての送信を終了しました／"_s);
    m_table.log.prependSeparator();
    emit ended();
    if (!m_given)
        emit allDone();
}

void RunEngine::releaseProcess()
{
    m_handle.reset();
    m_pending.reset();
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
    if (m_running && m_fast) {
        const qint64 total =
            m_given ? m_givenJobs.size() : qint64(m_table.batch.count()) * m_table.files.count();
        const qint64 running = runningJobs();
        const qint64 left = std::max<qint64>(0, total - m_endedJobs - running);
        text = u"終了 %1 件 / 実行中 %2 件 / 残り %3 件"_s.arg(m_endedJobs).arg(running).arg(left);
    } else if (m_running) {
        const qint64 rows = m_table.files.count();
        const qint64 job = (m_entryCursor - 1) * rows + m_fileCursor;
        text = u"実行中 "_s + QString::number(job) + u'/' + QString::number(m_table.batch.count() * rows);
    }
    if (text == m_progress)
        return;
    m_progress = text;
    emit progressChanged(m_progress);
}

QString RunEngine::currentApp() const
{
    return m_table.batch.application(m_entryCursor - 1);
}

QString RunEngine::currentFile() const
{
    return m_table.files.cell(m_fileCursor - 1, 2);
}

void RunEngine::logTimed(const QString& message, int lineBreaks)
{
    m_table.log.prepend(ActivityLog::timed(m_clock.now(), message, lineBreaks));
}
