#pragma once

#include <QObject>

#include <functional>

class Clock;
class Dialogs;
class PowerControl;
class WorkTable;

// The shutdown countdown behind Form6: 500 ticks of 10 ms on a bar of 0..500 that stops one step short of
// full, then the preparations for the power-off (the privilege where the system demands it, storing the
// files, the log entry). The dialog owns the timer and calls tick(); tests call it directly.
class CompletionCountdown : public QObject
{
    Q_OBJECT
public:
    enum class Result { Pending, RanOut, Cancelled };

    static constexpr int Maximum = 500;
    static constexpr int TickMilliseconds = 10;

    CompletionCountdown(WorkTable& table, Dialogs& dialogs, PowerControl& power, const Clock& clock,
                        std::function<void()> storeFiles, QObject* parent = nullptr);

    // Sets the bar back to 0 and the result to pending.
    void start();
    // One period of the timer: climbs the bar, or at its end tries the preparations.
    void tick();
    // The cancel button: ends the countdown unless it has already run out. Nothing is stored or logged.
    void cancel();

    int value() const { return m_value; }
    Result result() const { return m_result; }

signals:
    void valueChanged(int value);
    // Emitted once, with RanOut or Cancelled.
    void finished(CompletionCountdown::Result result);

private:
    bool prepare();

    WorkTable& m_table;
    Dialogs& m_dialogs;
    PowerControl& m_power;
    const Clock& m_clock;
    std::function<void()> m_storeFiles;
    int m_value = 0;
    Result m_result = Result::Pending;
    // Set while the preparations run: the privilege message is modal, and the timer keeps ticking under it.
    bool m_preparing = false;
};
