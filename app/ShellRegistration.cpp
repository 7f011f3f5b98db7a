#include "app/ShellRegistration.h"

#include "common/RegistryHelpers.h"
#include "platform/registry/RegistryStore.h"

namespace {

// One key's default value, the key made first.
bool SetRegKey(const std::string& key, const std::string& value, const std::string& valueName = "")
{
    return RegistryCreateKey(HKEY_CLASSES_ROOT, key) &&
           RegistryWriteString(HKEY_CLASSES_ROOT, key, valueName, value);
}

bool Removed(LONG result)
{
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::string QuotedProgramPath(const std::string& programPath)
{
    return "\"" + programPath + "\"";
}

void RegisterShellFileTypes(const DocumentTypeInfo& info)
{
    const std::string& type = info.fileTypeId;
    const std::string program = QuotedProgramPath(info.programPath);
    const bool written =
        SetRegKey(type, info.description) &&
        SetRegKey(type + "\\DefaultIcon", info.programPath + "," + std::to_string(info.iconIndex)) &&
        SetRegKey(type + "\\shell\\open\\command", program + " \"%1\"") &&
        SetRegKey(type + "\\shell\\print\\command", program + " /p \"%1\"") &&
        SetRegKey(type + "\\shell\\printto\\command", program + " /pt \"%1\" \"%2\" \"%3\" \"%4\"");
    if (!written)
        return;
    std::string current;
    RegistryGetString(HKEY_CLASSES_ROOT, info.extension, "", current, "");
    if (!current.empty() && current != type)
        return;
    if (SetRegKey(info.extension, type))
        SetRegKey(info.extension + "\\ShellNew", "", "NullFile");
}

bool UnregisterShellFileTypes(const DocumentTypeInfo& info)
{
    RegistryStore& store = RegistryStore::Default();
    bool removed = Removed(store.DeleteKey(HKEY_CLASSES_ROOT, info.fileTypeId));
    RegistryValue current;
    const LONG found = store.GetValue(HKEY_CLASSES_ROOT, info.extension, "", current);
    if (found == ERROR_SUCCESS && current.type == REG_SZ &&
        current.data == info.fileTypeId + std::string(1, '\0'))
        removed = Removed(store.DeleteKey(HKEY_CLASSES_ROOT, info.extension)) && removed;
    else if (!Removed(found))
        removed = false;
    return removed;
}
