#pragma once

#include <string>

namespace test {

// Records the copy in build/dist/ as the installed one in the registry store
// at `registryPath`, so that a start of it goes through to start-up instead
// of to the installer.
void RegisterDistAsInstalled(const std::string& registryPath);

}  // namespace test
