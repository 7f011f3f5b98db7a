// tessarine registry export [KEY] | import FILE: the registry store as
// REGEDIT4 text, out and back in.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryText.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace cli {

namespace {

int StoreError(LONG code)
{
    std::fprintf(stderr, "tessarine: registry %s: %s\n", RegistryStore::Default().path().c_str(),
                 RegistryResultText(code));
    return kExitRegistry;
}

int Export(const std::string& keyName)
{
    std::vector<RegistryKeyRecord> keys;
    LONG result;
    if (keyName.empty()) {
        result = RegistryStore::Default().ExportAll(keys);
    } else {
        HKEY root;
        std::string keyPath;
        if (!ParseRegistryKeyName(keyName, root, keyPath))
            return UsageError("registry", "unknown root key in '" + keyName + "'");
        result = RegistryStore::Default().ExportTree(root, keyPath, keys);
        if (result == ERROR_FILE_NOT_FOUND) {
            std::fprintf(stderr, "tessarine: no registry key '%s'\n", keyName.c_str());
            return kExitRegistry;
        }
    }
    if (result != ERROR_SUCCESS)
        return StoreError(result);
    const std::string text = FormatRegistryText(keys);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitRegistry;
}

bool ReadInput(const std::string& file, std::string& text)
{
    std::ostringstream bytes;
    if (file == "-") {
        bytes << std::cin.rdbuf();
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return false;
        bytes << in.rdbuf();
    }
    text = bytes.str();
    return true;
}

int Import(const std::string& file)
{
    std::string text;
    if (!ReadInput(file, text)) {
        std::fprintf(stderr, "tessarine: cannot read '%s'\n", file.c_str());
        return kExitUsage;
    }
    std::vector<RegistryEdit> edits;
    RegistryTextError error;
    if (!ParseRegistryText(text, edits, error)) {
        std::fprintf(stderr, "tessarine: %s:%d: %s (nothing was imported)\n", file.c_str(), error.line,
                     error.message.c_str());
        return kExitUsage;
    }
    const LONG result = RegistryStore::Default().Apply(edits);
    return result == ERROR_SUCCESS ? kExitOk : StoreError(result);
}

}  // namespace

int RunRegistry(const Args& args)
{
    if (args.size() >= 1 && args[0] == "export" && args.size() <= 2)
        return Export(args.size() == 2 ? args[1] : std::string());
    if (args.size() == 2 && args[0] == "import")
        return Import(args[1]);
    return UsageError("registry", "registry takes 'export [KEY]' or 'import FILE'");
}

}  // namespace cli
