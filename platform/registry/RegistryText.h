#pragma once
// The registry's text form (REGEDIT4): "[HKEY_...\path]" headers, then one
// line per value: "name"= or @= (the default value), followed by "text"
// (REG_SZ), dword:0000002a (REG_DWORD), hex:01,02 (REG_BINARY) or
// hex(N):... for any other type (2 REG_EXPAND_SZ, 7 REG_MULTI_SZ, 1 a REG_SZ
// whose bytes are not one line of text and one zero byte). Pure functions:
// no store, no files.

#include "platform/registry/RegistryStore.h"

#include <string>
#include <vector>

// The text form of keys, in their order, starting with the "REGEDIT4" line.
std::string FormatRegistryText(const std::vector<RegistryKeyRecord>& keys);

// The header name ("HKEY_...\path") of the first key in keys whose own
// name, or one of whose value names, holds a line break (CR or LF): the text
// form has no way to write one that reads back. Empty when there is none.
std::string FindNameWithLineBreak(const std::vector<RegistryKeyRecord>& keys);

struct RegistryTextError {
    int line = 0;  // 1-based line of the fault
    std::string message;
};

// Reads the text form into edits: a header creates its key ("[-...]" deletes
// the key), a value line sets the value ("name"=- deletes it). Also accepts
// lines continued with a trailing "\", comments starting with ";", CRLF line
// ends, dword: with 1 to 8 hex digits and the root names HKLM, HKCU, HKCR.
// False at the first fault, with edits left incomplete and error set.
bool ParseRegistryText(const std::string& text, std::vector<RegistryEdit>& edits,
                       RegistryTextError& error);

// A key given as "HKEY_CURRENT_USER\Software\Orvik" (or "HKCU\..."): its root
// and the path below it. False when the root is not one of the three.
bool ParseRegistryKeyName(const std::string& text, HKEY& root, std::string& keyPath);
