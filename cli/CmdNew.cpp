// tessarine new SITE.tsn [--force]: writes an empty configuration.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/OptionParser.h"
#include "cli/ToolDocument.h"

#include <cstdio>
#include <sys/stat.h>

namespace cli {

int RunNew(const Args& args)
{
    const ParsedOptions parsed = ParseFlags(args, {{"force", false}}, 1);
    if (!parsed.error.empty())
        return UsageError("new", parsed.error);
    const std::string& path = parsed.positional[0];
    struct stat st {};
    if (!parsed.Has("force") && ::lstat(path.c_str(), &st) == 0) {
        std::fprintf(stderr, "%s already exists; it was left as it is (--force replaces it).\n", path.c_str());
        return kExitSaveFailed;
    }
    CTessarineDoc doc;
    doc.OnNewDocument();
    return SaveConfiguration(doc, path);
}

}  // namespace cli
