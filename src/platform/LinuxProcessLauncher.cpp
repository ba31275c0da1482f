#include "LinuxProcessLauncher.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "NativeName.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
#ifndef SYS_pidfd_open
constexpr long SYS_pidfd_open = 434; // its number in the syscall table that all current architectures share
#endif

// A process opened through a pidfd: the descriptor becomes readable when the process has ended.
class PidfdHandle final : public ProcessHandle
{
public:
    explicit PidfdHandle(int fd) : m_fd(fd) {}
    ~PidfdHandle() override { ::close(m_fd); }
    PidfdHandle(const PidfdHandle&) = delete;
    PidfdHandle& operator=(const PidfdHandle&) = delete;

    Status status() override
    {
        pollfd p{m_fd, POLLIN, 0};
        int ready;
        do {
            ready = ::poll(&p, 1, 0);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0)
            return Status::Unknown;
        return ready > 0 ? Status::Ended : Status::Running;
    }

private:
    int m_fd;
};

// Where the kernel has no pidfd: the process exists as long as a signal could be sent to it. A process of
// another user answers EPERM and still exists.
class SignalProbeHandle final : public ProcessHandle
{
public:
    explicit SignalProbeHandle(pid_t pid) : m_pid(pid) {}

    Status status() override
    {
        if (::kill(m_pid, 0) == 0 || errno == EPERM)
            return Status::Running;
        return Status::Ended;
    }

private:
    pid_t m_pid;
};

// Writes (::write) or reads (::read) the whole buffer, going on after a signal; false when the other end
// went away first.
template <typename Byte, typename Transfer>
bool transferAll(Transfer transfer, int fd, Byte* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t n = transfer(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A program named without a folder is looked for along PATH, as a shell would; the bytes of the name are
// kept as they are. Empty when it is nowhere.
QByteArray findInPath(const QByteArray& name)
{
    const char* path = std::getenv("PATH");
    for (const QByteArray& folder : QByteArray(path ? path : "/usr/local/bin:/usr/bin:/bin").split(':')) {
        QByteArray candidate = (folder.isEmpty() ? QByteArray(".") : folder) + '/' + name;
        struct stat info {
        };
        if (::stat(candidate.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.constData(), X_OK) == 0)
            return candidate;
    }
    return {};
}

// The grandchild: becomes the program. Only async-signal-safe calls from here on.
[[noreturn]] void execProgram(const char* program, char* const argv[], int errorPipe, const sigset_t& mask)
{
    // Our own handlers must not run in this copy of the process (exec resets them, but a signal may come
    // first); SIGPIPE goes back to its default, as a program expects to find it.
    struct sigaction byDefault {
    };
    byDefault.sa_handler = SIG_DFL;
    for (int s = 1; s < NSIG; ++s) {
        struct sigaction current {
        };
        if (::sigaction(s, nullptr, &current) == 0 &&
            (s == SIGPIPE || (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN)))
            ::sigaction(s, &byDefault, nullptr);
    }
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    ::execv(program, argv);
    const int error = errno;
    transferAll(::write, errorPipe, reinterpret_cast<const char*>(&error), sizeof error);
    ::_exit(127);
}

// Starts the program so that it is not our child: an intermediate child starts it and ends at once, we reap
// that one, and the program is taken over by init (or the session's subreaper), which reaps it when it
// ends. Its pid comes back through one pipe; a failed exec reports through another, which a successful exec
// closes (close-on-exec). Returns the program's pid, or 0 when it could not be started.
pid_t spawnDetached(const QByteArray& program, const QList<QByteArray>& arguments)
{
    // Everything the children need is built here: after the fork, allocating is not safe.
    std::vector<char*> argv;
    argv.reserve(static_cast<size_t>(arguments.size()) + 1);
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);

    int pidPipe[2];
    int errorPipe[2];
    if (::pipe2(pidPipe, O_CLOEXEC) != 0)
        return 0;
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        ::close(pidPipe[0]);
        ::close(pidPipe[1]);
        return 0;
    }
    // No signal handler of ours may run in the children before they have reset them.
    sigset_t all;
    sigset_t mask;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &mask);
    const pid_t child = ::fork();
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            execProgram(program.constData(), argv.data(), errorPipe[1], mask);
        // -1 when that fork failed
        transferAll(::write, pidPipe[1], reinterpret_cast<const char*>(&grandchild), sizeof grandchild);
        ::_exit(0);
    }
    ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
    ::close(pidPipe[1]);
    ::close(errorPipe[1]);

    pid_t grandchild = -1;
    if (child > 0) {
        if (!transferAll(::read, pidPipe[0], reinterpret_cast<char*>(&grandchild), sizeof grandchild))
            grandchild = -1;
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    // The error pipe ends without a word once the program runs.
    int error = 0;
    const bool execFailed =
        grandchild > 0 && transferAll(::read, errorPipe[0], reinterpret_cast<char*>(&error), sizeof error);
    ::close(pidPipe[0]);
    ::close(errorPipe[0]);
    return grandchild > 0 && !execFailed ? grandchild : 0;
}
} // namespace

LinuxProcessLauncher::LinuxProcessLauncher(const FileSystem& files) : m_files(files) {}

QStringList LinuxProcessLauncher::arguments(const QString& commandLine,
                                            const QStringList& knownPrograms) const
{
    QString program;
    QStringList words;
    if (!CommandLine(commandLine)
             .resolve(
                 knownPrograms, [this](const QString& path) { return m_files.fileExists(path); }, program,
                 words))
        return {};
    words.prepend(program);
    return words;
}

// showMode (normal or minimised window) is accepted and ignored: Linux desktops offer no portable way to
// start a foreign program minimised.
qint64 LinuxProcessLauncher::start(const QString& commandLine, int /*showMode*/,
                                   const QStringList& knownPrograms)
{
    const QStringList words = arguments(commandLine, knownPrograms);
    if (words.isEmpty())
        return 0;
    // Names reach the kernel as the bytes they were read from, also where those are not UTF-8.
    QList<QByteArray> argv;
    for (const QString& w : words)
        argv.append(NativeName::encode(w));
    QByteArray file = argv.front();
    if (!file.contains('/'))
        file = findInPath(file);
    if (file.isEmpty())
        return 0;
    return spawnDetached(file, argv);
}

std::unique_ptr<ProcessHandle> LinuxProcessLauncher::open(qint64 pid)
{
    if (pid <= 0)
        return nullptr;
    const long fd = ::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0);
    if (fd >= 0)
        return std::make_unique<PidfdHandle>(static_cast<int>(fd));
    if (errno == ESRCH)
        return nullptr; // it has ended already
    // No pidfd here (an old kernel, or a sandbox that forbids the call).
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return nullptr;
    return std::make_unique<SignalProbeHandle>(static_cast<pid_t>(pid));
}
