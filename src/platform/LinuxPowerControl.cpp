#include "LinuxPowerControl.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QRegularExpression>

#include <sys/utsname.h>

using namespace Qt::StringLiterals;

OsVersion LinuxPowerControl::osVersion() const
{
    OsVersion version; // platform id 0: no privilege to enable before a power-off
    utsname names{};
    if (uname(&names) != 0)
        return version;
    // The release reads like "6.1.0-18-amd64": major, minor, patch level, then the distribution's suffix.
    static const QRegularExpression numbers(u"^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"_s);
    const QRegularExpressionMatch match = numbers.match(QString::fromLocal8Bit(names.release));
    if (match.hasMatch()) {
        version.major = match.captured(1).toInt();
        version.minor = match.captured(2).toInt();
        version.build = match.captured(3).toInt();
    }
    return version;
}

bool LinuxPowerControl::setShutdownPrivilege(const QString&)
{
    // logind decides through polkit when the request arrives; the process holds nothing to enable.
    return true;
}

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
