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
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{
// Looked at without reaping it.
bool zombieChild()
{
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
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
    void startsAsAJobOfItsOwn();
    void failedStartSaysWhy_data();
    void failedStartSaysWhy();
    void argumentsReachTheProgramWhole_data();
    void argumentsReachTheProgramWhole();
    void outputGoesWhereAsked();

private:
    QTemporaryDir m_dir;
    RealFileSystem m_fs;
    LinuxProcessLauncher m_launcher{m_fs};
};

void TestLauncher::initTestCase()
{
    QFile garbage(m_dir.filePath(u"garbage"_s));
    QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(QDir(m_dir.path()).mkpath(u"my tools"_s));
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), m_dir.filePath(u"my tools/argv client"_s)));
    // Anything a shell would have run lands here, and the failed starts are relative to it.
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

// Our standard input stays open, as a terminal's would, SIGINT is ignored, as when started in the background,
// and every signal blocked: the job still reads end of file and gets every signal at its default.
void TestLauncher::startsAsAJobOfItsOwn()
{
    int input[2];
    QVERIFY(::pipe2(input, O_CLOEXEC) == 0);
    const int savedInput = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    ::dup2(input[0], STDIN_FILENO);
    const sighandler_t savedInt = ::signal(SIGINT, SIG_IGN);
    sigset_t block;
    sigset_t mask;
    ::sigfillset(&block);
    ::pthread_sigmask(SIG_BLOCK, &block, &mask);
    const auto restore = qScopeGuard([&] {
        ::dup2(savedInput, STDIN_FILENO);
        for (const int fd : {savedInput, input[0], input[1]})
            ::close(fd);
        ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        ::signal(SIGINT, savedInt);
    });
    const QString report = m_dir.filePath(u"state"_s);
    const ProcessLauncher::Started job =
        m_launcher.launch(QString::fromUtf8(LOMVATO_STATE_CLIENT) + u' ' + report, {}, false);
    QVERIFY(job.handle && job.handle->endDescriptor() >= 0);
    QTRY_COMPARE_WITH_TIMEOUT(contents(report), "stdin=eof\nsession=own\ntty=none\nignored=\nblocked=\n"_ba,
                              10000);
}

void TestLauncher::failedStartSaysWhy_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("failure");
    QTest::addRow("not a program") << u"./garbage"_s << qt_error_string(ENOEXEC);
    QTest::addRow("nowhere along PATH")
        << u"lomvato-nowhere x"_s << u"lomvato-nowhere は PATH のどのフォルダーにもありません"_s;
    QTest::addRow("no words") << u" \t"_s << u"コマンドラインにプログラムがありません"_s;
}

void TestLauncher::failedStartSaysWhy()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, failure);
    const auto descriptors = [] { return QDir(u"/proc/self/fd"_s).entryList(QDir::Files | QDir::System); };
    QTRY_VERIFY(!zombieChild()); // the jobs of the tests before are reaped from the event loop
    const QStringList before = descriptors();
    const ProcessLauncher::Started job = m_launcher.launch(commandLine, {}, true);
    QVERIFY(job.pid == 0 && !job.handle);
    QCOMPARE(job.failure, failure);
    QCOMPARE(descriptors(), before);
    QVERIFY(!zombieChild());
}

void TestLauncher::argumentsReachTheProgramWhole_data()
{
    // The line runs "my tools/argv client" <output file> <arguments>; each recorded argument ends in a NUL.
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("recorded");
    // Found by its words without quotes; what a shell would run stays text.
    QTest::addRow("shell text") << false
                                << u"\"a;touch pwned\" \"$(touch pwned)\" `touch pwned` |x >y & 'q'"_s
                                << "a;touch pwned\0$(touch pwned)\0`touch\0pwned`\0|x\0>y\0&\0'q'\0"_ba;
    // A quoted key value: quotes, a line break, a byte that is not UTF-8, an ideographic space.
    const QByteArray name = "a\" \"--x\" \"b\nline caf\xe9 " + u"写真　1.jpg"_s.toUtf8();
    QTest::addRow("a name") << true << u'"' + CommandLine::escapeQuotes(NativeName::decode(name)) + u'"'
                            << name + '\0';
}

void TestLauncher::argumentsReachTheProgramWhole()
{
    QFETCH(bool, registered);
    QFETCH(QString, arguments);
    QFETCH(QByteArray, recorded);
    const QString path = m_dir.filePath(u"my tools/argv client"_s);
    const QString out = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).remove(u' ') + u".out"_s);
    const QStringList known = registered ? QStringList{path} : QStringList();
    QVERIFY(m_launcher.start(path + u' ' + out + u' ' + arguments, known) > 0);
    QTRY_COMPARE_WITH_TIMEOUT(contents(out), recorded, 10000);
}

// Far more than a pipe holds, captured and not; our standard output points at a file while both start.
void TestLauncher::outputGoesWhereAsked()
{
    constexpr qsizetype size = 6 + 10 * 1024 * 1024; // "out-3\n" and the filler
    const QString command = QString::fromUtf8(LOMVATO_EXIT_CLIENT) + u" 3 "_s + QString::number(size - 6);
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open("inherited", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
    const ProcessLauncher::Started captured = m_launcher.launch(command, {}, true);
    const ProcessLauncher::Started plain = m_launcher.launch(command, {}, false);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QVERIFY(captured.handle && plain.handle && !plain.output.isValid() && !plain.errors.isValid());
    for (const int pipe : {captured.output.get(), captured.errors.get()})
        QVERIFY(::fcntl(pipe, F_GETFD) == FD_CLOEXEC && ::fcntl(pipe, F_GETFL) & O_NONBLOCK);
    QFile output; // read to its end, blocking
    QVERIFY(::fcntl(captured.output.get(), F_SETFL, 0) == 0 &&
            output.open(captured.output.get(), QIODevice::ReadOnly));
    QCOMPARE(output.readAll().size(), size);
    QTRY_COMPARE_WITH_TIMEOUT(plain.handle->status(), ProcessHandle::Status::Ended, 60000);
    QCOMPARE(QFileInfo(u"inherited"_s).size(), size);
}

QTEST_GUILESS_MAIN(TestLauncher)

#include "tst_launcher.moc"
