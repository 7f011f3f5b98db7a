#include "upload/RunLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// True when fd is still the file that path names (a save renames a new file
// over the path, and a lock on the replaced file would guard nothing).
bool StillNamedBy(int fd, const std::string& path)
{
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

CUploadRunLock::~CUploadRunLock()
{
    Release();
}

CUploadRunLock::Result CUploadRunLock::Acquire(const std::string& path)
{
    Release();
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return Result::NoFile;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? Result::Busy : Result::NoFile;
        }
        if (StillNamedBy(fd, path)) {
            m_fd = fd;
            return Result::Locked;
        }
        ::close(fd);
    }
    return Result::NoFile;
}

void CUploadRunLock::Release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::string UploadBusyMessage(const std::string& path)
{
    return path + "\nThis web site configuration is in use by another run or edit.\n\n"
                  "Try again when it has ended.";
}

std::string RunLockRefusal(const std::string& path, const std::string& what)
{
    return "tessarine: " + path + " is in use by another run or edit; " + what + ".\nTry again when it has ended.\n";
}
