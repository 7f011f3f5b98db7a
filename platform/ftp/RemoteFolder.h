#pragma once
// Remote folder paths as the client keeps track of them: which folder a
// CWD leads to, and the one absolute path that stands for "root, then the
// target folder". Pure text work, no I/O. Only paths that need no help
// from the server are worked out ("." and ".." could cross a symbolic
// link): anything else is unknown.

#include <optional>
#include <string>

namespace ftp {

// The folder "CWD argument" enters from base: argument itself when it is
// absolute, base joined with it when it is relative and base is known, and
// unknown when the argument holds "." or ".." levels.
std::optional<std::string> FolderAfterCwd(const std::optional<std::string>& base, const std::string& argument);

// Whether a and b name the same folder (trailing and doubled "/" aside).
bool SameFolder(const std::string& a, const std::string& b);

// The absolute folder that "CWD root" followed by "CWD target" enters: the
// target when it is absolute, else root and target joined. Empty when root
// is not absolute (it cannot stand alone then).
std::string CombinedFolder(const std::string& root, const std::string& target);

}  // namespace ftp
