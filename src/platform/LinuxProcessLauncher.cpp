#include "LinuxProcessLauncher.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "NativeName.h"

#include <QCoreApplication>
#include <QSocketNotifier>

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

QString signalName(int signal)
{
    const char* name = ::sigabbrev_np(signal);
    return name ? QString::fromLatin1(name) : QString();
}

// A pidfd becomes readable when its process has ended.
ProcessHandle::Status pidfdStatus(int fd)
{
    pollfd p{fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return ProcessHandle::Status::Unknown;
    return ready > 0 ? ProcessHandle::Status::Ended : ProcessHandle::Status::Running;
}

// A process opened through a pidfd.
class PidfdHandle final : public ProcessHandle
{
public:
    explicit PidfdHandle(int fd) : m_fd(fd) {}
    ~PidfdHandle() override { ::close(m_fd); }
    PidfdHandle(const PidfdHandle&) = delete;
    PidfdHandle& operator=(const PidfdHandle&) = delete;

    Status status() override { return pidfdStatus(m_fd); }
    int endDescriptor() const override { return m_fd; }

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

// The argv of execv over the argument bytes, which must outlive it; built before a fork, since allocating is
// not safe after one.
std::vector<char*> argumentVector(const QList<QByteArray>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(static_cast<size_t>(arguments.size()) + 1);
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    return argv;
}

// Starts the program so that it is not our child: an intermediate child starts it and ends at once, we reap
// that one, and the program is taken over by init (or the session's subreaper), which reaps it when it
// ends. Its pid comes back through one pipe; a failed exec reports through another, which a successful exec
// closes (close-on-exec). Returns the program's pid, or 0 when it could not be started.
pid_t spawnDetached(const QByteArray& program, const QList<QByteArray>& arguments)
{
    // Everything the children need is built here: after the fork, allocating is not safe.
    std::vector<char*> argv = argumentVector(arguments);

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
// Starts the program as our child and opens a pidfd on it before it can be reaped, so the pid cannot have
// been reused. A failed exec reports through a pipe that a successful exec closes (close-on-exec). Returns
// the pid, or 0 when the program could not be started; `pidfd` is -1 then.
pid_t spawnChild(const QByteArray& program, const QList<QByteArray>& arguments, int& pidfd)
{
    pidfd = -1;
    std::vector<char*> argv = argumentVector(arguments);

    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        return 0;
    sigset_t all;
    sigset_t mask;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &mask);
    const pid_t child = ::fork();
    if (child == 0)
        execProgram(program.constData(), argv.data(), errorPipe[1], mask);
    ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
    ::close(errorPipe[1]);
    int error = 0;
    const bool execFailed =
        child > 0 && transferAll(::read, errorPipe[0], reinterpret_cast<char*>(&error), sizeof error);
    ::close(errorPipe[0]);
    if (child <= 0)
        return 0;
    if (!execFailed)
        pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    if (execFailed || pidfd < 0) {
        // Not started, or started where we cannot watch it: wait for it rather than leave a zombie.
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        return execFailed ? 0 : -1;
    }
    return child;
}
} // namespace

class LinuxProcessLauncher::Child
{
public:
    Child(pid_t pid, int fd) : pid(pid), fd(fd) {}
    ~Child()
    {
        reaper.reset();
        ::close(fd);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reaps the child if it has ended; true once it has been reaped (also by someone else, whose exit status
    // we then do not know).
    bool reap()
    {
        if (reaped)
            return true;
        siginfo_t info{};
        int result;
        do {
            result = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result < 0) {
            reaped = errno == ECHILD;
            return reaped;
        }
        if (info.si_pid != pid)
            return false;
        reaped = true;
        if (info.si_code == CLD_EXITED)
            outcome = {ProcessHandle::Outcome::Kind::Exited, info.si_status, {}};
        else
            outcome = {ProcessHandle::Outcome::Kind::Signalled, info.si_status, signalName(info.si_status)};
        return true;
    }

    const pid_t pid;
    const int fd;
    bool reaped = false;
    ProcessHandle::Outcome outcome;
    std::unique_ptr<QSocketNotifier> reaper;
};

namespace
{
// A child of ours: its pidfd tells when it ends, and reaping it tells how.
class ChildHandle final : public ProcessHandle
{
public:
    explicit ChildHandle(std::shared_ptr<LinuxProcessLauncher::Child> child) : m_child(std::move(child)) {}

    Status status() override
    {
        if (m_child->reaped)
            return Status::Ended;
        const Status s = pidfdStatus(m_child->fd);
        if (s != Status::Ended)
            return s;
        return m_child->reap() ? Status::Ended : Status::Running;
    }
    Outcome outcome() override { return m_child->outcome; }
    int endDescriptor() const override { return m_child->fd; }

private:
    std::shared_ptr<LinuxProcessLauncher::Child> m_child;
};
} // namespace

LinuxProcessLauncher::LinuxProcessLauncher(const FileSystem& files) : m_files(files)
{
    const long self = ::syscall(SYS_pidfd_open, ::getpid(), 0);
    m_pidfds = self >= 0;
    if (m_pidfds)
        ::close(static_cast<int>(self));
}

// Children still running are left to init; their records only close our descriptors.
LinuxProcessLauncher::~LinuxProcessLauncher() = default;

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

QList<QByteArray> LinuxProcessLauncher::nativeArguments(const QString& commandLine,
                                                        const QStringList& knownPrograms,
                                                        QByteArray& file) const
{
    const QStringList words = arguments(commandLine, knownPrograms);
    if (words.isEmpty())
        return {};
    // Names reach the kernel as the bytes they were read from, also where those are not UTF-8.
    QList<QByteArray> argv;
    for (const QString& w : words)
        argv.append(NativeName::encode(w));
    file = argv.front();
    if (!file.contains('/'))
        file = findInPath(file);
    return file.isEmpty() ? QList<QByteArray>() : argv;
}

// showMode (normal or minimised window) is accepted and ignored: Linux desktops offer no portable way to
// start a foreign program minimised.
ProcessLauncher::Started LinuxProcessLauncher::launch(const QString& commandLine, int /*showMode*/,
                                                      const QStringList& knownPrograms,
                                                      bool /*captureOutput*/)
{
    QByteArray file;
    const QList<QByteArray> argv = nativeArguments(commandLine, knownPrograms, file);
    Started started;
    if (argv.isEmpty())
        return started;
    if (!m_pidfds) {
        started.pid = spawnDetached(file, argv);
        started.handle = open(started.pid);
        return started;
    }
    int fd = -1;
    const pid_t pid = spawnChild(file, argv, fd);
    // -1: it ran, but could not be watched (and has been waited for)
    started.pid = pid < 0 ? 0 : pid;
    if (pid <= 0)
        return started;
    auto child = std::make_shared<Child>(pid, fd);
    // Reaps the child when it ends, whoever still holds a handle on it; without an event loop the handles'
    // status queries reap it.
    if (QCoreApplication::instance()) {
        child->reaper = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(child->reaper.get(), &QSocketNotifier::activated, child->reaper.get(),
                         [this, pid] { reapEnded(pid); });
    }
    m_children.emplace(pid, child);
    started.handle = std::make_unique<ChildHandle>(std::move(child));
    return started;
}

void LinuxProcessLauncher::reapEnded(qint64 pid)
{
    const auto it = m_children.find(pid);
    if (it == m_children.end())
        return;
    const std::shared_ptr<Child> child = it->second;
    if (!child->reap())
        return;
    // The notifier is inside its own signal: it is disabled now and deleted later.
    child->reaper->setEnabled(false);
    child->reaper.release()->deleteLater();
    m_children.erase(it);
}

std::unique_ptr<ProcessHandle> LinuxProcessLauncher::open(qint64 pid)
{
    if (pid <= 0)
        return nullptr;
    if (const auto it = m_children.find(pid); it != m_children.end()) {
        if (it->second->reaped)
            return nullptr;
        return std::make_unique<ChildHandle>(it->second);
    }
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
