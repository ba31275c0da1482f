#include "CompletionCountdown.h"

#include "platform/Dialogs.h"
#include "platform/PowerControl.h"

using namespace Qt::StringLiterals;

CompletionCountdown::CompletionCountdown(Dialogs& dialogs, PowerControl& power, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_power(power)
{
}

void CompletionCountdown::start()
{
    m_result = Result::Pending;
    m_asking = false;
    m_value = 0;
    emit valueChanged(m_value);
}

void CompletionCountdown::tick()
{
    if (m_result != Result::Pending || m_asking)
        return;
    if (m_value != Maximum - 1) {
        ++m_value;
        emit valueChanged(m_value);
        return;
    }
    m_asking = true;
    const bool held = holdsPrivilege();
    m_asking = false;
    // The user may have cancelled while the privilege message was open.
    if (!held || m_result != Result::Pending)
        return;
    m_result = Result::RanOut;
    emit finished(m_result);
}

bool CompletionCountdown::holdsPrivilege()
{
    if (m_power.needsShutdownPrivilege() && !m_power.acquireShutdownPrivilege()) {
        // The bar stays at its end and the timer on: a later tick tries again.
        m_dialogs.message(u"SE_SHUTDOWN_NAME特権が設定できません"_s, applicationTitle());
        return false;
    }
    return true;
}

void CompletionCountdown::cancel()
{
    if (m_result != Result::Pending)
        return;
    m_result = Result::Cancelled;
    emit finished(m_result);
}
