#pragma once
// Loading and saving configurations for the tool's commands, through the
// same open and save steps as the window. The steps' messages reach the user
// through AfxMessageBox, which in the tool prints them to stderr exactly as
// worded.

#include "model/TessarineDoc.h"

#include <optional>
#include <string>

namespace cli {

// Opens path into doc. kExitOk, or kExitLoadFailed after the load's message,
// which names the file: "tessarine: site.tsn: Unexpected file format.".
int LoadConfiguration(CTessarineDoc& doc, const std::string& path);

// Saves doc to path (atomically; a new file is readable by its owner only).
// kExitOk, or kExitSaveFailed after a message naming the file and the
// reason; an existing file is then left whole.
int SaveConfiguration(CTessarineDoc& doc, const std::string& path);

// The format version stored in the file at path (the DWORD after the magic);
// empty when the file is shorter than that or cannot be read.
std::optional<DWORD> StoredFormatVersion(const std::string& path);

}  // namespace cli
