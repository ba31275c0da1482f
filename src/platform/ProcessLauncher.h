#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

// An open file descriptor that closes itself.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1);

private:
    int m_fd = -1;
};

// A started process, opened for status queries. Releasing it (destroying the object) never stops the process.
class ProcessHandle
{
public:
    enum class Status { Running, Ended, Unknown };
    // How an ended process ended; Unknown where its exit status cannot be read (not our child).
    struct Outcome {
        enum class Kind { Unknown, Exited, Signalled };
        Kind kind = Kind::Unknown;
        int code = 0;       // the exit code, or the number of the signal
        QString signalName; // the signal's short name ("TERM"), where the system knows it
    };
    virtual ~ProcessHandle() = default;
    // Never blocks.
    virtual Status status() = 0;
    // Meaningful once status() has answered Ended.
    virtual Outcome outcome() { return {}; }
    // A descriptor that becomes readable when the process ends, for an event loop to watch; -1 when there is
    // none and the status must be polled. It stays open as long as the handle.
    virtual int endDescriptor() const { return -1; }
};

// Starts programs from a command line. There is no shell: the line is split into a program and its arguments.
// Every program starts in a session of its own, with no controlling terminal (nothing typed into Lomvato's
// terminal reaches it), and reads end of file from its standard input. It is never stopped by Lomvato.
class ProcessLauncher
{
public:
    struct Started {
        qint64 pid = 0; // 0 when the program could not be started
        // For status queries; null when no status can be read.
        std::unique_ptr<ProcessHandle> handle;
        // Why the start failed, in the system's words, when pid is 0.
        QString failure;
        // With captureOutput: the read ends of pipes on the program's standard output and error, non-blocking
        // and close-on-exec. Without, the program writes to Lomvato's own streams and these are invalid.
        UniqueFd output;
        UniqueFd errors;
    };

    virtual ~ProcessLauncher() = default;
    // Starts the command line. A line that begins with one of the `knownPrograms` (the registered
    // applications' paths) names that program whole, even where a shorter part of its path names another
    // file. The process is opened at once, so that even one that ends at once still tells how it ended.
    virtual Started launch(const QString& commandLine, const QStringList& knownPrograms,
                           bool captureOutput = false) = 0;
    // Starts the program that `arguments` begins with, passing it the rest: a job run again exactly as it ran
    // before, or read back from a job log.
    virtual Started launchArguments(const QStringList& arguments, bool captureOutput = false) = 0;
    // Starts the command line and lets it run by itself; the process identifier, or 0.
    qint64 start(const QString& commandLine, const QStringList& knownPrograms)
    {
        return launch(commandLine, knownPrograms).pid;
    }
    // Hands the read end of a program's output pipe to a process of its own that reads it to its end and
    // drops what it reads, so that a program that outlives Lomvato is never ended by a closed pipe (SIGPIPE).
    virtual void readToTheEnd(UniqueFd pipe) = 0;
    // The program followed by its arguments, exactly as launch() would pass them (each name's bytes are
    // NativeName::encode of its text), without starting anything; empty for a line without words.
    virtual QStringList arguments(const QString& commandLine, const QStringList& knownPrograms) const = 0;
};

// The short name of a signal (KILL, SEGV), as an outcome gives it; empty for a number that names none.
QString signalName(int signal);
