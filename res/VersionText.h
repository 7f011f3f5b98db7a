#pragma once
// The version text shown by the About box and compared by the installer.
// Toolkit-free.

#include "res/VersionBlock.h"

#include <string>

// "major.minor" with the minor number in at least two digits ("1.01",
// "2.10", "1.123"), plus " Beta n" when the third number n is 1 to 99.
// The fourth number is never shown. Empty when block is null (no version
// block could be read).
std::string GetVersionText(const VersionBlock* block);

// The text of the program's own block.
std::string GetVersionText();
