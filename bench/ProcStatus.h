#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The number of a "Name:   value kB" line of /proc/<pid>/status (VmRSS, VmHWM, Threads, ...), of this process
// by default; -1 when absent.
inline long procStatusField(const char* name, qint64 pid = 0)
{
    QFile f(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}
