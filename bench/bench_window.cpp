// Runs through the whole main window, wired as the program wires it (drawn offscreen, the real launcher and
// file system): short jobs at the fast pace one at a time against xargs and GNU parallel over the same
// counts, jobs whose program does not exist, one job that writes 100 MB, and a start-up with a template of
// 120,000 columns. Prints the time a job costs, the
// event loop's longest stall during each run and the memory the output cost. Never fails on the figures.
#include "Fakes.h"
#include "ProcStatus.h"
#include "gui/MainWindow.h"
#include "platform/LinuxProcessLauncher.h"
#include "store/TemplateFile.h"
#include "store/TextCodec.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
struct Figures {
    double seconds = 0;
    qint64 longestStallMs = 0;
    QString summary;
};

// The longest time the event loop went without turning, seen by a timer that asks for every millisecond.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

class Bench
{
public:
    Bench()
        : m_launcher(m_files), m_form(Services{m_dialogs, m_files, m_launcher, m_clock, m_power, m_registry,
                                               m_dir.path(), m_dir.path()})
    {
        m_form.resize(1200, 800);
        m_form.start();
        // The end of each run only reports (a box the fake answers), never counts down to a power-off.
        m_form.table().settings.afterWork = 0;
    }

    // Runs `command` (a parameter text with <c2>) over `jobs` files at the fast pace, one at a time.
    Figures run(const QString& command, int jobs)
    {
        WorkTable& t = m_form.table();
        t.files.clear();
        t.batch.clear();
        std::vector<FileList::Row> rows;
        for (int i = 0; i < jobs; ++i)
            rows.push_back({QString(), QString(), QString::number(i)});
        t.files.appendRows(rows);
        t.batch.appendRow({QString(), u"bench"_s, command, QString()});
        m_form.engine().setPace(true, 1);
        m_form.engine().setCanStart(true);
        QEventLoop loop;
        const auto done = QObject::connect(&m_form.engine(), &RunEngine::ended, &loop, &QEventLoop::quit);
        QElapsedTimer timer;
        timer.start();
        Figures f;
        {
            StallMeter stalls;
            QTimer::singleShot(0, &m_form.engine(), &RunEngine::start);
            loop.exec();
            f.longestStallMs = stalls.longest();
        }
        f.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        f.summary = m_form.engine().results().summary();
        QObject::disconnect(done);
        return f;
    }

    // The run journal on, or off: a file named runs/ stands in its way, so that it gives up at each run's
    // start and writes nothing.
    void setJournal(bool on)
    {
        const QString runs = m_dir.filePath(u"runs"_s);
        QDir(runs).removeRecursively();
        QFile::remove(runs);
        QFile blocker(runs);
        if (!on && !blocker.open(QIODevice::WriteOnly))
            std::printf("cannot turn the journal off\n");
    }

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    RealFileSystem m_files;
    LinuxProcessLauncher m_launcher;
    SystemClock m_clock;
    FakePower m_power;
    FakeRegistry m_registry;
    MainWindow m_form;
};

// A start-up with a template of `columns` columns. Each column's width used to find its section's place on
// the screen by a walk over all sections: 120,000 columns took about nine seconds, a million many minutes.
double startWithColumns(int columns)
{
    QTemporaryDir dir;
    QString text = u"/listview3.listitems.Text\r\n"_s;
    for (int i = 0; i < columns; ++i)
        text += ColumnSet::keyFor(i) + u"|列"_s + QString::number(i) + u"\r\n"_s;
    TextCodec::writeFile(dir.filePath(TemplateFile::startupTemplateName()), text, nullptr);
    FakeDialogs dialogs;
    RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    SystemClock clock;
    FakePower power;
    FakeRegistry registry;
    MainWindow form(Services{dialogs, files, launcher, clock, power, registry, dir.path(), dir.path()});
    QElapsedTimer timer;
    timer.start();
    form.start();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (form.table().columns.count() != columns)
        std::printf("the template of %d columns did not load\n", columns);
    return seconds;
}

double timedShell(const QString& script)
{
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(u"/bin/sh"_s, {u"-c"_s, script});
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench bench;
    // "--missing N": only N jobs whose program does not exist, for a profiler.
    if (argc == 3 && qstrcmp(argv[1], "--missing") == 0) {
        const Figures f = bench.run(u"/nonexistent/program <c2>"_s, QByteArray(argv[2]).toInt());
        std::printf("%.2f s, longest stall %lld ms\n", f.seconds, static_cast<long long>(f.longestStallMs));
        return 0;
    }
    std::printf("a start-up template of 120,000 columns: %.2f s\n", startWithColumns(120000));
    const bool parallel = !QStandardPaths::findExecutable(u"parallel"_s).isEmpty();
    double perJob[2] = {};
    const int counts[] = {1000, 10000};
    for (int i = 0; i < 2; ++i) {
        const int n = counts[i];
        const Figures ours = bench.run(u"/bin/true <c2>"_s, n);
        perJob[i] = ours.seconds;
        const double xargs = timedShell(u"seq %1 | xargs -n1 true"_s.arg(n));
        std::printf(
            "%5d x /bin/true through the window: %.2f s (%.2f ms a job), longest stall %lld ms (%s)\n", n,
            ours.seconds, ours.seconds * 1000 / n, static_cast<long long>(ours.longestStallMs),
            qPrintable(ours.summary));
        std::printf("      xargs -n1 true: %.2f s; Lomvato/xargs %.2f\n", xargs, ours.seconds / xargs);
        if (parallel) {
            const double theirs = timedShell(u"seq %1 | parallel -j1 true"_s.arg(n));
            std::printf("      parallel -j1 true: %.2f s; Lomvato/parallel %.2f\n", theirs,
                        ours.seconds / theirs);
        }
    }
    std::printf("10,000 jobs cost %.1f times 1,000\n", perJob[1] / perJob[0]);

    // The journal's share, off and on in turns so that the machine's drift falls on both; the fastest of
    // three each, since a disturbance only ever adds.
    double seconds[2] = {1e9, 1e9};
    for (int round = 0; round < 6; ++round) {
        const bool on = round % 2 == 1;
        bench.setJournal(on);
        seconds[on] = std::min(seconds[on], bench.run(u"/bin/true <c2>"_s, 10000).seconds);
    }
    bench.setJournal(true);
    std::printf(
        "10000 x /bin/true without the run journal %.2f s, with it %.2f s (fastest of three): %+.1f %%\n",
        seconds[0], seconds[1], (seconds[1] / seconds[0] - 1) * 100);

    const Figures missing = bench.run(u"/nonexistent/program <c2>"_s, 10000);
    std::printf("10000 jobs whose program does not exist: %.2f s (%.3f ms a job), longest stall %lld ms\n",
                missing.seconds, missing.seconds * 1000 / 10000,
                static_cast<long long>(missing.longestStallMs));

    const long before = procStatusField("VmRSS");
    const Figures loud = bench.run(u"/bin/sh -c \"head -c 100000000 /dev/zero; : <c2>\""_s, 1);
    const long after = procStatusField("VmRSS");
    const double cat = timedShell(u"head -c 100000000 /dev/zero | cat > /dev/null"_s);
    std::printf("one job writing 100 MB: %.2f s (head | cat: %.2f s), longest stall %lld ms, VmRSS %+ld kB\n",
                loud.seconds, cat, static_cast<long long>(loud.longestStallMs), after - before);
    return 0;
}
