#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFile::Opened RegularFile::openForReading(QFile& file, const QString& path, QString* why)
{
    // O_NONBLOCK keeps the open from waiting for a FIFO's writer; the FIFO is refused right after.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = qt_error_string(errno);
        return Opened::Failed;
    }
    struct stat status {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Opened::NotRegular;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *why = file.errorString();
        return Opened::Failed;
    }
    return Opened::Yes;
}

bool RegularFile::syncToDisk(const QFileDevice& file, QString* why)
{
    if (::fsync(file.handle()) == 0)
        return true;
    *why = qt_error_string(errno);
    return false;
}
