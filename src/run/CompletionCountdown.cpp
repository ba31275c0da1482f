#include "CompletionCountdown.h"

#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PowerControl.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace
{
// The platform id of the systems where a process must enable the shutdown privilege itself.
constexpr int PrivilegedPlatformId = 2;
} // namespace

CompletionCountdown::CompletionCountdown(WorkTable& table, Dialogs& dialogs, PowerControl& power,
                                         const Clock& clock, std::function<void()> storeFiles,
                                         QObject* parent)
    : QObject(parent), m_table(table), m_dialogs(dialogs), m_power(power), m_clock(clock),
      m_storeFiles(std::move(storeFiles))
{
}

void CompletionCountdown::start()
{
    m_result = Result::Pending;
    m_preparing = false;
    m_value = 0;
    emit valueChanged(m_value);
}

void CompletionCountdown::tick()
{
    if (m_result != Result::Pending || m_preparing)
        return;
    if (m_value != Maximum - 1) {
        ++m_value;
        emit valueChanged(m_value);
        return;
    }
    m_preparing = true;
    const bool done = prepare();
    m_preparing = false;
    // The user may have cancelled while the privilege message was open.
    if (!done || m_result != Result::Pending)
        return;
    m_result = Result::RanOut;
    emit finished(m_result);
}

bool CompletionCountdown::prepare()
{
    if (m_power.osVersion().platformId == PrivilegedPlatformId &&
        !m_power.setShutdownPrivilege(u"SeShutdownPrivilege"_s)) {
        // The bar stays at its end and the timer on: a later tick tries again.
        m_dialogs.message(u"SE_SHUTDOWN_NAME特権が設定できません"_s, applicationTitle());
        return false;
    }
    if (m_result != Result::Pending)
        return false;
    // The log first, then the work table; the window writes both once more when it closes after the
    // power-off request, then with the entry below.
    if (m_storeFiles)
        m_storeFiles();
    m_table.log.prepend(ActivityLog::timed(m_clock.now(), u"「Lomvato」はマシーンの終了を実行しました／"_s));
    m_table.log.prependSeparator();
    return true;
}

void CompletionCountdown::cancel()
{
    if (m_result != Result::Pending)
        return;
    m_result = Result::Cancelled;
    emit finished(m_result);
}
