// Writes to the file named by its first argument how it was started: whether its standard input gives end of
// file at once, whether it leads a session of its own, whether it has a controlling terminal, and the signals
// it ignores and those it blocks.
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    char byte;
    const bool endOfFile = ::poll(&input, 1, 2000) == 1 && ::read(STDIN_FILENO, &byte, 1) == 0;
    std::FILE* f = argc > 1 ? std::fopen(argv[1], "wb") : nullptr;
    if (!f)
        return 1;
    std::fprintf(f, "stdin=%s\nsession=%s\ntty=%s\nignored=", endOfFile ? "eof" : "open",
                 ::getsid(0) == ::getpid() ? "own" : "shared",
                 ::open("/dev/tty", O_RDONLY | O_NOCTTY) < 0 ? "none" : "yes");
    for (int s = 1; s < NSIG; ++s) {
        struct sigaction action {
        };
        if (::sigaction(s, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            std::fprintf(f, " %d", s);
    }
    sigset_t blocked;
    ::sigprocmask(SIG_BLOCK, nullptr, &blocked);
    std::fputs("\nblocked=", f);
    for (int s = 1; s < NSIG; ++s) {
        if (::sigismember(&blocked, s) == 1)
            std::fprintf(f, " %d", s);
    }
    std::fputs("\n", f);
    return std::fclose(f) == 0 ? 0 : 1;
}
