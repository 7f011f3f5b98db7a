#include "upload/LocalFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CLocalFileReader::~CLocalFileReader()
{
    Close();
}

bool CLocalFileReader::Open(const std::string& path)
{
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = status.st_size;
    m_path = path;
    m_begin = m_end = 0;
    m_error.clear();
    return true;
}

bool CLocalFileReader::Refill()
{
    for (;;) {
        const ssize_t count = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (count >= 0) {
            m_begin = 0;
            m_end = static_cast<std::size_t>(count);
            return true;
        }
        if (errno != EINTR) {
            m_error = "Error reading " + m_path + ": " + std::strerror(errno);
            return false;
        }
    }
}

std::ptrdiff_t CLocalFileReader::ReadBlock(const char** block)
{
    if (m_fd < 0)
        return 0;
    if (m_begin == m_end && !Refill())
        return -1;
    const std::size_t count = std::min(kBlockSize, m_end - m_begin);
    *block = m_buffer.data() + m_begin;
    m_begin += count;
    return static_cast<std::ptrdiff_t>(count);
}

void CLocalFileReader::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_begin = m_end = 0;
}
