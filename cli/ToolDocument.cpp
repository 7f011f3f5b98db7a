#include "cli/ToolDocument.h"

#include "cli/ExitCodes.h"
#include "cli/Utf8.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/DocumentFile.h"
#include "platform/framework/RegularFile.h"

#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {

// While a configuration loads: every message is the tool's and names the
// file ("tessarine: site.tsn: Unexpected file format."); a file-error text
// that names it already only gets the tool's name. Passed on to the box
// that was installed.
class FileNamingMessageBox : public IMessageBoxHandler {
public:
    explicit FileNamingMessageBox(std::string path) : m_path(std::move(path)), m_previous(SetMessageBoxHandler(this)) {}
    ~FileNamingMessageBox() override { SetMessageBoxHandler(m_previous); }
    FileNamingMessageBox(const FileNamingMessageBox&) = delete;
    FileNamingMessageBox& operator=(const FileNamingMessageBox&) = delete;

    int Show(const std::string& caption, const std::string& text, unsigned int style) override
    {
        const std::string named =
            "tessarine: " + (text.find(m_path) != std::string::npos ? text : m_path + ": " + text);
        if (m_previous)
            return m_previous->Show(caption, named, style);
        std::fprintf(stderr, "%s\n", EscapeControls(named).c_str());
        return SafeMessageBoxAnswer(style);
    }

private:
    std::string m_path;
    IMessageBoxHandler* m_previous;
};

}  // namespace

int LoadConfiguration(CTessarineDoc& doc, const std::string& path)
{
    FileNamingMessageBox naming(path);
    return OpenDocumentFile(doc, path) == OpenOutcome::opened ? kExitOk : kExitLoadFailed;
}

int SaveConfiguration(CTessarineDoc& doc, const std::string& path)
{
    return SaveDocumentFile(doc, path) ? kExitOk : kExitSaveFailed;
}

std::optional<DWORD> StoredFormatVersion(const std::string& path)
{
    FileOpenResult file = OpenRegularFileForReading(path);
    if (file.error)
        return std::nullopt;
    unsigned char header[8];
    std::size_t got = 0;
    while (got < sizeof header) {
        const ssize_t n = ::read(file.fd.Get(), header + got, sizeof header - got);
        if (n <= 0)
            return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<DWORD>(header[4] | (header[5] << 8) | (header[6] << 16)) |
           (static_cast<DWORD>(header[7]) << 24);
}

}  // namespace cli
