#include "platform/framework/RegularFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<CFileException> KindError(const struct stat& st, const std::string& path)
{
    if (S_ISREG(st.st_mode))
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return CFileException::FromErrno(EISDIR, path);
    return CFileException(CFileException::notRegularFile, 0, path);
}

// Reads fd to its end; returns 0 or the errno of the failed read.
int ReadAll(int fd, std::string& out)
{
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got > 0)
            out.append(block, static_cast<std::size_t>(got));
        else if (got == 0)
            return 0;
        else if (errno != EINTR)
            return errno;
    }
}

int WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put >= 0)
            done += static_cast<std::size_t>(put);
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The file a save replaces: path itself, or the file its symbolic link
// points to (so the link survives the rename).
std::string SaveTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// Flushes the folder that holds path, so that a rename in it survives a
// crash. Best effort: the file itself is already complete on disk.
void FlushFolderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen())
        ::fsync(fd.Get());
}

// Writes bytes to the open temporary file fd, flushes and closes it.
int FillTemporary(UniqueFd& fd, const std::string& bytes)
{
    if (int error = WriteAll(fd.Get(), bytes))
        return error;
    if (::fsync(fd.Get()) != 0)
        return errno;
    if (fd.Reset() != 0)
        return errno;
    return 0;
}

}  // namespace

FileOpenResult OpenRegularFileForReading(const std::string& path)
{
    FileOpenResult result;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        result.error = CFileException::FromErrno(errno, path);
        return result;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        result.error = CFileException::FromErrno(errno, path);
    else
        result.error = KindError(st, path);
    if (!result.error)
        result.fd = std::move(fd);
    return result;
}

FileReadResult ReadRegularFile(const std::string& path)
{
    FileReadResult result;
    FileOpenResult opened = OpenRegularFileForReading(path);
    if (opened.error) {
        result.error = std::move(opened.error);
        return result;
    }
    if (int error = ReadAll(opened.fd.Get(), result.bytes)) {
        result.bytes.clear();
        result.error = CFileException::FromErrno(error, path);
    }
    return result;
}

std::optional<CFileException> WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    const std::string target = SaveTarget(path);
    std::string temporary = target + ".XXXXXX";
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));  // mode 0600
    if (!fd.IsOpen())
        return CFileException::FromErrno(errno, path);
    int error = ::fchmod(fd.Get(), S_IRUSR | S_IWUSR) != 0 ? errno : 0;
    if (error == 0)
        error = FillTemporary(fd, bytes);
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return CFileException::FromErrno(error, path);
    }
    FlushFolderOf(target);
    return std::nullopt;
}
