// Stands in for a Lomvato started from a terminal: makes the terminal named by its first argument its
// controlling terminal and its standard streams, as a shell's foreground job, starts the command line of its
// third argument through the launcher, creates the file named by its second, and waits for a signal.
#include "platform/FileSystem.h"
#include "platform/LinuxProcessLauncher.h"

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 4 || ::setsid() < 0)
        return 2;
    // The first terminal a session leader opens becomes its controlling terminal, with the leader's process
    // group in the foreground.
    const int terminal = ::open(argv[1], O_RDWR);
    if (terminal < 0)
        return 2;
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream)
        ::dup2(terminal, stream);
    const RealFileSystem files;
    LinuxProcessLauncher launcher(files);
    const ProcessLauncher::Started job = launcher.launch(QString::fromLocal8Bit(argv[3]), {});
    if (job.pid <= 0)
        return 3;
    const int ready = ::open(argv[2], O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (ready < 0)
        return 2;
    ::close(ready);
    for (;;)
        ::pause();
}
