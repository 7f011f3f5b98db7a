#pragma once
// The installer's file operations: copying the program's files into place,
// comparing folders, deleting installed files and scheduling the ones that
// cannot go now. Silent: results carry an errno value for the caller's
// message.

#include <string>

// True when both name the same folder once made canonical (links and "."
// or ".." resolved; a missing tail compared as written). Empty never matches.
bool SameFolder(const std::string& a, const std::string& b);

struct CopyResult {
    bool copied = false;  // the target now holds the source's bytes
    int error = 0;        // errno when not copied; 0 with copied false: the
                          // source and the target are one file (nothing to do)
};

// Copies the regular file source to target: written to a temporary name
// beside target, flushed, given source's permission bits, then renamed over
// target, so that a running program at target keeps its old file and a
// failed copy leaves target as it was. A target that is the source itself
// (the same file through a link or another path) is left alone.
CopyResult CopyInstallFile(const std::string& source, const std::string& target);

// The folder that stands for the original platform's Windows folder:
// $XDG_STATE_HOME/tessarine (an absolute XDG_STATE_HOME), else
// ~/.local/state/tessarine.
std::string StateFolder();

// Inserts line (ended by "\r\n") as the first entry of the "[Rename]"
// section of an INI text, right after the section's header line; appends the
// header and the line at the end when there is no such section (on a line of
// their own). The rest of the text is kept byte for byte.
std::string InsertRenameLine(const std::string& iniText, const std::string& line);

// Records in StateFolder()/WinInit.Ini that path is to be renamed to
// newPath (empty: deleted, "NUL") at the next restart; the newest entry
// first. The file and its folder are made when missing and the file is
// replaced atomically. False when path does not exist or the file cannot be
// written. Nothing on this platform reads that file: it is a record.
bool MoveFileAtReboot(const std::string& path, const std::string& newPath = std::string());

// Deletes path. True only when the deletion failed because the file is busy
// (EBUSY, ETXTBSY) and it was scheduled with MoveFileAtReboot; a missing
// file, a deleted one or any other failure gives false.
bool DeleteInstalledFile(const std::string& path);
