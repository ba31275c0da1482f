#include "core/WorkTable.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "platform/NativeName.h"
#include "run/JobFile.h"
#include "run/JobPreview.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
const QString client = QString::fromUtf8(LOMVATO_ARGV_CLIENT);

// The exit code of `command` run by `sh -c` in a new folder `dir`, in a UTF-8 locale, without PARALLEL_SHELL.
int runIn(const QDir& dir, const QString& command)
{
    QDir().mkpath(dir.path());
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(u"sh"_s, {u"-c"_s, u"unset PARALLEL_SHELL; export HOME=\"$(pwd)\" LC_ALL=C.UTF-8; "_s + command});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

// Exports the job file and waits for its end; the jobs GNU parallel would refuse.
QList<int> exported(const JobPreview& jobs, const QString& path)
{
    JobFileExport exporter(jobs, path);
    QSignalSpy finished(&exporter, &JobFileExport::finished);
    exporter.start();
    if (!finished.wait(60000) || !finished.front().front().toBool())
        qWarning() << "not exported:" << exporter.error();
    return exporter.tooLongForParallel();
}
} // namespace

class TestJobFile : public QObject
{
    Q_OBJECT
private slots:
    // A job file of hostile names and program words, and each job's arguments as the launcher passes them.
    void initTestCase();
    void quoting_data();
    void quoting();
    void linesReadBack();
    void shellGivesWhatTheLauncherGives_data();
    void shellGivesWhatTheLauncherGives();
    void linesTooLongForParallel();

private:
    QMap<QString, QByteArray> m_expected;
    QTemporaryDir m_dir;
    WorkTable m_table;
    RealFileSystem m_files;
    LinuxProcessLauncher m_launcher{m_files};
};

void TestJobFile::quoting_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain arguments stay bare, the program is quoted")
        << QStringList{u"/usr/bin/conv"_s, u"-o=a.mp4"_s, u"x,y:z"_s} << "'/usr/bin/conv' -o=a.mp4 x,y:z"_ba;
    QTest::newRow("no words fails") << QStringList{} << "false"_ba;
}

void TestJobFile::quoting()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, line);
    QCOMPARE(JobFile::line(arguments), line);
}

void TestJobFile::linesReadBack()
{
    // Random argument lists of the pieces the quoting treats apart; each line reads back as the same words.
    const QStringList pieces{u"'"_s, u"\""_s,   u"\\"_s, u"\n"_s, u"\u3000"_s, NativeName::decode("\xe9\xff"),
                             u"-"_s, u"%"_s,    u"~"_s,  u"="_s,  u" "_s,      u"$nl"_s,
                             u"a"_s, u"写真"_s, u"\t"_s, u"("_s,  u")"_s,      u"'\\''"_s};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 3000; ++round) {
        QStringList arguments;
        for (int words = random.bounded(1, 5); words > 0; --words) {
            QString word;
            for (int n = random.bounded(0, 4); n > 0; --n)
                word += pieces[random.bounded(pieces.size())];
            arguments << word;
        }
        QCOMPARE(JobFile::arguments(JobFile::line(arguments)), std::optional(arguments));
    }
    QCOMPARE(JobFile::arguments("false"), std::optional(QStringList()));
    // Lines Lomvato would not write: a bare program, a plain word quoted, a break without $nl, a comment.
    for (const char* line : {"echo hi", "'echo' 'a'", "'echo' 'a'\"$nl\"'b'", "# Lomvato"})
        QCOMPARE(JobFile::arguments(line), std::nullopt);
}

