#include "Fakes.h"
#include "core/WorkTable.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "platform/NativeName.h"
#include "run/JobFile.h"
#include "run/JobPreview.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{
// The recorded argument lists of a folder, by output name.
QMap<QString, QByteArray> recordedIn(const QDir& dir)
{
    QMap<QString, QByteArray> lists;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            lists.insert(name, f.readAll());
    }
    return lists;
}

// Runs `program` with the job file on its standard input (or as its argument) in `dir`.
void runIn(const QDir& dir, const QString& program, const QStringList& arguments, const QString& input)
{
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"PARALLEL_SHELL"_s, u"/bin/sh"_s);
    env.insert(u"HOME"_s, dir.path());
    p.setProcessEnvironment(env);
    if (!input.isEmpty())
        p.setStandardInputFile(input);
    p.start(program, arguments);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
}
} // namespace

class TestJobFile : public QObject
{
    Q_OBJECT
private slots:
    void quoting_data();
    void quoting();
    void shellGivesWhatTheLauncherGives();

private:
    QTemporaryDir m_dir;
    WorkTable m_table;
    RealFileSystem m_files;
    LinuxProcessLauncher m_launcher{m_files};
};

void TestJobFile::quoting_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain words stay bare")
        << QStringList{u"/usr/bin/conv"_s, u"-o=a.mp4"_s, u"x,y:z"_s} << "/usr/bin/conv -o=a.mp4 x,y:z"_ba;
    QTest::newRow("an assignment as the program is quoted")
        << QStringList{u"a=b"_s, u"c=d"_s} << "'a=b' c=d"_ba;
    QTest::newRow("empty argument") << QStringList{u"p"_s, u""_s} << "p ''"_ba;
    QTest::newRow("no words fails") << QStringList{} << "false"_ba;
}

void TestJobFile::quoting()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, line);
    QCOMPARE(JobFile::line(arguments), line);
}

void TestJobFile::shellGivesWhatTheLauncherGives()
{
    // Each job writes its arguments to the output named in <c3>, relative to the folder it runs in.
    const QString client = QString::fromUtf8(LOMVATO_ARGV_CLIENT);
    m_table.apps.appendRow({u"<App1>"_s, u"argv"_s, client});
    // Names that a shell would take apart or act on, and a name that is not UTF-8.
    const QStringList names{u"a\" \"--x\" \"b"_s,
                            u"$(touch pwned)"_s,
                            u"back`touch pwned`quote"_s,
                            u"line\nbreak"_s,
                            u"it's 'quoted'"_s,
                            NativeName::decode("caf\xe9"),
                            u"写真　1.jpg"_s,
                            u"-n"_s,
                            u"tab\there"_s};
    for (int i = 0; i < names.size(); ++i)
        m_table.files.appendRows({{u""_s, u""_s, names[i], u"out"_s + QString::number(i)}});
    // Quoted and unquoted: the second entry splits every name with a blank in two.
    m_table.batch.appendRow({u"1"_s, u"argv"_s, u"<App1> \"<c3>q\" \"<c2>\" --tail"_s, client});
    m_table.batch.appendRow({u"2"_s, u"argv"_s, u"<App1> <c3>u <c2>"_s, client});
    JobPreview jobs(m_table, m_launcher, m_files);
    QCOMPARE(jobs.rowCount(), 2 * names.size());
    const QString jobFile = m_dir.filePath(u"jobs.sh"_s);
    QVERIFY(JobFile::save(jobFile, jobs));

    // Lomvato's own launcher, from its own folder.
    const QDir byLauncher(m_dir.filePath(u"launcher"_s));
    QVERIFY(QDir().mkpath(byLauncher.path()));
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(byLauncher.path()));
    for (int job = 0; job < jobs.rowCount(); ++job)
        QVERIFY(m_launcher.start(jobs.commandLine(job), 1, {client}) != 0);
    QTRY_COMPARE_WITH_TIMEOUT(byLauncher.entryList(QDir::Files).size(), jobs.rowCount(), 20000);
    QVERIFY(QDir::setCurrent(home));
    const QMap<QString, QByteArray> expected = recordedIn(byLauncher);
    QVERIFY(expected.value(u"out0q"_s).startsWith("a\" \"--x\" \"b\0--tail\0"_ba));
    QCOMPARE(expected.value(u"out6u"_s), "写真　1.jpg\0"_ba);

    const QDir bySh(m_dir.filePath(u"sh"_s));
    QVERIFY(QDir().mkpath(bySh.path()));
    runIn(bySh, u"sh"_s, {jobFile}, {});
    QCOMPARE(recordedIn(bySh), expected);
    QVERIFY(!QFile::exists(bySh.filePath(u"pwned"_s)));

    const QString parallel = QStandardPaths::findExecutable(u"parallel"_s);
    if (parallel.isEmpty())
        QSKIP("GNU parallel is not installed");
    const QDir byParallel(m_dir.filePath(u"parallel"_s));
    QVERIFY(QDir().mkpath(byParallel.path()));
    runIn(byParallel, parallel, {u"-j2"_s}, jobFile);
    QCOMPARE(recordedIn(byParallel), expected);
}

QTEST_MAIN(TestJobFile)
#include "tst_jobfile.moc"
