#include "platform/framework/FileException.h"

#include <cerrno>
#include <cstring>

namespace {

struct FileErrorRow {
    int osError;  // 0: an error of our own (cause only)
    CFileException::Cause cause;
    const char* text;  // %1 stands for the file name
};

// Every file-error text the user can see.
constexpr FileErrorRow kFileErrors[] = {
    {ENOENT, CFileException::fileNotFound, "%1 was not found."},
    {ENOTDIR, CFileException::badPath, "%1 cannot be reached: a part of its path is not a folder."},
    {ELOOP, CFileException::badPath, "%1 cannot be reached: its path has too many symbolic links."},
    {ENAMETOOLONG, CFileException::badPath, "The name %1 is too long."},
    {EACCES, CFileException::accessDenied, "Access to %1 was denied."},
    {EPERM, CFileException::accessDenied, "Access to %1 was denied: the operation is not permitted."},
    {EISDIR, CFileException::isFolder, "%1 is a folder, not a file."},
    {0, CFileException::notRegularFile, "%1 is not a regular file."},
    {ENOSPC, CFileException::diskFull, "There is not enough space on the disk to write %1."},
    {EDQUOT, CFileException::diskFull, "The disk quota is exhausted: %1 could not be written."},
    {EFBIG, CFileException::diskFull, "%1 would grow beyond the largest file size allowed."},
    {EROFS, CFileException::readOnlyFileSystem, "%1 is on a read-only file system."},
    {EMFILE, CFileException::tooManyOpenFiles, "%1 could not be opened because too many files are open."},
    {ENFILE, CFileException::tooManyOpenFiles, "%1 could not be opened because too many files are open."},
    {EIO, CFileException::hardIO, "A hardware error occurred while accessing %1."},
    {ETXTBSY, CFileException::sharingViolation, "%1 is in use and cannot be written."},
};

const FileErrorRow* FindRow(int osError, CFileException::Cause cause)
{
    for (const FileErrorRow& row : kFileErrors)
        if (osError != 0 ? row.osError == osError : (row.osError == 0 && row.cause == cause))
            return &row;
    return nullptr;
}

std::string Substitute(const std::string& text, const std::string& fileName)
{
    std::string result = text;
    const std::string::size_type at = result.find("%1");
    if (at != std::string::npos)
        result.replace(at, 2, fileName);
    return result;
}

}  // namespace

CFileException::CFileException(Cause cause, int osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName))
{
}

CFileException CFileException::FromErrno(int osError, const std::string& fileName)
{
    const FileErrorRow* row = FindRow(osError, generic);
    return CFileException(row ? row->cause : generic, osError, fileName);
}

std::string CFileException::GetErrorMessage() const
{
    if (const FileErrorRow* row = FindRow(m_lOsError, m_cause))
        return Substitute(row->text, m_strFileName);
    std::string reason = m_lOsError != 0 ? std::strerror(m_lOsError) : "unknown error";
    return Substitute("An unexpected error occurred while accessing %1 (" + reason + ").", m_strFileName);
}
