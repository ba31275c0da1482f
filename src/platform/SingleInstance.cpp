#include "SingleInstance.h"

#include "ProgramFolder.h"

bool SingleInstance::acquire(const QString& folder)
{
    m_lock = std::make_unique<QLockFile>(joinPath(folder, QStringLiteral("lomvato.lock")));
    // Staleness is judged by whether the owning process still runs, never by the lock's age: a Lomvato that
    // runs a batch for days still holds its lock.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}
