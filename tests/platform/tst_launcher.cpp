#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{
// What the state client reports when it starts as a job of its own should.
constexpr QByteArrayView onItsOwn = "stdin=eof\nsession=own\ntty=none\nignored=\nblocked=\n";

// Looked at without reaping it.
bool zombieChild()
{
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

int openDescriptors()
{
    return static_cast<int>(QDir(u"/proc/self/fd"_s).entryList(QDir::Files | QDir::System).size());
}

// Reads a non-blocking descriptor until end of file, or for at most a minute.
QByteArray drain(int fd)
{
    QByteArray all;
    char buffer[65536];
    const QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n > 0) {
            all.append(buffer, n);
            continue;
        }
        if (errno != EAGAIN && errno != EINTR)
            break;
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
    }
    return all;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}
} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsAsAJobOfItsOwn_data();
    void startsAsAJobOfItsOwn();
    void ctrlCInTheTerminalReachesOnlyLomvato();
    void failedStartSaysWhy_data();
    void failedStartSaysWhy();
    void capturedStreamsArriveApart();
    void fullPipeHoldsTheJobUntilRead();
    void droppedHandleLeavesNoZombie();

private:
    QTemporaryDir m_dir;
    RealFileSystem m_fs;
    LinuxProcessLauncher m_launcher{m_fs};
};

void TestLauncher::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkdir(u"folder"_s));
    QFile text(m_dir.filePath(u"plain.txt"_s));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("text\n") == 5);
    text.close();
    QFile garbage(m_dir.filePath(u"garbage"_s));
    QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("not a program\n") == 14);
    garbage.close();
    QVERIFY(garbage.setPermissions(garbage.permissions() | QFile::ExeOwner));
}

void TestLauncher::startsAsAJobOfItsOwn_data()
{
    // Our own signal state while the job starts; the job starts with defaults whatever it is.
    QTest::addColumn<QList<int>>("ignored");
    QTest::addColumn<QList<int>>("blocked");
    QTest::addColumn<bool>("capture");
    QTest::addRow("as we are") << QList<int>{} << QList<int>{} << false;
    QTest::addRow("output captured") << QList<int>{} << QList<int>{} << true;
    QTest::addRow("SIGINT and SIGPIPE ignored") << QList<int>{SIGINT, SIGPIPE} << QList<int>{} << false;
    QTest::addRow("signals blocked") << QList<int>{} << QList<int>{SIGTERM, SIGUSR1, SIGCHLD} << true;
    QTest::addRow("ignored and blocked")
        << QList<int>{SIGHUP, SIGQUIT} << QList<int>{SIGHUP, SIGINT} << false;
}

void TestLauncher::startsAsAJobOfItsOwn()
{
    QFETCH(QList<int>, ignored);
    QFETCH(QList<int>, blocked);
    QFETCH(bool, capture);
    const QString report = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).remove(u' '));

    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    std::vector<struct sigaction> saved(ignored.size());
    for (qsizetype i = 0; i < ignored.size(); ++i)
        ::sigaction(ignored[i], &ignore, &saved[static_cast<size_t>(i)]);
    sigset_t block;
    sigset_t mask;
    ::sigemptyset(&block);
    for (const int s : blocked)
        ::sigaddset(&block, s);
    ::pthread_sigmask(SIG_BLOCK, &block, &mask);
    const auto restore = qScopeGuard([&] {
        ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        for (qsizetype i = 0; i < ignored.size(); ++i)
            ::sigaction(ignored[i], &saved[static_cast<size_t>(i)], nullptr);
    });

    const ProcessLauncher::Started job =
        m_launcher.launch(QString::fromUtf8(LOMVATO_STATE_CLIENT) + u' ' + report, {}, capture);
    QVERIFY(job.pid > 0);
    QVERIFY(job.handle && job.handle->endDescriptor() >= 0);
    QCOMPARE(::getsid(static_cast<pid_t>(job.pid)), static_cast<pid_t>(job.pid));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 10000);
    QCOMPARE(contents(report), onItsOwn);
}

