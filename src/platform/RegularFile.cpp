#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

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

QString RegularFile::notRegularReason()
{
    return u"通常のファイルではありません"_s;
}

QString RegularFile::tooLargeReason()
{
    return u"ファイルが大きすぎます"_s;
}

RegularFile::Replacement::Replacement(const QString& path) : m_path(path) {}

RegularFile::Replacement::~Replacement()
{
    cancel();
}

bool RegularFile::Replacement::failed(QString why)
{
    // A short write without an errno leaves Qt's default text.
    if (why.isEmpty() || why == u"Unknown error"_s)
        why = u"書き込みに失敗しました"_s;
    if (m_why.isEmpty())
        m_why = why;
    cancel();
    return false;
}

bool RegularFile::Replacement::open()
{
    const QFileInfo existing(m_path);
    if (existing.exists() && !existing.isFile())
        return failed(notRegularReason());
    m_file = std::make_unique<QSaveFile>(m_path);
    if (m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    // QSaveFile words a refusal in its own terms ("... is not writable"); the system's reason is more use.
    const QString target = existing.exists() ? m_path : existing.absolutePath();
    if (::access(QFile::encodeName(target).constData(), W_OK) != 0)
        return failed(qt_error_string(errno));
    return failed(m_file->errorString());
}

bool RegularFile::Replacement::write(QByteArrayView bytes)
{
    if (!m_file)
        return false;
    // A write cut short (a file size limit met in its middle) sets no error; the rest written again meets it
    // and says why.
    while (!bytes.isEmpty()) {
        const qint64 written = m_file->write(bytes.data(), bytes.size());
        if (written <= 0)
            return failed(m_file->errorString());
        bytes = bytes.sliced(written);
    }
    return true;
}

bool RegularFile::Replacement::commit()
{
    if (!m_file)
        return false;
    QString why;
    if (!m_file->flush() || !syncToDisk(*m_file, &why) || !m_file->commit())
        return failed(why.isEmpty() ? m_file->errorString() : why);
    m_file.reset();
    return true;
}

void RegularFile::Replacement::cancel()
{
    if (!m_file)
        return;
    m_file->cancelWriting();
    m_file.reset();
}

bool RegularFile::replace(const QString& path, const std::function<bool(Replacement&)>& fill, QString* why)
{
    Replacement file(path);
    if (file.open() && fill(file) && file.commit())
        return true;
    *why = file.errorString();
    return false;
}

bool RegularFile::replace(const QString& path, QByteArrayView bytes, QString* why)
{
    return replace(
        path, [bytes](Replacement& file) { return file.write(bytes); }, why);
}
