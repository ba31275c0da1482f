#include "PipeReader.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

namespace
{
constexpr size_t bufferSize = size_t{64} * 1024;
constexpr int turnsPerWake = 4;
} // namespace

PipeReader::PipeReader(UniqueFd fd, std::function<void(QByteArrayView)> sink, QObject* parent)
    : QObject(parent), m_fd(std::move(fd)), m_notifier(m_fd.get(), QSocketNotifier::Read),
      m_sink(std::move(sink))
{
    connect(&m_notifier, &QSocketNotifier::activated, this, [this] { read(turnsPerWake); });
}

bool PipeReader::drain()
{
    return read(INT_MAX);
}

UniqueFd PipeReader::release()
{
    m_notifier.setEnabled(false);
    return std::move(m_fd);
}

bool PipeReader::read(int turns)
{
    if (atEnd())
        return true;
    char buffer[bufferSize];
    for (int turn = 0; turn < turns; ++turn) {
        const ssize_t n = ::read(m_fd.get(), buffer, sizeof buffer);
        if (n > 0) {
            m_sink(QByteArrayView(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return false;
        // The end, or an error that no later read would mend.
        m_notifier.setEnabled(false);
        m_fd.reset();
        emit finished();
        return true;
    }
    return false;
}
