#pragma once

#include <QString>

// The batch of the journalrun helper, shared with the test that kills it.
namespace JournalRun
{
inline constexpr int jobs = 100;
inline const QString name = QStringLiteral(u"写真\u3000'x' $1");

inline QString script(int i)
{
    const QString end = i % 10 == 0  ? QStringLiteral("while kill -0 $PPID; do sleep 0.1; done")
                        : i % 7 == 0 ? QStringLiteral("kill -9 $$")
                                     : QStringLiteral("exit %1").arg(i % 3);
    return QStringLiteral("echo o%1; echo e%1 >&2; ").arg(i) + end;
}
} // namespace JournalRun
