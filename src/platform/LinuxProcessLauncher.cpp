#include "LinuxProcessLauncher.h"

#include "CommandLine.h"
#include "FileSystem.h"

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

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
} // namespace

LinuxProcessLauncher::LinuxProcessLauncher(const FileSystem& files) : m_files(files) {}

// showMode (normal or minimised window) is accepted and ignored: Linux desktops offer no portable way to
// start a foreign program minimised.
qint64 LinuxProcessLauncher::start(const QString& commandLine, int /*showMode*/)
{
    QString program;
    QStringList arguments;
    if (!CommandLine(commandLine)
             .resolve([this](const QString& path) { return m_files.fileExists(path); }, program, arguments))
        return 0;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return 0;
    return pid;
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
