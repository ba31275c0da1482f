#include "LinuxProcessLauncher.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "NativeName.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
#ifndef SYS_pidfd_open
constexpr long SYS_pidfd_open = 434; // its number in the syscall table that all current architectures share
#endif

// The capacity asked for a captured output pipe, in bytes: a program that writes a lot then wakes the event
// loop about 16 times less often than with the default 64 KiB. 1 MiB is also the most an unprivileged user
// may ask for (/proc/sys/fs/pipe-max-size); a refusal leaves the default. The error pipe keeps the default,
// so that many jobs at a time do not use up the user's share of pipe memory.
constexpr int outputPipeBytes = 1024 * 1024;

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

// A pipe for one of the program's streams. Both ends are close-on-exec, so that no other program inherits
// them and the reader sees end of file once this program and its own children are gone, and both lie above
// the standard streams, whose numbers the program's file actions take over.
struct Pipe {
    UniqueFd read;
    UniqueFd write;

    bool open()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        read = aboveStandardStreams(ends[0]);
        write = aboveStandardStreams(ends[1]);
        // Only our end: the program writes to a blocking pipe, as it expects.
        return read.isValid() && write.isValid() && ::fcntl(read.get(), F_SETFL, O_NONBLOCK) == 0;
    }

    // Where Lomvato's own standard streams are closed a new descriptor may take one of their numbers.
    static UniqueFd aboveStandardStreams(int fd)
    {
        if (fd > STDERR_FILENO)
            return UniqueFd(fd);
        const UniqueFd low(fd);
        return UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1));
    }
};

// How posix_spawn starts a program: a new session; every signal at its default disposition (our handlers and
// any signal we ignore stay with us) and none blocked; standard input from /dev/null.
class SpawnSetup
{
public:
    SpawnSetup()
    {
        ::posix_spawnattr_init(&m_attributes);
        sigset_t set;
        ::sigfillset(&set);
        ::posix_spawnattr_setsigdefault(&m_attributes, &set);
        ::sigemptyset(&set);
        ::posix_spawnattr_setsigmask(&m_attributes, &set);
        ::posix_spawnattr_setflags(&m_attributes,
                                   POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        ::posix_spawn_file_actions_init(&m_actions);
        ::posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&m_actions);
        ::posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void redirect(const Pipe& pipe, int stream)
    {
        ::posix_spawn_file_actions_adddup2(&m_actions, pipe.write.get(), stream);
    }
    // Standard input from `fd` instead, standard output and error to /dev/null: nothing of ours (a terminal,
    // a pipe someone waits on) stays open in it.
    void readFrom(int fd)
    {
        ::posix_spawn_file_actions_adddup2(&m_actions, fd, STDIN_FILENO);
        ::posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&m_actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }

    // The program's pid, or the reason it could not be started (on glibc 2.24 and later also the reason its
    // exec failed: the child shares our memory until then and leaves its errno there).
    int spawn(const QByteArray& file, const QList<QByteArray>& arguments, pid_t& pid) const
    {
        std::vector<char*> argv;
        argv.reserve(static_cast<size_t>(arguments.size()) + 1);
        for (const QByteArray& a : arguments)
            argv.push_back(const_cast<char*>(a.constData()));
        argv.push_back(nullptr);
        return ::posix_spawn(&pid, file.constData(), &m_actions, &m_attributes, argv.data(), environ);
    }

private:
    posix_spawnattr_t m_attributes;
    posix_spawn_file_actions_t m_actions;
};
} // namespace

class LinuxProcessLauncher::Child
{
public:
    Child(pid_t pid, UniqueFd pidfd) : pid(pid), fd(std::move(pidfd)) {}

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
    const UniqueFd fd; // the pidfd, where the kernel has them
    bool reaped = false;
    ProcessHandle::Outcome outcome;
    // Declared after the pidfd, so that it goes first.
    std::unique_ptr<QSocketNotifier> reaper;
};

namespace
{
// A child of ours: reaping it tells whether and how it ended. Until it is reaped its pid stays ours, so the
// query can never reach another process.
class ChildHandle final : public ProcessHandle
{
public:
    explicit ChildHandle(std::shared_ptr<LinuxProcessLauncher::Child> child) : m_child(std::move(child)) {}

    Status status() override { return m_child->reap() ? Status::Ended : Status::Running; }
    Outcome outcome() override { return m_child->outcome; }
    int endDescriptor() const override { return m_child->fd.get(); }

private:
    std::shared_ptr<LinuxProcessLauncher::Child> m_child;
};
} // namespace

