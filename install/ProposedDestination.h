#pragma once

#include <string>

// The destination the installer proposes for folder (the registered folder):
// folder itself when set; else ProgramFilesDir + "/" + title from the
// registry store when that value is there and not empty; else the source
// folder.
std::string ProposedDestination(const std::string& folder, const std::string& sourceFolder, const std::string& title);
