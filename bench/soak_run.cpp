// Soak run: many real jobs through the run engine and the Linux launcher at a quick pace, watching what a
// long run could leak: descriptors, threads, resident memory and unreaped children. Prints a table and a
// verdict; it never fails on the figures.
//
//   soak_run [jobs] [--clear-log] [--fast N]
//
// jobs defaults to 10000 and is rounded up to whole rows of the file list. The activity log grows with every
// job by design; --clear-log empties it after every sample, so that what remains of the growth is the
// engine's and the launcher's own. --fast N runs at the fast pace with N jobs at a time instead.
#include "ProcStatus.h"
#include "core/WorkTable.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"
#include "run/RunEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
// Answers every box with its default and keeps the texts, so that a refused run can say why.
// The wall clock with the run's periods cut to a millisecond, so that the soak measures the engine, not its
// waits.
class QuickClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void start(QTimer& timer, int milliseconds) const override { timer.start(std::min(milliseconds, 1)); }
};

class SilentDialogs final : public Dialogs
{
public:
    QStringList shown;
    Answer message(const QString& text, const QString&, Buttons) override
    {
        shown << text;
        return Answer::Ok;
    }
    QString input(const QString&, const QString&) override { return {}; }
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};

struct Sample {
    int jobs = 0;
    int fds = 0;
    int threads = 0;
    long rssKb = 0;
    int zombies = 0;
    qsizetype logChars = 0;
};

