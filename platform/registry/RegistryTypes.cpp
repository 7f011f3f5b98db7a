#include "platform/registry/RegistryTypes.h"

#include <strings.h>

namespace {

struct RootNames {
    HKEY root;
    const char* name;
    const char* shortName;
};

constexpr RootNames kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
};

bool SameName(const char* text, std::uint32_t length, const char* name)
{
    for (std::uint32_t i = 0; i < length; ++i)
        if (name[i] == '\0')
            return false;
    return name[length] == '\0' && strncasecmp(text, name, length) == 0;
}

}  // namespace

const char* RootName(HKEY root)
{
    for (const RootNames& names : kRoots)
        if (names.root == root)
            return names.name;
    return "";
}

bool ParseRootName(const char* text, std::uint32_t length, HKEY& root)
{
    for (const RootNames& names : kRoots)
        if (SameName(text, length, names.name) || SameName(text, length, names.shortName)) {
            root = names.root;
            return true;
        }
    return false;
}

const char* RegistryResultText(LONG code)
{
    switch (code) {
    case ERROR_SUCCESS:
        return "success";
    case ERROR_FILE_NOT_FOUND:
        return "no such key or value";
    case ERROR_ACCESS_DENIED:
        return "not allowed on this key";
    case ERROR_INVALID_DATA:
        return "the value has another type";
    case ERROR_INVALID_PARAMETER:
        return "invalid parameter";
    case ERROR_BAD_PATHNAME:
        return "a key path with an empty name";
    case ERROR_MORE_DATA:
        return "the value is larger than the buffer";
    case ERROR_CANTOPEN:
        return "the registry database cannot be opened";
    case ERROR_CANTREAD:
        return "the registry database cannot be read";
    case ERROR_CANTWRITE:
        return "the registry database cannot be written";
    case ERROR_REGISTRY_CORRUPT:
        return "the file is not a registry database";
    default:
        return "registry error";
    }
}
