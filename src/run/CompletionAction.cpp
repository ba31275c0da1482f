#include "CompletionAction.h"

#include "CompletionCountdown.h"
#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PowerControl.h"

#include <utility>

using namespace Qt::StringLiterals;

CompletionAction::CompletionAction(WorkTable& table, Dialogs& dialogs, PowerControl& power,
                                   const Clock& clock, CompletionCallbacks callbacks)
    : m_table(table), m_dialogs(dialogs), m_power(power), m_clock(clock), m_callbacks(std::move(callbacks))
{
}

CompletionAction::Outcome CompletionAction::run()
{
    const WorkSettings& settings = m_table.settings;
    // Only a ticked box runs an action; a grey one (2, from a template) shows unticked and only reports.
    if (settings.check2 != 1) {
        m_dialogs.message(u"処理が全て終了しました"_s, applicationTitle());
        return Outcome::Reported;
    }

    if (settings.option2.isSelected(0)) {
        CompletionCountdown countdown(m_table, m_dialogs, m_power, m_clock, m_callbacks.storeFiles);
        const bool ranOut = m_callbacks.runCountdown && m_callbacks.runCountdown(countdown) &&
                            countdown.result() == CompletionCountdown::Result::RanOut;
        if (!ranOut)
            return Outcome::Cancelled;
        // The files and the shutdown entry are stored by now; the request's result is not examined.
        m_power.powerOff();
        if (m_callbacks.closeWindow)
            m_callbacks.closeWindow();
        return Outcome::PoweredOff;
    }

    if (settings.option2.isSelected(1)) {
        m_table.log.prepend(ActivityLog::timed(m_clock.now(), u"「Lomvato」は終了処理を開始しました／"_s));
        m_table.log.prependSeparator();
        if (m_callbacks.closeWindow)
            m_callbacks.closeWindow();
        return Outcome::Ended;
    }
    return Outcome::Nothing;
}
