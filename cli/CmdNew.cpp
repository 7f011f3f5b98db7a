// tessarine new SITE.tsn [--force]: writes an empty configuration.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/OptionParser.h"
#include "cli/ToolDocument.h"
#include "upload/RunLock.h"

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace cli {

int RunNew(const Args& args)
{
    const ParsedOptions parsed = ParseFlags(args, {{"force", false}}, 1);
    if (!parsed.error.empty())
        return UsageError("new", parsed.error);
    const std::string& path = parsed.positional[0];
    if (path.empty())
        return UsageError("new", "give the configuration file's name");
    struct stat st {};
    if (!parsed.Has("force") && ::lstat(path.c_str(), &st) == 0) {
        std::fprintf(stderr, "%s already exists; it was left as it is (--force replaces it).\n", path.c_str());
        return kExitSaveFailed;
    }
    // A running upload saves the whole configuration at its end and would
    // undo the replacement; the lock is held until the new file is saved.
    CUploadRunLock lock;
    if (lock.Acquire(path) == CUploadRunLock::Result::Busy) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        const std::string named = error ? path : absolute.lexically_normal().string();
        std::fputs(RunLockRefusal(named, "it was not replaced").c_str(), stderr);
        return kExitRefused;
    }
    CTessarineDoc doc;
    doc.OnNewDocument();
    return SaveConfiguration(doc, path);
}

}  // namespace cli
