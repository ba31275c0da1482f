#include "LinuxPowerControl.h"

#include <QDBusConnection>
#include <QDBusMessage>

using namespace Qt::StringLiterals;

void LinuxPowerControl::powerOff()
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                                       u"org.freedesktop.login1.Manager"_s, u"PowerOff"_s);
    // interactive = true: polkit may ask the user for a password instead of refusing outright.
    call << true;
    call.setInteractiveAuthorizationAllowed(true);
    // The window closes and the process ends right after this request. A message only queued could be lost
    // with the process, so wait for logind's answer, for a few seconds at most; what it answers is not
    // examined, and a refusal goes unnoticed.
    QDBusConnection::systemBus().call(call, QDBus::Block, 3000);
}
