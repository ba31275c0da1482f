#include "platform/LinuxPowerControl.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
const QString Login1 = u"org.freedesktop.login1"_s;

// Stands in for logind on a private bus, so that no request can ever reach the real one.
class FakeLogind : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    QList<bool> calls;
    bool interactiveAllowed = false;
public slots:
    void PowerOff(bool interactive)
    {
        calls << interactive;
        interactiveAllowed = message().isInteractiveAuthorizationAllowed();
    }
};

// The child: requests the power-off and ends at once, as the window does after the request. It sends only
// when the name is owned by the test's own fake.
int powerOffAsChild(const QString& fakeOwner)
{
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || bus.interface()->serviceOwner(Login1).value() != fakeOwner)
        return 2;
    LinuxPowerControl().powerOff();
    return 0;
}
} // namespace

class TestLinuxPower : public QObject
{
    Q_OBJECT
private slots:
    void osVersionHasNoPrivilegeToEnable();
    void powerOffReachesLogindEvenWhenTheProgramEndsAtOnce();
};

void TestLinuxPower::osVersionHasNoPrivilegeToEnable()
{
    LinuxPowerControl power;
    QCOMPARE(power.osVersion().platformId, 0);
    QVERIFY(power.osVersion().major >= 2);
    QVERIFY(power.setShutdownPrivilege(u"SeShutdownPrivilege"_s));
}

void TestLinuxPower::powerOffReachesLogindEvenWhenTheProgramEndsAtOnce()
{
    QProcess daemon;
    daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
    if (!daemon.waitForStarted())
        QSKIP("dbus-daemon is not available");
    QTRY_VERIFY(daemon.canReadLine());
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    auto stopDaemon = qScopeGuard([&] {
        daemon.kill();
        daemon.waitForFinished();
    });

    QDBusConnection fakeBus = QDBusConnection::connectToBus(address, u"fake-system"_s);
    QVERIFY(fakeBus.isConnected());
    FakeLogind logind;
    QVERIFY(fakeBus.registerObject(u"/org/freedesktop/login1"_s, &logind, QDBusConnection::ExportAllSlots));
    QVERIFY(fakeBus.registerService(Login1));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, address);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {u"--power-off-as-child"_s, fakeBus.baseService()});
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitCode(), 0);

    QTRY_COMPARE(logind.calls, QList<bool>{true});
    QVERIFY(logind.interactiveAllowed);
    QDBusConnection::disconnectFromBus(u"fake-system"_s);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--power-off-as-child") == 0)
        return powerOffAsChild(QString::fromLocal8Bit(argv[2]));
    TestLinuxPower test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linuxpower.moc"