void TestJobFile::initTestCase()
{
    // The test client, writing its arguments to the output <c3>, under names a shell would read otherwise.
    const QDir bin(m_dir.filePath(u"bin"_s));
    QVERIFY(QDir().mkpath(bin.path()));
    const QStringList programs{u"time"_s, u"%rec"_s, u"-rec"_s, u"!x"_s, u"{x"_s, u"if"_s, u"a=b"_s};
    for (const QString& program : programs)
        QVERIFY(QFile::link(client, bin.filePath(program)));
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));

    m_table.apps.appendRow({u"<App1>"_s, u"argv"_s, client});
    // Names that a shell would take apart or act on, and a name that is not UTF-8.
    const QStringList names =
        QStringList{u"-n"_s, u"=1+2"_s, u"line\nbreak\ttab"_s, u"it's 'quoted' a\" \"--x\" \"b"_s,
                    u"$(touch pwned)back`touch pwned`"_s}
        << NativeName::decode("caf\xe9 写真　1.jpg");
    for (int i = 0; i < names.size(); ++i)
        m_table.files.appendRows({{u""_s, u""_s, names[i], u"out"_s + QString::number(i)}});
    // Quoted and unquoted: the second entry splits every name with a blank in two.
    m_table.batch.appendRow({u"1"_s, u"argv"_s, u"<App1> \"<c3>q\" \"<c2>\" --tail"_s, client});
    m_table.batch.appendRow({u"2"_s, u"argv"_s, u"<App1> <c3>u <c2>"_s, client});
    for (int p = 0; p < programs.size(); ++p)
        m_table.batch.appendRow({QString::number(p + 3), u"argv"_s,
                                 u"%1 \"<c3>p%2\" \"<c2>\""_s.arg(programs[p], QString::number(p)), client});
    JobPreview jobs(m_table, m_launcher, m_files);
    QCOMPARE(jobs.rowCount(), (2 + programs.size()) * names.size());
    const QString jobFile = m_dir.filePath(u"jobs.sh"_s);
    QCOMPARE(exported(jobs, jobFile), QList<int>());

    // Line n is job n, whole, for an array task that runs its line alone (sed -n "${N}p" jobs.sh | sh).
    QFile file(jobFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (int job = 0; job < jobs.rowCount(); ++job) {
        const QStringList arguments = jobs.arguments(job);
        QCOMPARE(JobFile::arguments(lines[job]), std::optional(arguments));
        for (const QString& argument : arguments.mid(2))
            m_expected[arguments.value(1)] += NativeName::encode(argument) + '\0';
    }
}

void TestJobFile::shellGivesWhatTheLauncherGives_data()
{
    QTest::addColumn<QString>("command");
    QTest::addRow("bash") << u"bash ../jobs.sh"_s;
    QTest::addRow("dash") << u"dash ../jobs.sh"_s;
    QTest::addRow("GNU parallel under sh") << u"PARALLEL_SHELL=/bin/sh parallel -j2 < ../jobs.sh"_s;
    QTest::addRow("GNU parallel from bash") << u"exec bash -c 'parallel -j2 < ../jobs.sh'"_s;
}

void TestJobFile::shellGivesWhatTheLauncherGives()
{
    QFETCH(QString, command);
    if (command.contains(u"parallel"_s) && QStandardPaths::findExecutable(u"parallel"_s).isEmpty())
        QSKIP("GNU parallel is not installed");
    const QDir dir(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag())));
    QCOMPARE(runIn(dir, command), 0);
    QMap<QString, QByteArray> recorded; // the argument lists, by output name
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        recorded.insert(name, f.readAll());
    }
    QCOMPARE(recorded, m_expected);
}

void TestJobFile::linesTooLongForParallel()
{
    // One line exactly as long as GNU parallel is sure to read, one past what it may ever read.
    WorkTable table;
    table.apps.appendRow({u"<App1>"_s, u"argv"_s, client});
    const qsizetype fixed =
        JobFile::line({client, u"out"_s, QString()}).size() - 2; // '' stands for the filler
    table.files.appendRows(
        {{u""_s, u""_s, QString(JobFile::parallelLongestLine - fixed, u'a'), u"out"_s},
         {u""_s, u""_s, QString(JobFile::parallelLongestLine + 1000 - fixed, u'a'), u"out"_s}});
    table.batch.appendRow({u"1"_s, u"argv"_s, u"<App1> <c3> <c2>"_s, client});
    JobPreview jobs(table, m_launcher, m_files);
    QCOMPARE(JobFile::line(jobs.arguments(0)).size(), JobFile::parallelLongestLine);
    QCOMPARE(exported(jobs, m_dir.filePath(u"long.sh"_s)), QList<int>{2});
    QVERIFY(JobFile::parallelRefusal({2}).startsWith(u"ジョブ 2 の行は 63379 バイト"_s));

    if (QStandardPaths::findExecutable(u"parallel"_s).isEmpty())
        QSKIP("GNU parallel is not installed");
    // Each line alone: parallel runs the first and refuses the second, as said.
    const QDir dir(m_dir.filePath(u"long"_s));
    for (int job : {1, 2})
        QCOMPARE(runIn(dir, u"sed -n %1p ../long.sh | PARALLEL_SHELL=/bin/sh parallel"_s.arg(job)) == 0,
                 job == 1);
    QVERIFY(QFile::exists(dir.filePath(u"out"_s)));
}

QTEST_MAIN(TestJobFile)
#include "tst_jobfile.moc"
