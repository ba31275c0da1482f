#include "FileSystem.h"

#include "NativeName.h"

#include <sys/stat.h>
#include <unistd.h>

// The path goes to the kernel as the bytes of its name, so that a name that is not UTF-8 is found as well.

bool RealFileSystem::fileExists(const QString& path) const
{
    struct stat info {
    };
    return !path.isEmpty() && ::stat(NativeName::encode(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

int RealFileSystem::attributes(const QString& path) const
{
    const QByteArray name = NativeName::encode(path);
    struct stat info {
    };
    if (path.isEmpty() || ::stat(name.constData(), &info) != 0)
        return -1;
    // A new file carries the archive bit on the desktop systems this rule comes from; a folder does not.
    int value = S_ISDIR(info.st_mode) ? Directory : Archive;
    if (::access(name.constData(), W_OK) != 0)
        value += ReadOnly;
    if (path.sliced(path.lastIndexOf(u'/') + 1).startsWith(u'.'))
        value += Hidden;
    return value;
}
