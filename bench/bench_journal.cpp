// The journal's cost per job: 10,000 jobs go through the results as a fast run sends them (a start, a few
// lines of output on each stream, an end), with the event loop turning after each job as the run's does, once
// without the journal and once with it writing into a folder under the system's temporary folder (its
// syncs once a second included). Prints the time per job of each and the difference.
#include "platform/Clock.h"
#include "run/RunJournal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace
{
constexpr int jobs = 10'000;

// Nanoseconds for the jobs, with the journal or without.
qint64 run(bool journalled)
{
    SystemClock clock;
    QTemporaryDir dir;
    RunResults results;
    RunJournal journal(dir.path(), clock);
    if (journalled)
        journal.follow(results);
    RunResults::Job job;
    job.key = u"<App1>"_s;
    job.app = u"ffmpeg"_s;
    job.knownPrograms = {u"/usr/bin/ffmpeg"_s};
    QElapsedTimer time;
    time.start();
    results.clear();
    for (int i = 0; i < jobs; ++i) {
        job.number = i + 1;
        job.row = i;
        job.file = u"写真 %1.jpg"_s.arg(i);
        job.path = u"/home/user/写真/"_s + job.file;
        job.commandLine = u"/usr/bin/ffmpeg -i \""_s + job.path + u"\" -y \"/tmp/out/%1.mp4\""_s.arg(i);
        job.arguments = {u"/usr/bin/ffmpeg"_s, u"-i"_s, job.path, u"-y"_s, u"/tmp/out/%1.mp4"_s.arg(i)};
        job.start = clock.now();
        const int index = results.add(job);
        results.appendOutput(index, RunResults::Stream::Output, "frame=  100 fps=0.0 q=-1.0 size=  256kB\n");
        results.appendOutput(index, RunResults::Stream::Errors, "Output #0, mp4, to '/tmp/out.mp4':\n");
        results.finish(index, RunResults::State::Exited, 0, 1);
        QCoreApplication::processEvents();
    }
    journal.endRun();
    return time.nsecsElapsed();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    run(true); // warm-up
    const double without = static_cast<double>(run(false)) / jobs / 1000;
    const double with = static_cast<double>(run(true)) / jobs / 1000;
    std::printf(
        "%d jobs: %.1f µs a job without the journal, %.1f µs with it: the journal costs %.1f µs a job "
        "(%.1f %% of a 1.2 ms job)\n",
        jobs, without, with, with - without, (with - without) / 12);
    return 0;
}
