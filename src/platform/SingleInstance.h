#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One Lomvato per program folder: a lock file "lomvato.lock" there. A lock left by a crashed process is taken
// over.
class SingleInstance
{
public:
    // True when this process now holds the lock; false when another running instance holds it.
    bool acquire(const QString& folder);

private:
    std::unique_ptr<QLockFile> m_lock;
};
