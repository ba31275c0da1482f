// The fast pace through the real engine and launcher: many short jobs one at a time (against GNU parallel
// -j1 where it is installed), CPU-bound jobs one and two at a time, and our own processor time while one
// long job runs. Prints figures; never fails on them.
#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/RunEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace
{
class SilentDialogs final : public Dialogs
{
public:
    Answer message(const QString&, const QString&, Buttons) override { return Answer::Ok; }
    QString input(const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};

// Runs `jobs` jobs of the command line at the fast pace; returns the seconds it took.
double timedRun(const QString& commandLine, int jobs, int parallel)
{
    WorkTable table;
    const RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    const SystemClock clock;
    SilentDialogs dialogs;
    RunEngine engine(table, launcher, files, clock, dialogs);
    for (int i = 0; i < jobs; ++i)
        table.files.appendRows({{u""_s, u""_s, QString::number(i)}});
    table.batch.appendRow({u""_s, u"bench"_s, commandLine, u""_s});
    engine.setCanStart(true);
    engine.setPace(true, parallel);
    QEventLoop loop;
    QObject::connect(&engine, &RunEngine::ended, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    engine.start();
    loop.exec();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double cpuSeconds()
{
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString burn = QCoreApplication::applicationDirPath() + u"/lomvato_burn"_s;

    const double ours = timedRun(u"/bin/true"_s, 1000, 1);
    std::printf("1000 x /bin/true, one at a time: %.2f s (%.2f ms a job)\n", ours, ours);
    const QString parallel = QStandardPaths::findExecutable(u"parallel"_s);
    if (!parallel.isEmpty()) {
        QProcess p;
        p.setProgram(parallel);
        p.setArguments({u"-j1"_s, u"true"_s, u":::"_s});
        for (int i = 0; i < 1000; ++i)
            p.setArguments(p.arguments() << QString::number(i));
        QElapsedTimer timer;
        timer.start();
        p.start();
        p.waitForFinished(-1);
        const double theirs = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        std::printf("parallel -j1 true, 1000 jobs: %.2f s; ratio parallel/Lomvato %.1f\n", theirs,
                    theirs / ours);
    } else {
        std::printf("parallel is not on PATH: not compared\n");
    }

    const double one = timedRun(burn, 200, 1);
    const double two = timedRun(burn, 200, 2);
    std::printf("200 CPU-bound jobs of 50 ms: %.2f s one at a time, %.2f s two at a time (%.2fx)\n", one, two,
                one / two);

    const double before = cpuSeconds();
    const double slept = timedRun(u"/bin/sleep 5"_s, 1, 1);
    std::printf("one 'sleep 5' job: %.2f s wall, %.4f s of our processor time\n", slept,
                cpuSeconds() - before);
    return 0;
}
