#include "AppendFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const QString& path)
{
    close();
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return m_fd >= 0 || failed();
}

bool AppendFile::append(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), static_cast<size_t>(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = ENOSPC; // nothing written and no reason given: the disk has no room
        if (written <= 0)
            return failed();
        bytes = bytes.sliced(written);
    }
    return true;
}

bool AppendFile::sync()
{
    return m_fd < 0 || ::fdatasync(m_fd) == 0 || failed();
}

void AppendFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool AppendFile::failed()
{
    m_why = qt_error_string(errno);
    return false;
}

bool AppendFile::syncFolder(const QString& folder, QString* why)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (!synced)
        *why = qt_error_string(errno);
    if (fd >= 0)
        ::close(fd);
    return synced;
}
