#pragma once

#include "ProcessLauncher.h"

class FileSystem;

// Starts programs on Linux without a shell: the command line is split into the program and its arguments
// (CommandLine), which reach the program as the bytes of their names (NativeName), and the program is started
// detached, so that it is not our child and is reaped by the system when it ends, whatever becomes of
// Lomvato. It inherits our standard output and error; nothing is captured, so a program that prints a lot
// never blocks on a pipe. Status queries go through a pidfd where the kernel has them, and through kill(pid,
// 0) elsewhere. No process is ever killed.
class LinuxProcessLauncher final : public ProcessLauncher
{
public:
    // `files` answers whether a word of the command line names a program file; it must outlive the launcher.
    explicit LinuxProcessLauncher(const FileSystem& files);

    qint64 start(const QString& commandLine, int showMode, const QStringList& knownPrograms) override;
    QStringList arguments(const QString& commandLine, const QStringList& knownPrograms) const override;
    std::unique_ptr<ProcessHandle> open(qint64 pid) override;

private:
    const FileSystem& m_files;
};
