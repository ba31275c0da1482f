#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QFile;
class QFileDevice;
class QSaveFile;

// The file operations the stores need below what Qt offers: each operating system does them its own way.
namespace RegularFile
{
enum class Opened { Yes, NotRegular, Failed };

// Opens `path` for reading only when it is a regular file. The type is checked on the opened handle, so that
// a FIFO, a device or a folder put there meanwhile is never read: a FIFO would block the open and the read,
// /dev/zero would never end. The open itself never waits (for a FIFO's writer). On Failed `why` says why.
Opened openForReading(QFile& file, const QString& path, QString* why);
// Forces the bytes written to `file` onto the disk. On failure `why` says why.
bool syncToDisk(const QFileDevice& file, QString* why);
// Why a path that is a FIFO, a device or a folder is neither read nor replaced.
QString notRegularReason();
// Why a file larger than its reader takes is not read.
QString tooLargeReason();

// A new file written beside `path` that takes the old one's place only when every byte reached the disk: each
// write, the flush and the sync are checked before the rename. Unbuffered, so that a full disk or a file size
// limit fails the write that meets it; QSaveFile alone would flush inside commit() and rename the short file
// all the same, and it ignores a failed sync. The first failure removes the new file and leaves the old one
// as it was; every later call then fails at once, and errorString() says the system's reason.
class Replacement
{
public:
    explicit Replacement(const QString& path);
    ~Replacement(); // a replacement never committed is dropped
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // QSaveFile writes through a symbolic link and renames over its target: a link to a device would replace
    // the device itself. Only a regular file (or none) is replaced.
    bool open();
    bool write(QByteArrayView bytes);
    bool commit();
    // Drops the new file; the old one stays.
    void cancel();
    QString errorString() const { return m_why; }

private:
    bool failed(QString why);

    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    QString m_why;
};

// Replaces the file at `path` by what `fill` writes; false when `fill` or the file fails, `why` then says
// why.
bool replace(const QString& path, const std::function<bool(Replacement&)>& fill, QString* why);
bool replace(const QString& path, QByteArrayView bytes, QString* why);
} // namespace RegularFile
