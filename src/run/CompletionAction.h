#pragma once

#include <functional>

class Clock;
class CompletionCountdown;
class Dialogs;
class PowerControl;
class WorkTable;

// What the window lends to the completion action.
struct CompletionCallbacks {
    // Writes log.ini, then default.lvt, into the program folder.
    std::function<void()> storeFiles;
    // The main window's normal close path (which stores both files once more).
    std::function<void()> closeWindow;
    // Shows Form6 modally over the countdown and returns true when it ran out, false when it was cancelled.
    std::function<bool(CompletionCountdown& countdown)> runCountdown;
};

// The after-work action, run once after the last job of a run that was not aborted: a message, the end of
// the program, or the countdown and the machine's power-off, as chosen by Check2 and Option2.
class CompletionAction
{
public:
    enum class Outcome {
        Nothing,    // after-work action on, but neither button selected (a template can say "False|False")
        Reported,   // the message "処理が全て終了しました"; the program stays open
        Cancelled,  // the countdown was cancelled; the program stays open
        PoweredOff, // the power-off was requested and the window closed
        Ended,      // the program closed itself
    };

    CompletionAction(WorkTable& table, Dialogs& dialogs, PowerControl& power, const Clock& clock,
                     CompletionCallbacks callbacks);

    Outcome run();

private:
    WorkTable& m_table;
    Dialogs& m_dialogs;
    PowerControl& m_power;
    const Clock& m_clock;
    CompletionCallbacks m_callbacks;
};
