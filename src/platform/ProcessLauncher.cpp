#include "ProcessLauncher.h"

#include <unistd.h>

void UniqueFd::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}
