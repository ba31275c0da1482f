#include "RunEngine.h"

#include "Expansion.h"
#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProcessLauncher.h"

using namespace Qt::StringLiterals;

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
    m_single = false;
    begin(1, 1);
}

void RunEngine::runOne(int entry, int row)
{
    if (m_running || entry < 0 || entry >= m_table.batch.count() || row < 0 || row >= m_table.files.count() ||
        !keysSound())
        return;
    m_single = true;
    begin(entry + 1, row + 1);
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
    setState(false, true);
    emit showLogTab();
    m_entryCursor = entryCursor;
    m_fileCursor = fileCursor;
    Workstart();
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
    const QString commandLine = ExpandParameter(m_table.batch.parameter(entry), m_table.files.row(row),
                                                m_table.columns.count(), m_table.apps);
    const QString app = currentApp();
    const QString file = currentFile();
    logTimed(u"["_s + app + u"]に["_s + file + u"]を送信開始／"_s);
    m_table.log.prepend(u"\t\t送信内容は"_s + commandLine + u"\r\n\r\n"_s);

    m_pollTimer.start();
    releaseProcess();
    m_processId =
        m_launcher.start(commandLine, m_table.settings.check3 + 1, RegisteredPrograms(m_table.apps));
    if (m_processId != 0) {
        // A timer rather than a sleep, so that the window keeps answering during the moment.
        m_waitPending = true;
        m_waitTimer.start();
    } else {
        // The job counts as ended at the next tick.
        logTimed(u"["_s + app + u"]に["_s + file + u"]を送信失敗（原因不明です）"_s);
    }
}

void RunEngine::openProcess()
{
    if (!m_waitPending)
        return;
    m_waitPending = false;
    m_waitTimer.stop();
    // After an abort the process is left alone.
    if (m_running && !m_abort && m_processId != 0)
        m_handle = m_launcher.open(m_processId);
}

void RunEngine::poll()
{
    // The tick arrives through the event loop, which has already delivered the clicks queued before it, so an
    // abort is seen at this tick at the latest.
    if (!m_running)
        return;
    if (m_abort) {
        m_pollTimer.stop();
        m_waitTimer.stop();
        m_waitPending = false;
        m_abort = false;
        setState(true, false);
        releaseProcess();
        updateProgress();
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
    releaseProcess();
    const QString app = currentApp();
    const QString file = currentFile();
    if (!m_note.isEmpty()) {
        logTimed(u"["_s + file + u"]は"_s + m_note + u"／"_s, 1);
        m_note.clear();
        emit noteChanged(m_note);
    }
    logTimed(u"["_s + app + u"]に["_s + file + u"]を送信終了／"_s);
    m_table.log.prependSeparator();
    advance();
}

void RunEngine::requestAbort()
{
    if (!m_running)
        return;
    m_abort = true;
    m_table.log.prependSeparator();
    logTimed(u"送信作業を中断しました／"_s);
    m_table.log.prependSeparator();
}

void RunEngine::advance()
{
    // Compared with "at or past the end", so that a list that has shrunk below a cursor during the run moves
    // the run on (or ends it) instead of walking past the end.
    const int rows = m_table.files.count();
    const int entries = m_table.batch.count();
    if (m_single) {
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
    if (!m_single)
        emit allDone();
}

void RunEngine::releaseProcess()
{
    m_handle.reset();
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
    if (m_running) {
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
