#pragma once
// The document type for the desktop: a shared-mime-info type for "*.tsn"
// (magic "KTSN" at offset 0) and a desktop entry that opens such files with
// the program, both under $XDG_DATA_HOME (default ~/.local/share). Files are
// written only when their content changes, and only then are the desktop's
// databases refreshed.

#include <functional>
#include <string>

struct DesktopRegistrationFiles {
    std::string mimePackage;   // <data>/mime/packages/tessarine.xml
    std::string desktopEntry;  // <data>/applications/tessarine-tessup.desktop
    std::string mimeFolder;    // <data>/mime
    std::string applicationsFolder;
};

// The files for the data folder $XDG_DATA_HOME (an absolute one only), else
// ~/.local/share.
DesktopRegistrationFiles DesktopRegistrationPaths();

// The two files' contents for the program at programPath.
std::string MimePackageText();
std::string DesktopEntryText(const std::string& programPath);

// Runs a refresh command line (update-mime-database FOLDER, ...); a missing
// tool is no error.
using RefreshRunner = std::function<void(const std::string& commandLine)>;

// Writes what differs and refreshes what was written. Silent on failure.
void RegisterDesktopType(const std::string& programPath, const RefreshRunner& refresh);
// Removes both files (when present) and refreshes. False when a file stays.
bool UnregisterDesktopType(const RefreshRunner& refresh);
