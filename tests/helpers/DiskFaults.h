#pragma once

#include <QDir>
#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Writes that really fail, the way a user's disk makes them fail.
enum class DiskFault {
    FileSizeLimit, // no file may grow past a few bytes (RLIMIT_FSIZE, SIGXFSZ ignored): EFBIG
    FullDisk,      // the folder is a tmpfs with no room left: ENOSPC
    ReadOnly,      // the folder is mounted read-only: EROFS, even for root
};

// The child's exit code when this machine does not allow the fault (no mounts in a container, say).
constexpr int faultUnavailable = 125;
// Every file may hold this many bytes under FileSizeLimit; the files the tests save are longer.
constexpr rlim_t fileSizeLimit = 16; // bytes

namespace DiskFaults
{
// Puts a tmpfs over `folder` in a mount namespace of the calling process's own, holding the folder's files
// as they were, so that nothing outside the process ever sees it.
inline bool tmpfsOver(const QString& folder, const char* options)
{
    const QByteArray where = QFile::encodeName(folder);
    // The folder beneath, still reached through this descriptor once the tmpfs covers it.
    const int beneath = ::open(where.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (beneath < 0 || ::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", where.constData(), "tmpfs", 0, options) != 0)
        return false;
    const QDir was(QStringLiteral("/proc/self/fd/%1").arg(beneath));
    for (const QString& name : was.entryList(QDir::Files | QDir::Hidden)) {
        if (!QFile::copy(was.filePath(name), QDir(folder).filePath(name)))
            return false;
    }
    return true;
}

inline bool set(DiskFault fault, const QString& folder)
{
    switch (fault) {
    case DiskFault::FileSizeLimit: {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::signal(SIGXFSZ, SIG_IGN);
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    case DiskFault::FullDisk: {
        // Takes every byte the file system has left.
        QFile filler(QDir(folder).filePath(QStringLiteral(".filler")));
        if (!tmpfsOver(folder, "size=256k") || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        while (filler.write(QByteArray(4096, 'f')) == 4096) {
        }
        return true;
    }
    case DiskFault::ReadOnly:
        return tmpfsOver(folder, "size=256k") && ::mount("none", QFile::encodeName(folder).constData(),
                                                         nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    return false;
}
} // namespace DiskFaults

// Runs `work` in a child process in which writing into `folder` fails as `fault` says. The child sees the
// folder's files as they were; under a mount only the child sees what it writes, so `work` checks the folder
// itself and tells the result by its exit code. Returns that code, faultUnavailable when the fault cannot be
// set up here, -1 when the child did not exit.
inline int withDiskFault(DiskFault fault, const QString& folder, const std::function<int()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(DiskFaults::set(fault, folder) ? work() : faultUnavailable);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
