#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The number of a "Name:   value kB" line of /proc/self/status (VmRSS, VmHWM, Threads, ...); -1 when absent.
inline long procStatusField(const char* name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}
