#pragma once

#include "ProcessLauncher.h"

#include <map>

class FileSystem;
class QTimer;

// Starts programs on Linux without a shell: the command line is split into the program and its arguments
// (CommandLine), which reach the program as the bytes of their names (NativeName). A program is started by
// posix_spawn, which glibc runs with vfork semantics, so that no start copies the memory of a large window
// process. Each program is our own child in a session of its own (no controlling terminal: a Ctrl+C or a
// hang-up in Lomvato's terminal never reaches it), with every signal at its default disposition, an empty
// signal mask and its standard input from /dev/null. Its output and error go either through two pipes to the
// caller or, where nothing is captured, to Lomvato's own streams.
//
// A pidfd opened right after the start (before anything can reap the child, so the pid cannot have been
// reused) tells the event loop when the program ends, and a reaper watching it reaps every child, also one
// whose handle was dropped, so that none is left a zombie. Where the kernel offers no pidfds, a child is
// reaped by its handle's status queries and, once its handle is dropped, by a sweep at every later start and
// every second from the event loop. Children outlive Lomvato: init takes them over when it ends. No process
// is ever killed.
class LinuxProcessLauncher final : public ProcessLauncher
{
public:
    // `files` answers whether a word of the command line names a program file; it must outlive the launcher.
    explicit LinuxProcessLauncher(const FileSystem& files);
    ~LinuxProcessLauncher() override;
    LinuxProcessLauncher(const LinuxProcessLauncher&) = delete;
    LinuxProcessLauncher& operator=(const LinuxProcessLauncher&) = delete;

    QStringList arguments(const QString& commandLine, const QStringList& knownPrograms) const override;
    Started launch(const QString& commandLine, const QStringList& knownPrograms,
                   bool captureOutput = false) override;
    Started launchArguments(const QStringList& words, bool captureOutput = false) override;
    void readToTheEnd(UniqueFd pipe) override;

    // A child of ours that has not been reaped yet.
    class Child;

private:
    void watch(const std::shared_ptr<Child>& child);
    void reapEnded(qint64 pid);
    // Reaps the ended children that no pidfd watches.
    void sweep();

    const FileSystem& m_files;
    std::map<qint64, std::shared_ptr<Child>> m_children;
    // Runs sweep() while children that no pidfd watches are left.
    std::unique_ptr<QTimer> m_sweeper;
};
