#pragma once

#include <QDateTime>
#include <QTimer>

// The wall clock and the pace of the windows' timers, so that tests can fix the time stamps of the log and
// let a countdown run out without waiting for it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Starts `timer` to fire every `milliseconds`.
    virtual void start(QTimer& timer, int milliseconds) const { timer.start(milliseconds); }
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
