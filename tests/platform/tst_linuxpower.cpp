#include "platform/LinuxPowerControl.h"

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
public slots:
    void PowerOff(bool interactive) { calls << interactive << message().isInteractiveAuthorizationAllowed(); }
};
} // namespace

class TestLinuxPower : public QObject
{
    Q_OBJECT
private slots:
    void powerOffReachesLogindEvenWhenTheProgramEndsAtOnce();
};

void TestLinuxPower::powerOffReachesLogindEvenWhenTheProgramEndsAtOnce()
{
    QProcess daemon;
    daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
    if (!daemon.waitForStarted())
        QSKIP("dbus-daemon is not available");
    auto stopDaemon = qScopeGuard([&] {
        daemon.kill();
        daemon.waitForFinished();
    });
    QTRY_VERIFY(daemon.canReadLine());
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();

    QDBusConnection fakeBus = QDBusConnection::connectToBus(address, u"fake-system"_s);
    FakeLogind logind;
    QVERIFY(fakeBus.registerObject(u"/org/freedesktop/login1"_s, &logind, QDBusConnection::ExportAllSlots));
    QVERIFY(fakeBus.registerService(Login1));

    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
    QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(),
                               {u"--power-off-as-child"_s, fakeBus.baseService()}),
             0);
    QTRY_COMPARE(logind.calls, (QList<bool>{true, true})); // interactive, and allowed to ask
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The child asks for the power-off and ends at once, as the window does; only if the test's fake owns it.
    if (argc == 3 && qstrcmp(argv[1], "--power-off-as-child") == 0) {
        const QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected() ||
            bus.interface()->serviceOwner(Login1).value() != QString::fromLocal8Bit(argv[2]))
            return 2;
        LinuxPowerControl().powerOff();
        return 0;
    }
    TestLinuxPower test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linuxpower.moc"
