#pragma once

class PowerControl
{
public:
    virtual ~PowerControl() = default;
    // Whether the system makes a process enable the shutdown privilege on itself before it may power the
    // machine off.
    virtual bool needsShutdownPrivilege() const = 0;
    // Enables the shutdown privilege on the program's own process; false when the system refuses.
    virtual bool acquireShutdownPrivilege() = 0;
    // Asks the system to power the machine off. The result is not examined.
    virtual void powerOff() = 0;
};
