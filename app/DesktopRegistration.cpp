#include "app/DesktopRegistration.h"

#include "install/DesktopEntryFile.h"
#include "platform/framework/RegularFile.h"
#include "platform/registry/RegistryLocation.h"
#include "platform/shell/CommandLine.h"

#include <filesystem>
#include <system_error>

namespace {

// True when path was (re)written.
bool WriteWhenChanged(const std::string& path, const std::string& text)
{
    const FileReadResult current = ReadRegularFile(path);
    if (!current.error && current.bytes == text)
        return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    return !SaveFileBytes(path, text).has_value();
}

bool RemoveFile(const std::string& path, bool& removedAny)
{
    std::error_code error;
    const bool removed = std::filesystem::remove(path, error);
    removedAny = removedAny || removed;
    return !error;
}

std::string RefreshCommand(const char* tool, const std::string& folder)
{
    return std::string(tool) + " " + QuoteArgument(folder);
}

}  // namespace

DesktopRegistrationFiles DesktopRegistrationPaths()
{
    const std::string data = DataHomeFolder();
    return {data + "/mime/packages/tessarine.xml", data + "/applications/tessarine-tessup.desktop",
            data + "/mime", data + "/applications"};
}

std::string MimePackageText()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"application/x-tessarine\">\n"
           "    <comment>Tessup Configuration</comment>\n"
           "    <magic priority=\"50\">\n"
           "      <match type=\"string\" offset=\"0\" value=\"KTSN\"/>\n"
           "    </magic>\n"
           "    <glob pattern=\"*.tsn\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string DesktopEntryText(const std::string& programPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tessarine\n"
           "Comment=Upload a web site configuration to its FTP servers\n"
           "Exec=" + DesktopEntryExecArgument(programPath) + " %f\n"
           "MimeType=application/x-tessarine;\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "Categories=Network;FileTransfer;\n";
}

void RegisterDesktopType(const std::string& programPath, const RefreshRunner& refresh)
{
    const DesktopRegistrationFiles files = DesktopRegistrationPaths();
    if (WriteWhenChanged(files.mimePackage, MimePackageText()))
        refresh(RefreshCommand("update-mime-database", files.mimeFolder));
    if (WriteWhenChanged(files.desktopEntry, DesktopEntryText(programPath)))
        refresh(RefreshCommand("update-desktop-database", files.applicationsFolder));
}

bool UnregisterDesktopType(const RefreshRunner& refresh)
{
    const DesktopRegistrationFiles files = DesktopRegistrationPaths();
    bool mimeRemoved = false;
    bool entryRemoved = false;
    const bool ok = RemoveFile(files.mimePackage, mimeRemoved) & RemoveFile(files.desktopEntry, entryRemoved);
    if (mimeRemoved)
        refresh(RefreshCommand("update-mime-database", files.mimeFolder));
    if (entryRemoved)
        refresh(RefreshCommand("update-desktop-database", files.applicationsFolder));
    return ok;
}