LinuxProcessLauncher::LinuxProcessLauncher(const FileSystem& files) : m_files(files) {}

// Children still running are left to init. A handle may outlive the launcher: its child's notifier must not
// call back into it.
LinuxProcessLauncher::~LinuxProcessLauncher()
{
    for (const auto& entry : m_children)
        entry.second->reaper.reset();
}

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

ProcessLauncher::Started LinuxProcessLauncher::launch(const QString& commandLine,
                                                      const QStringList& knownPrograms, bool captureOutput)
{
    return launchArguments(arguments(commandLine, knownPrograms), captureOutput);
}

ProcessLauncher::Started LinuxProcessLauncher::launchArguments(const QStringList& words, bool captureOutput)
{
    sweep();
    Started started;
    if (words.isEmpty()) {
        started.failure = u"コマンドラインにプログラムがありません"_s;
        return started;
    }
    // Names reach the kernel as the bytes they were read from, also where those are not UTF-8.
    QList<QByteArray> argv;
    for (const QString& w : words)
        argv.append(NativeName::encode(w));
    QByteArray file = argv.front();
    if (!file.contains('/')) {
        file = findInPath(file);
        if (file.isEmpty()) {
            started.failure = u"%1 は PATH のどのフォルダーにもありません"_s.arg(words.front());
            return started;
        }
    }

    SpawnSetup setup;
    Pipe output;
    Pipe errors;
    if (captureOutput) {
        if (!output.open() || !errors.open()) {
            started.failure = qt_error_string(errno);
            return started;
        }
        ::fcntl(output.read.get(), F_SETPIPE_SZ, outputPipeBytes);
        setup.redirect(output, STDOUT_FILENO);
        setup.redirect(errors, STDERR_FILENO);
    }
    pid_t pid = 0;
    if (const int error = setup.spawn(file, argv, pid); error != 0) {
        started.failure = qt_error_string(error);
        return started;
    }
    // Nothing has reaped the child yet, so this pidfd is its own; -1 where the kernel has none.
    auto child = std::make_shared<Child>(pid, UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))));
    m_children.emplace(pid, child);
    watch(child);
    started.pid = pid;
    started.handle = std::make_unique<ChildHandle>(std::move(child));
    // The write ends now belong to the program alone, so that the reader sees end of file when it ends.
    started.output = std::move(output.read);
    started.errors = std::move(errors.read);
    return started;
}

// `cat` reads the pipe in our place, in a session of its own like a job.
void LinuxProcessLauncher::readToTheEnd(UniqueFd pipe)
{
    const QByteArray cat = findInPath("cat");
    if (!pipe.isValid() || cat.isEmpty())
        return;
    // The flag belongs to the pipe, not to our descriptor: cat would meet an empty pipe with an error.
    ::fcntl(pipe.get(), F_SETFL, ::fcntl(pipe.get(), F_GETFL) & ~O_NONBLOCK);
    SpawnSetup setup;
    setup.readFrom(pipe.get());
    pid_t pid = 0;
    if (setup.spawn(cat, {"cat"}, pid) != 0)
        return;
    auto child = std::make_shared<Child>(pid, UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))));
    m_children.emplace(pid, child);
    watch(child);
}

// Without an event loop nothing watches: the handles' status queries and the sweep at each start reap.
void LinuxProcessLauncher::watch(const std::shared_ptr<Child>& child)
{
    if (!QCoreApplication::instance())
        return;
    if (child->fd.isValid()) {
        const qint64 pid = child->pid;
        child->reaper = std::make_unique<QSocketNotifier>(child->fd.get(), QSocketNotifier::Read);
        QObject::connect(child->reaper.get(), &QSocketNotifier::activated, child->reaper.get(),
                         [this, pid] { reapEnded(pid); });
        return;
    }
    if (!m_sweeper) {
        m_sweeper = std::make_unique<QTimer>();
        m_sweeper->setInterval(1000);
        QObject::connect(m_sweeper.get(), &QTimer::timeout, m_sweeper.get(), [this] { sweep(); });
    }
    if (!m_sweeper->isActive())
        m_sweeper->start();
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

void LinuxProcessLauncher::sweep()
{
    bool waiting = false;
    for (auto it = m_children.begin(); it != m_children.end();) {
        if (it->second->reaper) {
            ++it;
        } else if (it->second->reap()) {
            it = m_children.erase(it);
        } else {
            waiting = true;
            ++it;
        }
    }
    if (m_sweeper && !waiting)
        m_sweeper->stop();
}

QString signalName(int signal)
{
    const char* name = ::sigabbrev_np(signal);
    return name ? QString::fromLatin1(name) : QString();
}
