#pragma once
// Folder texts as the installer's dialogs and flows form them. On this
// platform "/" is the only path separator (a backslash is an ordinary
// character of a file name), and "/" is the drive root that may not be
// chosen.

#include <string>

bool IsPathSeparator(char c);
bool EndsWithSeparator(const std::string& path);
// path with one "/" appended unless it ends in one.
std::string WithTrailingSeparator(const std::string& path);

// True when path names an existing folder (links followed).
bool IsExistingFolder(const std::string& path);

// A folder text as the user typed it made into a path: "~" and "~/..." are
// taken from HOME, a relative text is made absolute against the current
// folder. Anything else is returned unchanged (a trailing "/" stays).
std::string ExpandFolderText(const std::string& text);

// True when text, expanded and normalised, is the root "/" ("/", "//",
// "/./", "/.." all are).
bool IsDriveRoot(const std::string& text);

// Creates every missing folder along path, parents first, each with the
// default mode. Stops at the first level that cannot be made. Returns true
// when path is an existing folder afterwards; otherwise error holds the
// errno of the call that failed (ENOTDIR when a level is a regular file).
bool CreateFolderPath(const std::string& path, int* error = nullptr);
