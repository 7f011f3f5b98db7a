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

// The folder that holds path.
std::string FolderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes the folder that holds path, so that a rename in it survives a
// crash. Best effort: the file itself is already complete on disk.
void FlushFolderOf(const std::string& path)
{
    UniqueFd fd(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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

// Writes bytes over the open file fd from its start and cuts it there, then
// flushes it: the save that keeps the file itself (its owner, its links).
std::optional<CFileException> WriteInPlace(UniqueFd& fd, const std::string& path, const std::string& bytes)
{
    int error = ::ftruncate(fd.Get(), 0) != 0 ? errno : 0;
    if (error == 0)
        error = WriteAll(fd.Get(), bytes);
    if (error == 0 && ::fsync(fd.Get()) != 0)
        error = errno;
    if (error == 0 && fd.Reset() != 0)
        error = errno;
    if (error != 0)
        return CFileException::FromErrno(error, path);
    return std::nullopt;
}

// Creates a temporary file beside target (mode 0600); its path in temporary.
UniqueFd CreateTemporary(const std::string& target, std::string& temporary)
{
    temporary = target + ".XXXXXX";
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.IsOpen() && ::fchmod(fd.Get(), S_IRUSR | S_IWUSR) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return UniqueFd();
    }
    return fd;
}

// Fills the temporary file and renames it over target; 0 or the errno.
int CompleteTemporary(UniqueFd& fd, const std::string& temporary, const std::string& target,
                      const std::string& bytes)
{
    int error = FillTemporary(fd, bytes);
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    FlushFolderOf(target);
    return 0;
}

// A file that does not exist yet: created readable by its owner only. A
// folder that may not be written is named as what refused.
std::optional<CFileException> WriteNewFile(const std::string& path, const std::string& target,
                                           const std::string& bytes)
{
    std::string temporary;
    UniqueFd fd = CreateTemporary(target, temporary);
    if (!fd.IsOpen()) {
        const int error = errno;
        const bool folderRefused = error == EACCES || error == EPERM;
        return CFileException::FromErrno(error, folderRefused ? FolderOf(path) : path);
    }
    if (int error = CompleteTemporary(fd, temporary, target, bytes))
        return CFileException::FromErrno(error, path);
    return std::nullopt;
}

constexpr int kNotReplaceable = -1;

// The atomic save of an existing file: a new file beside it takes the old
// one's owner, group and permission bits before it is renamed over it.
// 0 when done; kNotReplaceable when the folder refuses the new file or the
// owner cannot be kept (the caller then writes in place rather than take the
// file from its owner); the errno when writing or renaming failed (target is
// untouched then).
int ReplaceKeepingOwner(const std::string& target, const struct stat& old, const std::string& bytes)
{
    std::string temporary;
    UniqueFd fd = CreateTemporary(target, temporary);
    // Only a folder that refuses a new file sends the save in place: after
    // any other failure (a full disk) writing in place could cut the file.
    if (!fd.IsOpen())
        return errno == EACCES || errno == EPERM ? kNotReplaceable : errno;
    struct stat fresh {};
    bool kept = ::fstat(fd.Get(), &fresh) == 0;
    if (kept && (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid))
        kept = ::fchown(fd.Get(), old.st_uid, old.st_gid) == 0;
    // After the owner: a change of owner clears the set-id bits.
    if (kept)
        kept = ::fchmod(fd.Get(), old.st_mode & 07777) == 0;
    if (!kept) {
        ::unlink(temporary.c_str());
        return kNotReplaceable;
    }
    return CompleteTemporary(fd, temporary, target, bytes);
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

std::optional<CFileException> SaveFileBytes(const std::string& path, const std::string& bytes)
{
    const std::string target = SaveTarget(path);
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT)
            return CFileException::FromErrno(errno, path);
        return WriteNewFile(path, target, bytes);
    }
    if (std::optional<CFileException> kind = KindError(old, path))
        return kind;
    // The permission to write the file is the system's to decide (root may
    // write a read-only file); asking it by opening spares guessing from the
    // mode bits. The file is not truncated until it is known which way the
    // save goes.
    UniqueFd live(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!live.IsOpen())
        return CFileException::FromErrno(errno, path);
    if (old.st_nlink > 1)
        return WriteInPlace(live, path, bytes);
    const int replaced = ReplaceKeepingOwner(target, old, bytes);
    if (replaced == kNotReplaceable)
        return WriteInPlace(live, path, bytes);
    if (replaced != 0)
        return CFileException::FromErrno(replaced, path);
    return std::nullopt;
}
