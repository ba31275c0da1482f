#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One Lomvato per program folder: a lock file "lomvato.lock" there. A lock left by a crashed process is taken
// over.
class SingleInstance
{
public:
    enum class Result {
        Acquired,    // this process now holds the lock
        HeldByOther, // a running Lomvato holds it
        Failed,      // no lock could be made (a read-only or missing folder, ...); `reason` says why
    };

    Result acquire(const QString& folder, QString* reason);
    // Gives the lock up at once (the process is about to end without unwinding).
    void release();

private:
    std::unique_ptr<QLockFile> m_lock;
};
