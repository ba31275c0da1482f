#pragma once

#include <QString>

// The operating system's version record; only the platform id is read (2: a system that demands the shutdown
// privilege before a power-off).
struct OsVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int platformId = 0;
};

class PowerControl
{
public:
    virtual ~PowerControl() = default;
    virtual OsVersion osVersion() const = 0;
    // Enables the named privilege on the program's own process.
    virtual bool setShutdownPrivilege(const QString& name) = 0;
    // Asks the system to power the machine off. The result is not examined.
    virtual void powerOff() = 0;
};
