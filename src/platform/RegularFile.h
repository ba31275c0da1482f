#pragma once

#include <QString>

class QFile;
class QFileDevice;

// The two file operations the stores need below what Qt offers: each operating system does them its own way.
namespace RegularFile
{
enum class Opened { Yes, NotRegular, Failed };

// Opens `path` for reading only when it is a regular file. The type is checked on the opened handle, so that
// a FIFO, a device or a folder put there meanwhile is never read: a FIFO would block the open and the read,
// /dev/zero would never end. The open itself never waits (for a FIFO's writer). On Failed `why` says why.
Opened openForReading(QFile& file, const QString& path, QString* why);
// Forces the bytes written to `file` onto the disk. On failure `why` says why.
bool syncToDisk(const QFileDevice& file, QString* why);
} // namespace RegularFile