int openDescriptors()
{
    return static_cast<int>(QDir(u"/proc/self/fd"_s).entryList(QDir::Files | QDir::System).size());
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

Sample sample(int jobs, const WorkTable& table)
{
    return {jobs,
            openDescriptors(),
            static_cast<int>(procStatusField("Threads")),
            procStatusField("VmRSS"),
            zombieChildren(),
            table.log.length()};
}

void printSample(const Sample& s)
{
    std::printf("%8d %6d %8d %10ld %8d %12lld\n", s.jobs, s.fds, s.threads, s.rssKb, s.zombies,
                static_cast<long long>(s.logChars));
    std::fflush(stdout);
}

template <typename Field> std::pair<long, long> range(const std::vector<Sample>& samples, Field field)
{
    long lo = field(samples.front());
    long hi = lo;
    for (const Sample& s : samples) {
        lo = std::min(lo, static_cast<long>(field(s)));
        hi = std::max(hi, static_cast<long>(field(s)));
    }
    return {lo, hi};
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int wanted = 10000;
    bool clearLog = false;
    int fast = 0; // jobs at a time at the fast pace; 0 for the usual pace, quickened
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        bool ok = false;
        if (arg == u"--clear-log"_s)
            clearLog = true;
        else if (arg == u"--fast"_s && i + 1 < argc &&
                 (fast = QString::fromLocal8Bit(argv[++i]).toInt(&ok), ok))
            continue;
        else if (wanted = arg.toInt(&ok); !ok || wanted < 1) {
            std::fprintf(stderr, "usage: soak_run [jobs] [--clear-log] [--fast N]   (positive numbers; jobs "
                                 "default 10000)\n");
            return 2;
        }
    }
    if (fast < 0) {
        std::fprintf(stderr, "soak_run: --fast takes a positive number\n");
        return 2;
    }
    const int entries = std::min(100, wanted);
    const int rows = (wanted + entries - 1) / entries;
    const int jobs = rows * entries;
    const QString program = u"/bin/true"_s;

    WorkTable table;
    RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    QuickClock clock;
    SilentDialogs dialogs;
    RunEngine engine(table, launcher, files, clock, dialogs);
    if (fast > 0)
        engine.setPace(true, fast);

    table.apps.appendRow({u"<App1>"_s, u"true"_s, program});
    std::vector<FileList::Row> fileRows;
    fileRows.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        const QString name = u"IMG_"_s + QString::number(r + 1).rightJustified(5, u'0');
        const QString folder = u"/home/user/写真/2024 旅行"_s;
        fileRows.push_back({QString(), QString(), name, u"jpg"_s, folder, folder + u'/' + name + u".jpg"_s});
    }
    table.files.appendRows(std::move(fileRows));
    table.files.renumberCount();
    for (int e = 0; e < entries; ++e)
        table.batch.appendRow(
            {u"<App1>"_s, u"true"_s, u"<App1> \"<c5>\" --pass "_s + QString::number(e + 1), program});

    std::printf("soak: %d jobs (%d file rows x %d batch entries) running %s, poll 1 ms, open delay 0 ms%s\n",
                jobs, rows, entries, qPrintable(program), clearLog ? ", log emptied after every sample" : "");
    std::printf("%8s %6s %8s %10s %8s %12s\n", "jobs", "fds", "threads", "VmRSS kB", "zombies", "log chars");

    std::vector<Sample> samples;
    samples.push_back(sample(0, table));
    printSample(samples.back());

    // Every job logs one "sent, ended" entry, whether its program started or not; that entry paces the
    // samples. A failed start logs a failure entry as well.
    int ended = 0;
    int failed = 0;
    QObject::connect(&table.log, &ActivityLog::prepended, &engine, [&](const QString& piece) {
        if (piece.contains(u"を送信失敗"_s))
            ++failed;
        if (!piece.contains(u"を送信終了／"_s))
            return;
        ++ended;
        if (ended % 1000 == 0 && ended != jobs) {
            samples.push_back(sample(ended, table));
            printSample(samples.back());
            if (clearLog)
                table.log.clear();
        }
    });
    bool done = false;
    QObject::connect(&engine, &RunEngine::allDone, &app, [&] {
        done = true;
        app.quit();
    });

    QElapsedTimer timer;
    QTimer::singleShot(0, &engine, [&] {
        timer.start();
        engine.start();
        if (!engine.isRunning())
            app.quit();
    });
    app.exec();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    if (!done) {
        std::printf("the run did not start: %s\n", qPrintable(dialogs.shown.join(u" / "_s)));
        return 1;
    }
    samples.push_back(sample(ended, table));
    printSample(samples.back());

    // The first sample is taken before any job ran; the later ones show the steady state.
    const std::vector<Sample> running(samples.begin() + 1, samples.end());
    const auto fds = range(running, [](const Sample& s) { return s.fds; });
    const auto threads = range(running, [](const Sample& s) { return s.threads; });
    const Sample& first = samples.front();
    const Sample& last = samples.back();
    const Sample& warm = running.front();
    // At the fast pace each running job holds one descriptor (its pidfd); nothing else may come and stay.
    const bool fdsFlat =
        fast > 0 ? fds.second <= first.fds + fast && last.fds == first.fds : fds.first == fds.second;
    std::printf("%d jobs ended (%d failed to start) in %.1f s, %.0f jobs/s\n", ended, failed, seconds,
                seconds > 0 ? ended / seconds : 0.0);
    std::printf("verdict: fds %s (%d before the run, %ld..%ld during it), threads %s (%d before, %ld..%ld "
                "during), RSS +%ld kB over the run (+%ld kB since job %d), zombies at the end: %d\n",
                fdsFlat ? "flat" : "NOT flat", first.fds, fds.first, fds.second,
                threads.first == threads.second ? "flat" : "NOT flat", first.threads, threads.first,
                threads.second, last.rssKb - first.rssKb, last.rssKb - warm.rssKb, warm.jobs, last.zombies);
    if (clearLog)
        std::printf("the log was emptied after every sample; it holds %lld chars of the last jobs\n",
                    static_cast<long long>(last.logChars));
    else
        std::printf("the log holds %lld chars (%lld kB as UTF-16) and grows with every job\n",
                    static_cast<long long>(last.logChars), static_cast<long long>(last.logChars) * 2 / 1024);
    return 0;
}
