#include "Fakes.h"
#include "core/WorkTable.h"
#include "platform/CommandLine.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/RunEngine.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{
const QString argvClient = QString::fromUtf8(LOMVATO_ARGV_CLIENT);
const QString noisyClient = QString::fromUtf8(LOMVATO_NOISY_CLIENT);
const QString sleepClient = QString::fromUtf8(LOMVATO_SLEEP_CLIENT);

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {u"<unreadable>"_s};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    lines.removeLast();
    return lines;
}

// Children of this process that have ended and were never reaped.
int zombieChildren()
{
    int zombies = 0;
    const QByteArray self = QByteArray::number(::getpid());
    QDirIterator it(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        QFile stat(it.next() + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[0] == "Z" && fields[1] == self)
            ++zombies;
    }
    return zombies;
}

// Points this process's standard output at a file for a while, so that what a started program inherits can be
// seen (and ten megabytes do not flood the test log).
class StdoutToFile
{
public:
    explicit StdoutToFile(const QString& path)
    {
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
    ~StdoutToFile()
    {
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }

private:
    int m_saved;
};

// The real engine with the real launcher, at a quick pace.
struct RealRig {
    WorkTable table;
    RealFileSystem fs;
    LinuxProcessLauncher launcher{fs};
    SystemClock clock;
    FakeDialogs dialogs;
    RunEngine engine{table, launcher, fs, clock, dialogs};
    QSignalSpy allDone{&engine, &RunEngine::allDone};

    RealRig(const QString& program, const QStringList& fileNames, const QString& folder)
    {
        engine.setPeriods(20, 10);
        table.apps.appendRow({u"<App1>"_s, QFileInfo(program).fileName(), program});
        std::vector<FileList::Row> rows;
        for (const QString& name : fileNames)
            rows.push_back({u""_s, u""_s, name, u""_s, folder, folder + u'/' + name});
        table.files.appendRows(rows);
    }
    void addEntry(const QString& app, const QString& parameter)
    {
        table.batch.appendRow({u"<App1>"_s, app, parameter, QString()});
    }
};
} // namespace

class TestProcessLauncher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void splitsRandomLinesLikeQProcess();
    void programWord_data();
    void programWord();
    void emptyLineDoesNotStart_data();
    void emptyLineDoesNotStart();
    void shellTextReachesTheProgramAsData();
    void programInAFolderWithABlank();
    void largeOutputIsInheritedAndNeverBlocks();
    void realRunGoesOnAfterAMissingProgram();
    void abandonedProgramRunsOnAndLeavesNoZombie();

private:
    QTemporaryDir m_dir;
};

