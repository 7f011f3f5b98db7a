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
