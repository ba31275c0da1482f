#pragma once

#include "ProcessLauncher.h"

#include <map>

class FileSystem;

// Starts programs on Linux without a shell: the command line is split into the program and its arguments
// (CommandLine), which reach the program as the bytes of their names (NativeName). Where the kernel has
// pidfds the program is our own child, so that its exit status can be read; a pidfd taken right after the
// fork tells when it ends, and a reaper watching that descriptor from the event loop reaps every child, also
// one whose handle was dropped, so that none is left a zombie. Children outlive Lomvato: init takes them over
// when it ends. Without pidfds the program is started detached (not our child; the system reaps it) and its
// status is probed through kill(pid, 0). It inherits our standard output and error; nothing is captured, so a
// program that prints a lot never blocks on a pipe. No process is ever killed.
class LinuxProcessLauncher final : public ProcessLauncher
{
public:
    // `files` answers whether a word of the command line names a program file; it must outlive the launcher.
    explicit LinuxProcessLauncher(const FileSystem& files);
    ~LinuxProcessLauncher() override;
    LinuxProcessLauncher(const LinuxProcessLauncher&) = delete;
    LinuxProcessLauncher& operator=(const LinuxProcessLauncher&) = delete;

    QStringList arguments(const QString& commandLine, const QStringList& knownPrograms) const override;
    Started launch(const QString& commandLine, int showMode, const QStringList& knownPrograms,
                   bool captureOutput = false) override;

    // A child of ours that has not been reaped yet.
    class Child;

private:
    // The program's arguments as bytes and the program file found for them; empty when there is none.
    QList<QByteArray> nativeArguments(const QString& commandLine, const QStringList& knownPrograms,
                                      QByteArray& file) const;
    void reapEnded(qint64 pid);
    std::unique_ptr<ProcessHandle> open(qint64 pid);

    const FileSystem& m_files;
    bool m_pidfds; // whether the kernel lets us open pidfds
    std::map<qint64, std::shared_ptr<Child>> m_children;
};
