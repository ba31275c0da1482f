#pragma once

#include <QObject>

class Dialogs;
class PowerControl;

// The shutdown countdown behind ShutdownCountdownDialog: 500 ticks of 10 ms on a bar of 0..500 that stops one
// step short of full, then the shutdown privilege where the system demands one. The dialog owns the timer and
// calls tick(); tests call it directly.
class CompletionCountdown : public QObject
{
    Q_OBJECT
public:
    enum class Result { Pending, RanOut, Cancelled };

    static constexpr int Maximum = 500;
    static constexpr int TickMilliseconds = 10;

    CompletionCountdown(Dialogs& dialogs, PowerControl& power, QObject* parent = nullptr);

    // Sets the bar back to 0 and the result to pending.
    void start();
    // One period of the timer: climbs the bar, or at its end tries for the privilege.
    void tick();
    // The cancel button: ends the countdown unless it has already run out.
    void cancel();

    int value() const { return m_value; }
    Result result() const { return m_result; }

signals:
    void valueChanged(int value);
    // Emitted once, with RanOut or Cancelled.
    void finished(CompletionCountdown::Result result);

private:
    bool holdsPrivilege();

    Dialogs& m_dialogs;
    PowerControl& m_power;
    int m_value = 0;
    Result m_result = Result::Pending;
    // Set while the privilege is asked for: its message is modal, and the timer keeps ticking under it.
    bool m_asking = false;
};
