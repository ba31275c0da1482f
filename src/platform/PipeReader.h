#pragma once

#include "ProcessLauncher.h"

#include <QByteArrayView>
#include <QObject>
#include <QSocketNotifier>

#include <functional>

// Reads a pipe from the event loop and never blocks: what arrives is handed to `sink` as it comes, at most a
// few hundred kilobytes a turn of the loop, so that a writer that never stops cannot hold the loop. The
// writer never waits on a full pipe for long, since the loop reads it as soon as anything is there.
class PipeReader : public QObject
{
    Q_OBJECT
public:
    // `fd` must be non-blocking.
    PipeReader(UniqueFd fd, std::function<void(QByteArrayView)> sink, QObject* parent = nullptr);

    // Reads what the pipe holds now, however much; true once every writer has closed its end.
    bool drain();
    bool atEnd() const { return !m_fd.isValid(); }

signals:
    // Every writer has closed its end; the descriptor is closed.
    void finished();

private:
    // Reads up to `turns` buffers; true once the end is reached.
    bool read(int turns);

    UniqueFd m_fd;
    QSocketNotifier m_notifier;
    std::function<void(QByteArrayView)> m_sink;
};
