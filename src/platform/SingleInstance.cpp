#include "SingleInstance.h"

#include "ProgramFolder.h"

#include <QSysInfo>

#include <cerrno>
#include <csignal>

namespace
{
// Whether the lock file names a process that still runs. QLockFile has already taken over the lock of a
// process that ended, so a dead owner here means its lock could not be removed.
bool ownerRuns(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host, application;
    if (!lock.getLockInfo(&pid, &host, &application))
        return true; // another instance is writing it right now
    // A folder shared between machines: a process of another one cannot be looked at from here.
    if (host != QSysInfo::machineHostName())
        return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}
} // namespace

SingleInstance::Result SingleInstance::acquire(const QString& folder, QString* reason)
{
    m_lock = std::make_unique<QLockFile>(joinPath(folder, QStringLiteral("lomvato.lock")));
    // Staleness is judged by whether the owning process still runs, never by the lock's age: a Lomvato that
    // runs a batch for days still holds its lock.
    m_lock->setStaleLockTime(0);
    errno = 0;
    if (m_lock->tryLock(0))
        return Result::Acquired;
    // The lock file's own open sets errno last for a lock that cannot be made.
    const int cause = errno;
    Result result = Result::Failed;
    if (m_lock->error() == QLockFile::LockFailedError) {
        if (ownerRuns(*m_lock))
            result = Result::HeldByOther;
        else
            *reason = QStringLiteral("古いロックファイルを削除できません");
    } else {
        *reason = cause != 0 ? qt_error_string(cause) : QStringLiteral("原因不明のエラー");
    }
    m_lock.reset();
    return result;
}

void SingleInstance::release()
{
    m_lock.reset();
}
