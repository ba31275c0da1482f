#include "PathParts.h"

PathParts splitPath(const QString& path, QChar separator)
{
    PathParts parts;
    const qsizetype slash = path.lastIndexOf(separator);
    const QString fullName = path.mid(slash + 1);
    // A path without any separator has no folder part at all.
    if (slash >= 0)
        parts.parent = path.left(slash);
    const qsizetype dot = fullName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        parts.name = fullName.left(dot);
        parts.extension = fullName.mid(dot + 1);
    } else {
        parts.name = fullName;
    }
    return parts;
}
