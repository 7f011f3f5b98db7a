#include "cli/ToolDocument.h"

#include "cli/ExitCodes.h"
#include "platform/framework/DocumentFile.h"
#include "platform/framework/RegularFile.h"

#include <unistd.h>

namespace cli {

int LoadConfiguration(CTessarineDoc& doc, const std::string& path)
{
    return OpenDocumentFile(doc, path) == OpenOutcome::opened ? kExitOk : kExitLoadFailed;
}

int SaveConfiguration(CTessarineDoc& doc, const std::string& path)
{
    return SaveDocumentFile(doc, path) ? kExitOk : kExitSaveFailed;
}

std::optional<DWORD> StoredFormatVersion(const std::string& path)
{
    FileOpenResult file = OpenRegularFileForReading(path);
    if (file.error)
        return std::nullopt;
    unsigned char header[8];
    std::size_t got = 0;
    while (got < sizeof header) {
        const ssize_t n = ::read(file.fd.Get(), header + got, sizeof header - got);
        if (n <= 0)
            return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<DWORD>(header[4] | (header[5] << 8) | (header[6] << 16)) |
           (static_cast<DWORD>(header[7]) << 24);
}

}  // namespace cli
