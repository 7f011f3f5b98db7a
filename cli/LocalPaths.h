#pragma once
// The local files a command names: a path or a pattern given to add-file,
// and the files of a folder tree given to add-tree. Only directory entries
// and their status are read, never a file's content, so nothing blocks on a
// FIFO or device.

#include <string>
#include <vector>

namespace cli {

enum class PathRefusal {
    none,
    missing,  // nothing of that name, or no match of the pattern
    folder,   // a folder (or a link to one): add-tree takes folders
};

struct PathExpansion {
    std::vector<std::string> files;  // full paths, in byte order of their names
    PathRefusal refusal = PathRefusal::none;
    bool pattern = false;  // typed had wildcards in its last part
};

// What typed names, read as the local file dialog reads a name (folder part
// literal, "*" and "?" wildcards in the last part only), but every match
// instead of the first: a pattern gives all its matches, sorted; a name
// without wildcards gives itself. A folder is never a match.
PathExpansion ExpandLocalPath(const std::string& typed);

// One file of a tree: its full path and its folder below the tree's top
// ("" for a file at the top, "img/icons" below), "/" between levels.
struct TreeFile {
    std::string path;
    std::string subfolder;
};

struct TreeListing {
    std::vector<TreeFile> files;
    std::vector<std::string> unreadable;  // folders below the top that could not be listed
    bool topIsFolder = false;
};

// Every regular file below top, depth first, each folder's entries in byte
// order of their names. Left out: names beginning with "." (files and
// folders), symbolic links to folders, anything that is neither a regular
// file nor a folder (FIFOs, sockets, devices, dangling links), and every
// path below top that matches one of the shell patterns of excludes
// (fnmatch, "*" also crossing "/"; a folder that matches is not entered).
// top itself is taken as named: it may be hidden or a link to a folder.
TreeListing ListTree(const std::string& top, const std::vector<std::string>& excludes);

// Whether the path below a tree's top matches one of the shell patterns.
bool IsExcluded(const std::string& relative, const std::vector<std::string>& excludes);

}  // namespace cli
