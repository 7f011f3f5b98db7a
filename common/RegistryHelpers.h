#pragma once
// Single-value access to the registry store. Each call opens the key it
// needs, does one thing and is done; none shows a message, throws or retries.
// A failed read looks the same as a missing value; the Get forms turn both
// into the caller's default. They work on RegistryStore::Default(), the
// per-user store (TESSARINE_REGISTRY names another file).

#include "platform/registry/RegistryTypes.h"

#include <string>

// Reads a REG_SZ value as the platform would into a buffer of bufferSize
// bytes: false when the key or value is missing, the value's bytes do not fit
// in bufferSize, or its type is not REG_SZ (REG_EXPAND_SZ and REG_MULTI_SZ
// fail too). On success value holds the text up to the first zero byte within
// the stored data (a value stored without its zero ends at its data length).
// On failure value is left as it was.
bool RegistryReadString(HKEY root, const std::string& keyPath, const std::string& valueName,
                        std::string& value, DWORD bufferSize);

// Reads a REG_DWORD value of exactly 4 bytes; false for any other type or a
// longer value. On failure value is left as it was.
bool RegistryReadDword(HKEY root, const std::string& keyPath, const std::string& valueName,
                       DWORD& value);

// RegistryReadString with a buffer of 512 bytes: a text of up to 511 bytes is
// read; a longer one, or any failure, gives defaultText.
void RegistryGetString(HKEY root, const std::string& keyPath, const std::string& valueName,
                       std::string& value, const std::string& defaultText);

// The REG_DWORD value, or defaultValue when it cannot be read.
DWORD RegistryGetDword(HKEY root, const std::string& keyPath, const std::string& valueName,
                       DWORD defaultValue);

// Stores text as REG_SZ with its terminating zero (an empty text is one zero
// byte). The key must exist: a missing key is not created and gives false.
bool RegistryWriteString(HKEY root, const std::string& keyPath, const std::string& valueName,
                         const std::string& text);

// Stores number as a 4-byte REG_DWORD. The key must exist.
bool RegistryWriteDword(HKEY root, const std::string& keyPath, const std::string& valueName,
                        DWORD number);

// Creates the key with any missing keys above it, or finds it when it exists.
// True when the key exists afterwards. disposition, when given, receives
// REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
bool RegistryCreateKey(HKEY root, const std::string& keyPath, DWORD* disposition = nullptr);

// Deletes the named value. True when the key exists, whether or not the value
// existed or could be deleted.
bool RegistryDeleteValue(HKEY root, const std::string& keyPath, const std::string& valueName);

// Full path of the running program file, or an empty string when it cannot be
// had or is 259 characters or longer.
std::string GetModulePath();

// The folder of the running program file with its trailing "/"
// ("/opt/tessarine/Tessup" gives "/opt/tessarine/"), or an empty string.
std::string GetModuleFolder();
