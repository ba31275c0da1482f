// The cost of one start of /bin/true, until it has ended, from a process that holds much touched memory, as
// the window does after a long run: through the launcher (posix_spawn) and, for comparison, by fork() and
// execv(), whose cost grows with the memory that the child's copy of the page tables must cover. Prints
// figures; never fails on them.
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"

#include <QElapsedTimer>

#include <cstdio>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
constexpr int starts = 200;

double millisecondsEach(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / starts;
}

double throughLauncher(LinuxProcessLauncher& launcher)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < starts; ++i) {
        const ProcessLauncher::Started job = launcher.launch(u"/bin/true"_s, {});
        pollfd end{job.handle->endDescriptor(), POLLIN, 0};
        ::poll(&end, 1, -1);
        while (job.handle->status() != ProcessHandle::Status::Ended)
            ::usleep(100);
    }
    return millisecondsEach(timer);
}

double byFork()
{
    char* const argv[] = {const_cast<char*>("/bin/true"), nullptr};
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < starts; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execv(argv[0], argv);
            ::_exit(127);
        }
        ::waitpid(pid, nullptr, 0);
    }
    return millisecondsEach(timer);
}
} // namespace

int main()
{
    const RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    // Once unmeasured, so that the first figures do not carry the loading of the program and its libraries.
    throughLauncher(launcher);
    byFork();
    std::vector<char> memory;
    for (const size_t megabytes : {0, 200, 800}) {
        memory.resize(megabytes << 20);
        for (size_t i = 0; i < memory.size(); i += 4096)
            memory[i] = 1;
        const double spawned = throughLauncher(launcher);
        const double forked = byFork();
        std::printf("%4zu MB touched: one start %.2f ms through the launcher, %.2f ms by fork() and execv() "
                    "(%.1fx)\n",
                    megabytes, spawned, forked, forked / spawned);
    }
    return 0;
}