void TestProcessLauncher::init()
{
    QVERIFY(m_dir.isValid());
    // Anything a shell would have run lands here, where the tests look for it.
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

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
    QTest::addRow("first word exists") << u"/bin/x a b"_s << QStringList{u"/bin/x"_s, u"/bin/x a"_s}
                                       << u"/bin/x"_s << QStringList{u"a"_s, u"b"_s};
    QTest::addRow("two words") << u"/opt/my tools/x a"_s << QStringList{u"/opt/my tools/x"_s}
                               << u"/opt/my tools/x"_s << QStringList{u"a"_s};
    QTest::addRow("original blanks kept") << u"/opt/my \t tools/x a"_s << QStringList{u"/opt/my \t tools/x"_s}
                                          << u"/opt/my \t tools/x"_s << QStringList{u"a"_s};
    QTest::addRow("shortest that exists")
        << u"/a b c d"_s << QStringList{u"/a b c"_s, u"/a b c d"_s} << u"/a b c"_s << QStringList{u"d"_s};
    QTest::addRow("whole line") << u"/a b c"_s << QStringList{u"/a b c"_s} << u"/a b c"_s << QStringList();
    QTest::addRow("nothing exists") << u"/no such prog"_s << QStringList() << u"/no"_s
                                    << QStringList{u"such"_s, u"prog"_s};
    QTest::addRow("quoted program") << u"\"/opt/my tools/x\" \"a b\""_s << QStringList{u"/opt/my tools/x"_s}
                                    << u"/opt/my tools/x"_s << QStringList{u"a b"_s};
    QTest::addRow("single word") << u"prog"_s << QStringList() << u"prog"_s << QStringList();
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

void TestProcessLauncher::emptyLineDoesNotStart_data()
{
    QTest::addColumn<QString>("line");
    QTest::addRow("empty") << QString();
    QTest::addRow("blanks") << u"   "_s;
    QTest::addRow("missing program") << u"/nonexistent/lomvato-test-program x"_s;
}

void TestProcessLauncher::emptyLineDoesNotStart()
{
    QFETCH(QString, line);
    RealFileSystem fs;
    LinuxProcessLauncher launcher(fs);
    QCOMPARE(launcher.start(line, 1), 0);
}

void TestProcessLauncher::shellTextReachesTheProgramAsData()
{
    RealFileSystem fs;
    LinuxProcessLauncher launcher(fs);
    const QString out = m_dir.filePath(u"argv.txt"_s);
    const qint64 pid = launcher.start(
        argvClient + u' ' + out + u" \"a;touch pwned\" \"$(touch pwned)\" `touch pwned` |x >y & 'q'"_s, 2);
    QVERIFY(pid > 0);
    QTRY_VERIFY(QFile::exists(out));
    QCOMPARE(fileLines(out), (QStringList{u"a;touch pwned"_s, u"$(touch pwned)"_s, u"`touch"_s, u"pwned`"_s,
                                          u"|x"_s, u">y"_s, u"&"_s, u"'q'"_s}));
    QVERIFY(!QFile::exists(m_dir.filePath(u"pwned"_s)));
    QVERIFY(!QFile::exists(m_dir.filePath(u"y"_s)));
}

void TestProcessLauncher::programInAFolderWithABlank()
{
    QVERIFY(QDir(m_dir.path()).mkpath(u"my tools"_s));
    const QString copy = m_dir.filePath(u"my tools/argv client"_s);
    QVERIFY(QFile::copy(argvClient, copy));
    RealFileSystem fs;
    LinuxProcessLauncher launcher(fs);
    const QString out = m_dir.filePath(u"blank.txt"_s);
    QVERIFY(launcher.start(copy + u' ' + out + u" one two"_s, 1) > 0);
    QTRY_VERIFY(QFile::exists(out));
    QCOMPARE(fileLines(out), (QStringList{u"one"_s, u"two"_s}));
}

void TestProcessLauncher::largeOutputIsInheritedAndNeverBlocks()
{
    constexpr qint64 size = 10 * 1024 * 1024;
    const QString captured = m_dir.filePath(u"stdout.txt"_s);
    RealFileSystem fs;
    LinuxProcessLauncher launcher(fs);
    {
        StdoutToFile redirect(captured);
        const qint64 pid = launcher.start(noisyClient + u' ' + QString::number(size), 1);
        QVERIFY(pid > 0);
        const std::unique_ptr<ProcessHandle> handle = launcher.open(pid);
        if (handle)
            QTRY_COMPARE_WITH_TIMEOUT(handle->status(), ProcessHandle::Status::Ended, 60000);
    }
    QCOMPARE(QFileInfo(captured).size(), size);
}

void TestProcessLauncher::realRunGoesOnAfterAMissingProgram()
{
    RealRig rig(argvClient, {u"first"_s, u"second"_s}, m_dir.path());
    rig.addEntry(u"argvclient"_s, u"<App1> <c4>/<c2>.out <c2> \"<c5>\""_s);
    rig.addEntry(u"missing"_s, u"/nonexistent/lomvato-test-program <c2>"_s);
    rig.engine.Command10_Click();
    QVERIFY(rig.engine.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(rig.allDone.count(), 1, 30000);
    QCOMPARE(fileLines(m_dir.filePath(u"first.out"_s)),
             (QStringList{u"first"_s, m_dir.filePath(u"first"_s)}));
    QCOMPARE(fileLines(m_dir.filePath(u"second.out"_s)),
             (QStringList{u"second"_s, m_dir.filePath(u"second"_s)}));
    const QString log = rig.table.log.text();
    QVERIFY(log.contains(u"[argvclient]に[second]を送信終了／"_s));
    QVERIFY(log.contains(u"[missing]に[first]を送信失敗（原因不明です）"_s));
    QVERIFY(log.contains(u"[missing]に[second]を送信終了／"_s));
    QVERIFY(log.startsWith(QString(60, u'*') + u"\r\n\r\n"_s));
    QVERIFY(rig.engine.command10Enabled());
}

void TestProcessLauncher::abandonedProgramRunsOnAndLeavesNoZombie()
{
    const QString marker = m_dir.filePath(u"slept"_s);
    RealRig rig(sleepClient, {u"slept"_s}, m_dir.path());
    rig.addEntry(u"sleepclient"_s, u"<App1> 1500 <c5>"_s);
    rig.engine.Command10_Click();
    const qint64 pid = rig.engine.processId();
    QVERIFY(pid > 0);
    QTRY_VERIFY(rig.engine.processOpen());
    const std::unique_ptr<ProcessHandle> watch = rig.launcher.open(pid);
    QVERIFY(watch);
    rig.engine.Command11_Click();
    rig.engine.Timer1_Timer();
    QVERIFY(!rig.engine.isRunning());
    QCOMPARE(rig.allDone.count(), 0);
    QVERIFY(!QFile::exists(marker));
    QCOMPARE(watch->status(), ProcessHandle::Status::Running);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(watch->status(), ProcessHandle::Status::Ended, 30000);
    QTRY_COMPARE(zombieChildren(), 0);
    // Once ended, the process can no longer be opened.
    const std::unique_ptr<ProcessHandle> late = rig.launcher.open(pid);
    QVERIFY(!late || late->status() == ProcessHandle::Status::Ended);
}

QTEST_GUILESS_MAIN(TestProcessLauncher)
#include "tst_processlauncher.moc"
