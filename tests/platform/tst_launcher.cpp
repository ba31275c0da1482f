#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "platform/NativeName.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
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

// Reads a descriptor to its end, waiting for it.
QByteArray drain(int fd)
{
    QFile pipe;
    return ::fcntl(fd, F_SETFL, 0) == 0 && pipe.open(fd, QIODevice::ReadOnly) ? pipe.readAll() : "unreadable";
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
    void failedStartSaysWhy_data();
    void failedStartSaysWhy();
    void argumentsReachTheProgramWhole_data();
    void argumentsReachTheProgramWhole();
    void outputGoesWhereAsked_data();
    void outputGoesWhereAsked();

private:
    QTemporaryDir m_dir;
    RealFileSystem m_fs;
    LinuxProcessLauncher m_launcher{m_fs};
};

void TestLauncher::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // An empty file that may be executed.
    QFile garbage(m_dir.filePath(u"garbage"_s));
    QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    // Programs in folders with a blank, and one at a shorter prefix of a path that holds a blank.
    const QDir dir(m_dir.path());
    QVERIFY(dir.mkpath(u"my tools"_s) && dir.mkpath(u"My Tools"_s));
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), dir.filePath(u"my tools/argv client"_s)));
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), dir.filePath(u"My Tools/conv"_s)));
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), dir.filePath(u"My"_s)));
    // Anything a shell would have run lands here, not in the build folder.
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void TestLauncher::startsAsAJobOfItsOwn_data()
{
    // Our own signal state while the job starts; the job starts with defaults whatever it is.
    QTest::addColumn<QList<int>>("ignored");
    QTest::addColumn<QList<int>>("blocked");
    QTest::addColumn<bool>("capture");
    QTest::addRow("SIGINT and SIGPIPE ignored") << QList<int>{SIGINT, SIGPIPE} << QList<int>{} << false;
    QTest::addRow("signals blocked") << QList<int>{} << QList<int>{SIGTERM, SIGUSR1, SIGCHLD} << true;
}

void TestLauncher::startsAsAJobOfItsOwn()
{
    QFETCH(QList<int>, ignored);
    QFETCH(QList<int>, blocked);
    QFETCH(bool, capture);
    const QString report = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).remove(u' '));

    // Our standard input stays open, as a terminal's would: the job must read end of file all the same.
    int input[2];
    QVERIFY(::pipe2(input, O_CLOEXEC) == 0);
    const int savedInput = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    ::dup2(input[0], STDIN_FILENO);
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
        ::dup2(savedInput, STDIN_FILENO);
        for (const int fd : {savedInput, input[0], input[1]})
            ::close(fd);
        ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        for (qsizetype i = 0; i < ignored.size(); ++i)
            ::sigaction(ignored[i], &saved[static_cast<size_t>(i)], nullptr);
    });

    const ProcessLauncher::Started job =
        m_launcher.launch(QString::fromUtf8(LOMVATO_STATE_CLIENT) + u' ' + report, {}, capture);
    QVERIFY(job.pid > 0);
    QVERIFY(job.handle && job.handle->endDescriptor() >= 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 10000);
    QCOMPARE(contents(report), onItsOwn);
}

void TestLauncher::failedStartSaysWhy_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("failure");
    const QString dir = m_dir.path() + u'/';
    QTest::addRow("missing") << dir + u"missing x"_s << qt_error_string(ENOENT);
    QTest::addRow("not a program") << dir + u"garbage"_s << qt_error_string(ENOEXEC);
    QTest::addRow("nowhere along PATH")
        << u"lomvato-nowhere x"_s << u"lomvato-nowhere は PATH のどのフォルダーにもありません"_s;
    QTest::addRow("no words") << u" \t"_s << u"コマンドラインにプログラムがありません"_s;
}

void TestLauncher::failedStartSaysWhy()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, failure);
    QTRY_VERIFY(!zombieChild()); // the jobs of the tests before are reaped from the event loop
    const int before = openDescriptors();
    const ProcessLauncher::Started job = m_launcher.launch(commandLine, {}, true);
    QCOMPARE(job.pid, 0);
    QVERIFY(!job.handle);
    QVERIFY(!job.output.isValid() && !job.errors.isValid());
    QCOMPARE(job.failure, failure);
    QCOMPARE(openDescriptors(), before);
    QVERIFY(!zombieChild());
}

