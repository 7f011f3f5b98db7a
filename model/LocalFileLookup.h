#pragma once
// What the local file dialog's OK does with the typed file name: look it up
// in the file system and, when something is found, replace it by the full
// path of the first match. Shared by the Qt dialog and the command-line tool.
//
// The folder part is taken literally (relative to the current folder when it
// does not start with "/"); in the last part only "*" (any run of bytes) and
// "?" (one byte) are wildcards, so "photo[1].jpg" names itself. Several
// matches: the first in byte order of their names counts. A folder is never a
// match; anything else that exists is (a dangling link is not). Never blocks
// on the file's content: only directory entries and their status are read.

#include <optional>
#include <string>

// The full path (absolute, "." and ".." resolved by their text) of the first
// match of typed, or nothing when nothing matches or typed is empty.
std::optional<std::string> FindLocalFile(const std::string& typed);

// Whether name matches pattern, "*" and "?" being the only wildcards.
bool MatchesFilePattern(const std::string& pattern, const std::string& name);

// The message shown when nothing matches typed.
std::string LocalFileMissingText(const std::string& typed);

// The whole OK step on the file name field's text: when a file is found the
// text becomes its full path and the result is true; otherwise the missing
// file message goes to AfxMessageBox (exclamation icon, OK) and the text stays.
bool ConfirmLocalFileName(std::string& fieldText);