void TestLauncher::ctrlCInTheTerminalReachesOnlyLomvato()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(master >= 0);
    const UniqueFd terminal(master);
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString ready = m_dir.filePath(u"host-ready"_s);
    const QString report = m_dir.filePath(u"after-ctrl-c"_s);
    QProcess host;
    host.start(QString::fromUtf8(LOMVATO_PTY_HOST),
               {QString::fromLocal8Bit(::ptsname(master)), ready,
                QString::fromUtf8(LOMVATO_STATE_CLIENT) + u' ' + report + u" 1500"_s});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ready), 10000);

    QCOMPARE(::write(master, "\x03", 1), 1);
    QTRY_COMPARE(host.state(), QProcess::NotRunning);
    QCOMPARE(host.exitStatus(), QProcess::CrashExit);
    QVERIFY2(!QFile::exists(report), "the job had done its work before the key was typed");
    // The job also saw no hang-up when the terminal's session leader went away.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 10000);
    QCOMPARE(contents(report), onItsOwn);
}

void TestLauncher::failedStartSaysWhy_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("failure");
    const QString dir = m_dir.path() + u'/';
    QTest::addRow("missing") << dir + u"missing x"_s << qt_error_string(ENOENT);
    QTest::addRow("not executable") << dir + u"plain.txt"_s << qt_error_string(EACCES);
    QTest::addRow("folder") << dir + u"folder"_s << qt_error_string(EACCES);
    QTest::addRow("not a program") << dir + u"garbage"_s << qt_error_string(ENOEXEC);
    QTest::addRow("nowhere along PATH")
        << u"lomvato-nowhere x"_s << u"lomvato-nowhere は PATH のどのフォルダーにもありません"_s;
    QTest::addRow("no words") << u" \t"_s << u"コマンドラインにプログラムがありません"_s;
}

void TestLauncher::failedStartSaysWhy()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, failure);
    const int before = openDescriptors();
    const ProcessLauncher::Started job = m_launcher.launch(commandLine, {}, true);
    QCOMPARE(job.pid, 0);
    QVERIFY(!job.handle);
    QVERIFY(!job.output.isValid() && !job.errors.isValid());
    QCOMPARE(job.failure, failure);
    QVERIFY(!failure.isEmpty());
    QCOMPARE(openDescriptors(), before);
    QVERIFY(!zombieChild());
}

void TestLauncher::capturedStreamsArriveApart()
{
    const ProcessLauncher::Started job =
        m_launcher.launch(QString::fromUtf8(LOMVATO_NOISY_CLIENT) + u" 5 \"went wrong\""_s, {}, true);
    QVERIFY(job.pid > 0 && job.handle);
    for (const int fd : {job.output.get(), job.errors.get()}) {
        QVERIFY(fd > STDERR_FILENO);
        QVERIFY(::fcntl(fd, F_GETFL) & O_NONBLOCK);
        QVERIFY(::fcntl(fd, F_GETFD) & FD_CLOEXEC);
    }
    QCOMPARE(drain(job.output.get()), "xxxxx");
    QCOMPARE(drain(job.errors.get()), "went wrong");
    QTRY_COMPARE(job.handle->status(), ProcessHandle::Status::Ended);
    QCOMPARE(job.handle->outcome().kind, ProcessHandle::Outcome::Kind::Exited);
    QCOMPARE(job.handle->outcome().code, 3);
}

void TestLauncher::fullPipeHoldsTheJobUntilRead()
{
    constexpr qsizetype size = 10 * 1024 * 1024;
    const ProcessLauncher::Started job =
        m_launcher.launch(QString::fromUtf8(LOMVATO_NOISY_CLIENT) + u' ' + QString::number(size), {}, true);
    QVERIFY(job.pid > 0 && job.handle);
    QTest::qWait(500);
    QCOMPARE(job.handle->status(), ProcessHandle::Status::Running);
    QCOMPARE(drain(job.output.get()).size(), size);
    QTRY_COMPARE(job.handle->status(), ProcessHandle::Status::Ended);
    QCOMPARE(job.handle->outcome().code, 3);
    QCOMPARE(drain(job.errors.get()), QByteArray());
}

void TestLauncher::droppedHandleLeavesNoZombie()
{
    const QString marker = m_dir.filePath(u"slept"_s);
    m_launcher.launch(QString::fromUtf8(LOMVATO_SLEEP_CLIENT) + u" 200 "_s + marker, {});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    QTRY_VERIFY(!zombieChild());
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
