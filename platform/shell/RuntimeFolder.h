#pragma once
// The per-user runtime folder in which every running Tessup listens for the
// other copies: TESSARINE_RUNTIME_DIR, else $XDG_RUNTIME_DIR/tessarine, else
// "tessarine/runtime" in the state folder ($XDG_STATE_HOME, default
// ~/.local/state). Making it is the start-up step that stands where the
// original program brought up its object services.

#include <string>

// The folder's path (not checked, not created).
std::string RuntimeFolderPath();

// Creates the folder (and its missing parents) with mode 0700, or accepts an
// existing folder owned by this user, which is then set to 0700. False when
// it cannot be made, is not a folder, or belongs to someone else.
bool MakeRuntimeFolder();
