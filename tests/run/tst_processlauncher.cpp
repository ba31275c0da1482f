#include "Fakes.h"
#include "platform/CommandLine.h"
#include "platform/LinuxProcessLauncher.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestProcessLauncher : public QObject
{
    Q_OBJECT
private slots:
    void splitsRandomLinesLikeQProcess();
    void programWord_data();
    void programWord();
    void nothingToStart();
    void shellTextReachesTheProgramAsData();
    void largeOutputIsInheritedAndNeverBlocks();
    void abandonedProgramRunsOnAndLeavesNoZombie();

private:
    QTemporaryDir m_dir;
    RealFileSystem m_fs;
    LinuxProcessLauncher m_launcher{m_fs};
};

void TestProcessLauncher::splitsRandomLinesLikeQProcess()
{
    // Quotes, runs of quotes, blanks and shell characters, which are plain text here.
    const QStringList fragments{u"\""_s,   u" "_s, u"a"_s,    u"\t"_s, u"b c"_s,
                                u"\"\""_s, u";"_s, u"$(x)"_s, u"`|"_s};
    QRandomGenerator random(77);
    for (int round = 0; round < 20000; ++round) {
        QString line;
        for (int i = random.bounded(14); i > 0; --i)
            line += fragments[random.bounded(fragments.size())];
        const CommandLine split(line);
        QCOMPARE(split.texts(), QProcess::splitCommand(line));
        // Each word's span, split on its own, gives that word again.
        for (const CommandLine::Word& w : split.words())
            QCOMPARE(QProcess::splitCommand(line.mid(w.begin, w.end - w.begin)), QStringList{w.text});
    }
}

void TestProcessLauncher::programWord_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addRow("original blanks kept") << u"/opt/my \t tools/x a"_s << QStringList{u"/opt/my \t tools/x"_s}
                                          << u"/opt/my \t tools/x"_s << QStringList{u"a"_s};
    QTest::addRow("shortest that exists")
        << u"/a b c d"_s << QStringList{u"/a b c"_s, u"/a b c d"_s} << u"/a b c"_s << QStringList{u"d"_s};
    QTest::addRow("whole line") << u"/a b c"_s << QStringList{u"/a b c"_s} << u"/a b c"_s << QStringList();
    QTest::addRow("nothing exists") << u"/no such prog"_s << QStringList() << u"/no"_s
                                    << QStringList{u"such"_s, u"prog"_s};
    QTest::addRow("quoted program") << u"\"/opt/my tools/x\" \"a b\""_s << QStringList{u"/opt/my tools/x"_s}
                                    << u"/opt/my tools/x"_s << QStringList{u"a b"_s};
}

void TestProcessLauncher::programWord()
{
    QFETCH(QString, line);
    QFETCH(QStringList, existing);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QString foundProgram;
    QStringList foundArguments{u"stale"_s};
    QVERIFY(CommandLine(line).resolve([&](const QString& p) { return existing.contains(p); }, foundProgram,
                                      foundArguments));
    QCOMPARE(foundProgram, program);
    QCOMPARE(foundArguments, arguments);
}

void TestProcessLauncher::nothingToStart()
{
    for (const QString& line : {QString(), u"   "_s, u"/nonexistent/lomvato-test-program x"_s})
        QCOMPARE(m_launcher.start(line, 1), 0);
}

void TestProcessLauncher::shellTextReachesTheProgramAsData()
{
    // Anything a shell would have run lands here, where the test looks for it.
    QVERIFY(m_dir.isValid() && QDir::setCurrent(m_dir.path()));
    // The program lies in a folder with a blank and has a blank in its name; its path is not quoted.
    QVERIFY(QDir(m_dir.path()).mkpath(u"my tools"_s));
    const QString copy = m_dir.filePath(u"my tools/argv client"_s);
    QVERIFY(QFile::copy(QString::fromUtf8(LOMVATO_ARGV_CLIENT), copy));
    QFile out(m_dir.filePath(u"argv.txt"_s));
    QVERIFY(m_launcher.start(copy + u' ' + out.fileName() +
                                 u" \"a;touch pwned\" \"$(touch pwned)\" `touch pwned` |x >y & 'q'"_s,
                             2) > 0);
    QTRY_VERIFY(out.exists());
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), QByteArray("a;touch pwned\n$(touch pwned)\n`touch\npwned`\n|x\n>y\n&\n'q'\n"));
    QVERIFY(!QFile::exists(m_dir.filePath(u"pwned"_s)));
    QVERIFY(!QFile::exists(m_dir.filePath(u"y"_s)));
}

void TestProcessLauncher::largeOutputIsInheritedAndNeverBlocks()
{
    // Our standard output points at a file while the program starts, so that what it inherits can be
    // measured (and ten megabytes do not flood the test log).
    constexpr qint64 size = 10 * 1024 * 1024;
    const QString captured = m_dir.filePath(u"stdout.txt"_s);
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int fd = ::open(QFile::encodeName(captured).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
    const qint64 pid =
        m_launcher.start(QString::fromUtf8(LOMVATO_NOISY_CLIENT) + u' ' + QString::number(size), 1);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QVERIFY(pid > 0);
    if (const std::unique_ptr<ProcessHandle> handle = m_launcher.open(pid))
        QTRY_COMPARE_WITH_TIMEOUT(handle->status(), ProcessHandle::Status::Ended, 60000);
    QCOMPARE(QFileInfo(captured).size(), size);
}

void TestProcessLauncher::abandonedProgramRunsOnAndLeavesNoZombie()
{
    // What an aborted run does: the program's handle is dropped while the program still runs.
    const QString marker = m_dir.filePath(u"slept"_s);
    const qint64 pid = m_launcher.start(QString::fromUtf8(LOMVATO_SLEEP_CLIENT) + u" 1500 "_s + marker, 1);
    QVERIFY(pid > 0);
    std::unique_ptr<ProcessHandle> handle = m_launcher.open(pid);
    const std::unique_ptr<ProcessHandle> watch = m_launcher.open(pid);
    QVERIFY(handle && watch);
    QCOMPARE(handle->status(), ProcessHandle::Status::Running);
    handle.reset();
    QCOMPARE(watch->status(), ProcessHandle::Status::Running);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(watch->status(), ProcessHandle::Status::Ended, 30000);
    // No child of ours is left unreaped (looked at without reaping it).
    auto zombieChild = [] {
        siginfo_t info{};
        return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
    };
    QTRY_VERIFY(!zombieChild());
    const std::unique_ptr<ProcessHandle> late = m_launcher.open(pid);
    QVERIFY(!late || late->status() == ProcessHandle::Status::Ended);
}

QTEST_GUILESS_MAIN(TestProcessLauncher)
#include "tst_processlauncher.moc"
