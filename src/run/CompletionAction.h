#pragma once

#include <functional>

class ActivityLog;
class Clock;
class CompletionCountdown;
class Dialogs;
class PowerControl;
class WorkSettings;

// The after-work action, run once after the last job of a run that was not aborted: a message, the end of
// the program, or the countdown and the machine's power-off, as chosen by the after-work box and its action.
class CompletionAction
{
public:
    enum class Outcome {
        Nothing,    // after-work action on, but neither button selected (a template can say "False|False")
        Reported,   // the message "処理が全て終了しました"; the program stays open
        Cancelled,  // the countdown was cancelled; the program stays open
        PoweredOff, // the power-off was requested; the window closes
        Ended,      // the program ends; the window closes
    };

    CompletionAction(const WorkSettings& settings, ActivityLog& log, Dialogs& dialogs, PowerControl& power,
                     const Clock& clock);

    // showCountdown shows ShutdownCountdownDialog modally over the countdown and returns when the countdown
    // has ended; storeFiles writes log.ini, then default.lvt, into the program folder. The caller closes the
    // window (its normal close path, which stores both files once more) when the outcome says so.
    Outcome run(const std::function<void(CompletionCountdown& countdown)>& showCountdown,
                const std::function<void()>& storeFiles);
    static bool closesWindow(Outcome outcome)
    {
        return outcome == Outcome::PoweredOff || outcome == Outcome::Ended;
    }

private:
    const WorkSettings& m_settings;
    ActivityLog& m_log;
    Dialogs& m_dialogs;
    PowerControl& m_power;
    const Clock& m_clock;
};
