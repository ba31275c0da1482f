#include "FileSystem.h"

#include <QFileInfo>

bool RealFileSystem::fileExists(const QString& path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

int RealFileSystem::attributes(const QString& path) const
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return -1;
    // A new file carries the archive bit on the desktop systems this rule comes from; a folder does not.
    int value = info.isDir() ? Directory : Archive;
    if (!info.isWritable())
        value += ReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        value += Hidden;
    return value;
}
