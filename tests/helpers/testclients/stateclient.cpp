// Writes to the file named by its first argument how it was started: whether its standard input gives end of
// file at once, whether it leads a session of its own, whether it has a controlling terminal, and the signals
// it ignores and those it blocks. The file is written under a temporary name and renamed, so that a reader
// never sees half of it.
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    char byte;
    const bool endOfFile = ::poll(&input, 1, 2000) == 1 && ::read(STDIN_FILENO, &byte, 1) == 0;
    const int terminal = ::open("/dev/tty", O_RDONLY | O_NOCTTY);
    std::string report = std::string("stdin=") + (endOfFile ? "eof" : "open") +
                         "\nsession=" + (::getsid(0) == ::getpid() ? "own" : "shared") +
                         "\ntty=" + (terminal < 0 ? "none" : "yes");
    sigset_t blocked;
    ::sigprocmask(SIG_BLOCK, nullptr, &blocked);
    std::string ignoredSignals;
    std::string blockedSignals;
    for (int s = 1; s < NSIG; ++s) {
        struct sigaction action {
        };
        if (::sigaction(s, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            ignoredSignals += ' ' + std::to_string(s);
        if (::sigismember(&blocked, s) == 1)
            blockedSignals += ' ' + std::to_string(s);
    }
    report += "\nignored=" + ignoredSignals + "\nblocked=" + blockedSignals + '\n';

    const std::string target = argv[1];
    const std::string temporary = target + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return 1;
    std::fputs(report.c_str(), f);
    std::fclose(f);
    return std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : 1;
}
