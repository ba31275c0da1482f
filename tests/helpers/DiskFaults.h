#pragma once

#include <QDir>
#include <QFile>
#include <QMap>

#include <csignal>
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
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(QDir(folder).filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        files.insert(name, f.readAll());
    }
    const QByteArray where = QFile::encodeName(folder);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", where.constData(), "tmpfs", 0, options) != 0)
        return false;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile f(QDir(folder).filePath(it.key()));
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

// Takes every byte the file system has left.
inline bool fill(const QString& folder)
{
    QFile filler(QDir(folder).filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
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
    case DiskFault::FullDisk:
        return tmpfsOver(folder, "size=256k") && fill(folder);
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
