#include "install/DesktopEntryFile.h"

#include "platform/framework/RegularFile.h"
#include "platform/registry/RegistryLocation.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string DesktopEntryStringValue(const std::string& text)
{
    std::string value;
    for (char c : text) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else if (c == '\r')
            value += "\\r";
        else
            value += c;
    }
    return value;
}

std::string DesktopEntryExecArgument(const std::string& argument)
{
    // Inside a quoted argument, " ` $ and \ take a backslash; a literal
    // percent sign is doubled so that it is not a field code.
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    return DesktopEntryStringValue(quoted);
}

std::string DesktopEntryText(const DesktopEntry& entry)
{
    std::string exec;
    for (const std::string& argument : entry.exec)
        exec += (exec.empty() ? "" : " ") + DesktopEntryExecArgument(argument);
    std::string text = "[Desktop Entry]\nType=Application\nName=" + DesktopEntryStringValue(entry.name)
                     + "\nExec=" + exec + "\n";
    if (!entry.workingFolder.empty())
        text += "Path=" + DesktopEntryStringValue(entry.workingFolder) + "\n";
    if (!entry.icon.empty())
        text += "Icon=" + DesktopEntryStringValue(entry.icon) + "\n";
    return text + "Terminal=false\n";
}

bool WriteDesktopFile(const std::string& path, const std::string& text)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    return !SaveFileBytes(path, text).has_value();
}

std::string AutostartEntryPath(const std::string& name)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
    return folder + "/autostart/" + name + ".desktop";
}
