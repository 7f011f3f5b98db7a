#include "common/RegistryHelpers.h"
#include "platform/registry/RegistryStore.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kGetStringBuffer = 512;

RegistryStore& Store()
{
    return RegistryStore::Default();
}

}  // namespace

bool RegistryReadString(HKEY root, const std::string& keyPath, const std::string& valueName,
                        std::string& value, DWORD bufferSize)
{
    // One byte more than asked for, so that the buffer is never null (a null
    // buffer would ask for the length alone).
    std::vector<char> buffer(bufferSize + 1);
    DWORD type = REG_NONE;
    DWORD size = bufferSize;
    if (Store().QueryValue(root, keyPath, valueName, &type, buffer.data(), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // The text ends at its zero byte, or at the data's end when it was stored
    // without one: never past what was read.
    const char* end = static_cast<const char*>(std::memchr(buffer.data(), '\0', size));
    value.assign(buffer.data(), end ? static_cast<std::size_t>(end - buffer.data()) : size);
    return true;
}

bool RegistryReadDword(HKEY root, const std::string& keyPath, const std::string& valueName,
                       DWORD& value)
{
    unsigned char bytes[4] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof bytes;
    if (Store().QueryValue(root, keyPath, valueName, &type, bytes, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof bytes)
        return false;
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
    return true;
}

void RegistryGetString(HKEY root, const std::string& keyPath, const std::string& valueName,
                       std::string& value, const std::string& defaultText)
{
    std::string read;
    value = RegistryReadString(root, keyPath, valueName, read, kGetStringBuffer) ? read : defaultText;
}

DWORD RegistryGetDword(HKEY root, const std::string& keyPath, const std::string& valueName,
                       DWORD defaultValue)
{
    DWORD value = 0;
    return RegistryReadDword(root, keyPath, valueName, value) ? value : defaultValue;
}

bool RegistryWriteString(HKEY root, const std::string& keyPath, const std::string& valueName,
                         const std::string& text)
{
    // SetValue refuses a missing key: it is never created here.
    return Store().SetValue(root, keyPath, valueName, REG_SZ, text.c_str(),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryWriteDword(HKEY root, const std::string& keyPath, const std::string& valueName,
                        DWORD number)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                                    static_cast<unsigned char>(number >> 16),
                                    static_cast<unsigned char>(number >> 24)};
    return Store().SetValue(root, keyPath, valueName, REG_DWORD, bytes, sizeof bytes) == ERROR_SUCCESS;
}

bool RegistryCreateKey(HKEY root, const std::string& keyPath, DWORD* disposition)
{
    DWORD found = 0;
    if (Store().CreateKey(root, keyPath, &found) != ERROR_SUCCESS)
        return false;
    if (disposition)
        *disposition = found;
    return true;
}

bool RegistryDeleteValue(HKEY root, const std::string& keyPath, const std::string& valueName)
{
    if (Store().OpenKey(root, keyPath) != ERROR_SUCCESS)
        return false;
    Store().DeleteValue(root, keyPath, valueName);
    return true;
}