void TestLauncher::argumentsReachTheProgramWhole_data()
{
    // The program, in the test's folder; whether it is registered; the line behind the program and the file
    // it records into; what it records, each argument ended by a NUL byte.
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("recorded");
    // Found by its words without quotes; what a shell would run is text.
    QTest::addRow("shell text") << u"my tools/argv client"_s << false
                                << u"\"a;touch pwned\" \"$(touch pwned)\" `touch pwned` |x >y & 'q'"_s
                                << "a;touch pwned\0$(touch pwned)\0`touch\0pwned`\0|x\0>y\0&\0'q'\0"_ba;
    QTest::addRow("registered, beside a shorter path") << u"My Tools/conv"_s << true << u"x"_s << "x\0"_ba;
    // A name quoted as a key's value is quoted: quotes and options, a line break, a byte that is not UTF-8,
    // an ideographic space.
    const QByteArray name = "a\" \"--x\" \"b\nline caf\xe9 " + u"写真　1.jpg"_s.toUtf8();
    QTest::addRow("a name") << u"my tools/argv client"_s << true
                            << u'"' + CommandLine::escapeQuotes(NativeName::decode(name)) + u'"'
                            << name + '\0';
}

void TestLauncher::argumentsReachTheProgramWhole()
{
    QFETCH(QString, program);
    QFETCH(bool, registered);
    QFETCH(QString, arguments);
    QFETCH(QByteArray, recorded);
    const QString path = m_dir.filePath(program);
    const QString out = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).remove(u' ') + u".out"_s);
    const QString line = path + u' ' + out + u' ' + arguments;
    const QStringList known = registered ? QStringList{path} : QStringList();
    QVERIFY(m_launcher.start(line, known) > 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    QCOMPARE(contents(out), recorded);
    // What arguments() says the program gets, as the preview and the job file show it.
    QByteArray listed;
    for (const QString& argument : m_launcher.arguments(line, known).mid(2))
        listed += NativeName::encode(argument) + '\0';
    QCOMPARE(listed, recorded);
}

void TestLauncher::outputGoesWhereAsked_data()
{
    QTest::addColumn<bool>("capture");
    QTest::addRow("captured") << true;
    QTest::addRow("inherited") << false;
}

void TestLauncher::outputGoesWhereAsked()
{
    QFETCH(bool, capture);
    // Far more than a pipe holds ("out-3" and a line end, then the filler). Our standard output points at a
    // file while the program starts, so that what it inherits is measured.
    constexpr qsizetype size = 6 + 10 * 1024 * 1024;
    const QString inherited = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open(QFile::encodeName(inherited).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
    const ProcessLauncher::Started job = m_launcher.launch(
        QString::fromUtf8(LOMVATO_EXIT_CLIENT) + u" 3 "_s + QString::number(size - 6), {}, capture);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QVERIFY(job.pid > 0 && job.handle);
    QCOMPARE(job.output.isValid() && job.errors.isValid(), capture);
    if (capture) {
        for (const int fd : {job.output.get(), job.errors.get()}) {
            QVERIFY(fd > STDERR_FILENO);
            QVERIFY(::fcntl(fd, F_GETFL) & O_NONBLOCK);
            QVERIFY(::fcntl(fd, F_GETFD) & FD_CLOEXEC);
        }
        // The full pipe holds the job until it is read.
        int queued = 0;
        QTRY_VERIFY(::ioctl(job.output.get(), FIONREAD, &queued) == 0 &&
                    queued == ::fcntl(job.output.get(), F_GETPIPE_SZ));
        QCOMPARE(job.handle->status(), ProcessHandle::Status::Running);
        QCOMPARE(drain(job.output.get()).size(), size);
        QCOMPARE(drain(job.errors.get()), "err-3\n");
    }
    QTRY_COMPARE_WITH_TIMEOUT(job.handle->status(), ProcessHandle::Status::Ended, 60000);
    QCOMPARE(job.handle->outcome().kind, ProcessHandle::Outcome::Kind::Exited);
    QCOMPARE(job.handle->outcome().code, 3);
    QCOMPARE(QFileInfo(inherited).size(), capture ? 0 : size);
}

QTEST_GUILESS_MAIN(TestLauncher)

#include "tst_launcher.moc"
