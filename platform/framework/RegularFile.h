#pragma once
// Reading and writing whole regular files, the way documents and the files
// they name are opened. Nothing here blocks on a FIFO or a device, takes a
// lock, or throws: errors come back as CFileException values naming the path.

#include "platform/framework/FileException.h"
#include "platform/framework/UniqueFd.h"

#include <optional>
#include <string>

struct FileOpenResult {
    UniqueFd fd;                           // open when error is empty
    std::optional<CFileException> error;
};

struct FileReadResult {
    std::string bytes;                     // the whole file when error is empty
    std::optional<CFileException> error;
};

// Opens path read-only with O_NONBLOCK (a FIFO or device is never waited
// for) and without a lock. Only regular files are accepted: a folder gives
// the isFolder error, a FIFO, socket or device the notRegularFile error.
FileOpenResult OpenRegularFileForReading(const std::string& path);

// The whole content of the regular file path.
FileReadResult ReadRegularFile(const std::string& path);

// Saves bytes as the whole content of path. When path is a symbolic link
// the file it points to is saved and the link stays. On failure the error
// names path (or, for a new file, the folder that refused it).
// - A new file is written beside its name, flushed and renamed into place,
//   readable by its owner only (mode 0600).
// - An existing file must be a regular file the caller may open for writing
//   (the system decides: root may write a read-only file); otherwise it is
//   refused and left as it was.
// - It is replaced atomically as a new file is, the new file taking the old
//   one's owner, group and permission bits, so a failure leaves it whole.
// - It is written in place (truncated, written whole, flushed), as the
//   framework's own save does, when it has more than one hard link, when its
//   folder refuses a new file, or when its owner or group cannot be given to
//   a new file: a save never takes a file from its owner. Only then can a
//   failed write leave it cut.
std::optional<CFileException> SaveFileBytes(const std::string& path, const std::string& bytes);
