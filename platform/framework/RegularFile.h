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

// Replaces path with bytes atomically: writes a new file beside it (mode
// 0600, readable by its owner only), flushes it to disk and renames it over
// path. When path is a symbolic link the file it points to is replaced and
// the link stays. On failure path is left as it was and the error names path.
std::optional<CFileException> WriteFileAtomically(const std::string& path, const std::string& bytes);
