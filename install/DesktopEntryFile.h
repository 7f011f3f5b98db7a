#pragma once
// Desktop entries (freedesktop .desktop files) for the installer's
// shortcuts and the run-at-start-up setting.

#include <string>
#include <vector>

// One argument of an Exec= line: quoted, with " ` $ and \ escaped inside the
// quotes and a percent sign doubled, then escaped once more as a string
// value (backslashes, line breaks and tabs).
std::string DesktopEntryExecArgument(const std::string& argument);

// A string value (Name=, Path=, Icon=): backslashes, line breaks and tabs
// escaped.
std::string DesktopEntryStringValue(const std::string& text);

struct DesktopEntry {
    std::string name;
    std::vector<std::string> exec;  // the program and its arguments
    std::string workingFolder;      // Path=; empty: none
    std::string icon;               // Icon=; empty: none
};

// The entry's text: [Desktop Entry], Type=Application, Name, Exec, Path,
// Icon, Terminal=false.
std::string DesktopEntryText(const DesktopEntry& entry);

// Writes text to path atomically, making its folder when missing. False on
// failure.
bool WriteDesktopFile(const std::string& path, const std::string& text);

// The autostart entry of the run-at-start-up setting:
// $XDG_CONFIG_HOME/autostart/<name>.desktop (an absolute XDG_CONFIG_HOME),
// else ~/.config/autostart/<name>.desktop.
std::string AutostartEntryPath(const std::string& name);
