#include "CompletionAction.h"

#include "CompletionCountdown.h"
#include "core/ActivityLog.h"
#include "core/WorkSettings.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PowerControl.h"

using namespace Qt::StringLiterals;

CompletionAction::CompletionAction(const WorkSettings& settings, ActivityLog& log, Dialogs& dialogs,
                                   PowerControl& power, const Clock& clock)
    : m_settings(settings), m_log(log), m_dialogs(dialogs), m_power(power), m_clock(clock)
{
}

CompletionAction::Outcome
CompletionAction::run(const std::function<void(CompletionCountdown& countdown)>& showCountdown,
                      const std::function<void()>& storeFiles)
{
    // Only a ticked box runs an action; a grey one (2, from a template) shows unticked and only reports.
    if (!m_settings.isAfterWorkOn()) {
        m_dialogs.message(u"処理が全て終了しました"_s, applicationTitle());
        return Outcome::Reported;
    }

    if (m_settings.afterWorkAction.isSelected(WorkSettings::PowerOff)) {
        CompletionCountdown countdown(m_dialogs, m_power);
        showCountdown(countdown);
        if (countdown.result() != CompletionCountdown::Result::RanOut)
            return Outcome::Cancelled;
        // The log first, then the work table; the window writes both once more when it closes after the
        // power-off request, then with the entry below.
        storeFiles();
        m_log.prepend(ActivityLog::timed(m_clock.now(), u"「Lomvato」はマシーンの終了を実行しました／"_s));
        m_log.prependSeparator();
        // The request's result is not examined.
        m_power.powerOff();
        return Outcome::PoweredOff;
    }

    if (m_settings.afterWorkAction.isSelected(WorkSettings::EndProgram)) {
        m_log.prepend(ActivityLog::timed(m_clock.now(), u"「Lomvato」は終了処理を開始しました／"_s));
        m_log.prependSeparator();
        return Outcome::Ended;
    }
    return Outcome::Nothing;
}
