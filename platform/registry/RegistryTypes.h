#pragma once
// The registry's vocabulary with the platform's names and values: the root
// keys, value types, result codes and create dispositions. Every operation of
// RegistryStore returns one of the ERROR_ codes.

#include <cstdint>

using DWORD = std::uint32_t;
using LONG = std::int32_t;

// The predefined roots. All three live in the one per-user store.
enum HKEY : std::uint32_t {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
};

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;         // text with its terminating zero byte
constexpr DWORD REG_EXPAND_SZ = 2;  // text with unexpanded %VARIABLE% references
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;      // 4 bytes, little-endian
constexpr DWORD REG_MULTI_SZ = 7;   // zero-terminated texts, then one more zero

// Result codes.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;       // no such key or value
constexpr LONG ERROR_ACCESS_DENIED = 5;        // the operation is not allowed on this key
constexpr LONG ERROR_INVALID_DATA = 13;        // the value has another type than asked for
constexpr LONG ERROR_INVALID_PARAMETER = 87;   // a root that does not exist, a missing output place
constexpr LONG ERROR_BAD_PATHNAME = 161;       // a key path with an empty part
constexpr LONG ERROR_MORE_DATA = 234;          // the caller's buffer is too small
constexpr LONG ERROR_CANTOPEN = 1011;          // the store's database could not be opened
constexpr LONG ERROR_CANTREAD = 1012;          // the store could not be read
constexpr LONG ERROR_CANTWRITE = 1013;         // the store could not be written
constexpr LONG ERROR_REGISTRY_CORRUPT = 1015;  // the store's file is not a registry database

// What RegistryStore::CreateKey found.
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// The root's name as written in exported text ("HKEY_CURRENT_USER").
const char* RootName(HKEY root);
// The root a name stands for: the full names and HKLM, HKCU, HKCR, any case.
bool ParseRootName(const char* text, std::uint32_t length, HKEY& root);

// A short English description of a result code, for tool messages and logs.
const char* RegistryResultText(LONG code);
