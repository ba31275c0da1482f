#pragma once

#include <QString>
#include <QStringList>

#include <memory>

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
class ProcessLauncher
{
public:
    virtual ~ProcessLauncher() = default;
    // Starts the command line and returns the process identifier, or 0 when it could not be started.
    // showMode: 1 normal window with focus, 2 minimised with focus (only honoured where the platform can).
    // A line that begins with one of the `knownPrograms` (the registered applications' paths) names that
    // program whole, even where a shorter part of its path names another file.
    virtual qint64 start(const QString& commandLine, int showMode, const QStringList& knownPrograms) = 0;
    // The program followed by its arguments, exactly as start() would pass them (each name's bytes are
    // NativeName::encode of its text), without starting anything; empty for a line without words.
    virtual QStringList arguments(const QString& commandLine, const QStringList& knownPrograms) const = 0;
    // Opens a started process for status queries; null when it has already ended or cannot be opened.
    virtual std::unique_ptr<ProcessHandle> open(qint64 pid) = 0;
    // Starts the command line and opens the process at once, so that even a process that ends at once still
    // tells how it ended. pid is 0 when the start failed; the handle is null when no status can be read.
    struct Started {
        qint64 pid = 0;
        std::unique_ptr<ProcessHandle> handle;
    };
    virtual Started launch(const QString& commandLine, int showMode, const QStringList& knownPrograms)
    {
        Started s;
        s.pid = start(commandLine, showMode, knownPrograms);
        if (s.pid != 0)
            s.handle = open(s.pid);
        return s;
    }
};
