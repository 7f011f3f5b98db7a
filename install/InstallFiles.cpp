#include "install/InstallFiles.h"

#include "platform/framework/RegularFile.h"
#include "platform/framework/UniqueFd.h"
#include "platform/registry/RegistryLocation.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Writes all of bytes to fd; errno on failure, 0 on success.
int WriteAll(int fd, const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

// Copies the open source to the open target; errno, or 0.
int CopyContent(int source, int target)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        if (const int error = WriteAll(target, buffer, static_cast<std::size_t>(got)))
            return error;
    }
}

std::string TemporaryName(const std::string& target)
{
    const fs::path path(target);
    return (path.parent_path() / ("." + path.filename().string() + ".tessarine-new")).string();
}

CopyResult Failed(int error)
{
    return {false, error};
}

}  // namespace

bool SameFolder(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    fs::path left = fs::weakly_canonical(fs::absolute(a, error), error);
    if (error)
        return false;
    fs::path right = fs::weakly_canonical(fs::absolute(b, error), error);
    if (error)
        return false;
    // "/opt/x/" and "/opt/x" are one folder.
    return (left / "").lexically_normal() == (right / "").lexically_normal();
}

CopyResult CopyInstallFile(const std::string& source, const std::string& target)
{
    struct stat sourceStatus {};
    if (::stat(source.c_str(), &sourceStatus) != 0)
        return Failed(errno);
    if (!S_ISREG(sourceStatus.st_mode))
        return Failed(S_ISDIR(sourceStatus.st_mode) ? EISDIR : EINVAL);
    struct stat targetStatus {};
    if (::stat(target.c_str(), &targetStatus) == 0 && targetStatus.st_dev == sourceStatus.st_dev
        && targetStatus.st_ino == sourceStatus.st_ino)
        return {false, 0};
    UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.IsOpen())
        return Failed(errno);
    const std::string temporary = TemporaryName(target);
    ::unlink(temporary.c_str());
    UniqueFd out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out.IsOpen())
        return Failed(errno);
    int error = CopyContent(in.Get(), out.Get());
    if (!error && ::fchmod(out.Get(), sourceStatus.st_mode & 07777) != 0)
        error = errno;
    if (!error && ::fsync(out.Get()) != 0)
        error = errno;
    if (!error && ::close(out.Release()) != 0)
        error = errno;
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        return Failed(error);
    }
    return {true, 0};
}

std::string StateFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tessarine";
    return HomeFolder() + "/.local/state/tessarine";
}

std::string InsertRenameLine(const std::string& iniText, const std::string& line)
{
    static const std::string kHeader = "[Rename]";
    const std::size_t header = iniText.find(kHeader);
    if (header == std::string::npos) {
        const bool needsBreak = !iniText.empty() && iniText.back() != '\n';
        return iniText + (needsBreak ? "\r\n" : "") + kHeader + "\r\n" + line;
    }
    const std::size_t lineEnd = iniText.find('\n', header);
    if (lineEnd == std::string::npos)
        return iniText + "\r\n" + line;
    std::string text = iniText;
    return text.insert(lineEnd + 1, line);
}

bool MoveFileAtReboot(const std::string& path, const std::string& newPath)
{
    std::error_code error;
    const fs::path canonical = fs::canonical(path, error);
    if (error)
        return false;
    const std::string line = (newPath.empty() ? std::string("NUL") : newPath) + "=" + canonical.string() + "\r\n";
    const std::string folder = StateFolder();
    fs::create_directories(folder, error);
    const std::string file = folder + "/WinInit.Ini";
    const FileReadResult current = ReadRegularFile(file);
    if (current.error && fs::exists(file, error))
        return false;
    return !SaveFileBytes(file, InsertRenameLine(current.error ? std::string() : current.bytes, line));
}

bool DeleteInstalledFile(const std::string& path)
{
    if (path.empty() || ::unlink(path.c_str()) == 0)
        return false;
    if (errno != EBUSY && errno != ETXTBSY)
        return false;
    return MoveFileAtReboot(path);
}
