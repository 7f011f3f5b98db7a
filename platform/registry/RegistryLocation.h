#pragma once
// Where the registry store lives and what a new store starts with.

#include <string>

// The home folder: $HOME, else the password database's entry; never "~".
std::string HomeFolder();

// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::string DataHomeFolder();

// The two shell-folder values a new store is created with.
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\shell folders
// "Programs": $XDG_DATA_HOME/applications (an absolute XDG_DATA_HOME only),
// else ~/.local/share/applications.
std::string ProgramsFolder();
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion "ProgramFilesDir":
// ~/.local/opt.
std::string ProgramFilesFolder();

extern const char* const kShellFoldersKey;
extern const char* const kCurrentVersionKey;
