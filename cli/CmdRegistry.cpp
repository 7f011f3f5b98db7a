// tessarine registry export [KEY] | import FILE: the registry store as
// REGEDIT4 text, out and back in.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/OptionParser.h"
#include "cli/Utf8.h"
#include "platform/framework/RegularFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryText.h"

#include <cstdio>
#include <cstring>
#include <optional>
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
    // An import reads the text line by line: such a name would make an
    // export that cannot be read back. Nothing the program writes has one.
    const std::string broken = FindNameWithLineBreak(keys);
    if (!broken.empty()) {
        std::fprintf(stderr,
                     "tessarine: registry key '%s' has a key or value name with a line break, which the "
                     "export cannot write (nothing was exported)\n",
                     EscapeControls(broken, LineBreaks::escape).c_str());
        return kExitRegistry;
    }
    const std::string text = FormatRegistryText(keys);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitRegistry;
}

// The text to import, from standard input for "-"; the reason it cannot be
// read otherwise (a folder, a missing or unreadable file).
std::optional<std::string> ReadInput(const std::string& file, std::string& text)
{
    if (file == "-") {
        std::ostringstream bytes;
        bytes << std::cin.rdbuf();
        text = bytes.str();
        return std::nullopt;
    }
    FileReadResult read = ReadRegularFile(file);
    if (!read.error) {
        text = std::move(read.bytes);
        return std::nullopt;
    }
    return read.error->m_lOsError != 0 ? std::string(std::strerror(read.error->m_lOsError))
                                       : std::string("not a regular file");
}

int Import(const std::string& file)
{
    std::string text;
    if (const std::optional<std::string> reason = ReadInput(file, text)) {
        std::fprintf(stderr, "tessarine: cannot read '%s': %s (nothing was imported)\n",
                     EscapeControls(file).c_str(), reason->c_str());
        return kExitRegistry;
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

int RunRegistry(const Args& given)
{
    const ParsedOptions parsed = ParseOptions(given, {});
    if (!parsed.ok())
        return UsageError("registry", parsed.error);
    const Args& args = parsed.positional;
    if (args.size() >= 1 && args[0] == "export" && args.size() <= 2)
        return Export(args.size() == 2 ? args[1] : std::string());
    if (args.size() == 2 && args[0] == "import")
        return Import(args[1]);
    return UsageError("registry", "registry takes 'export [KEY]' or 'import FILE'");
}

}  // namespace cli
