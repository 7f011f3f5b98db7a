// libFuzzer target for the configuration reader: any bytes, loaded the way
// Open loads a file. Must never crash, leak, hang or allocate beyond what
// the input can hold. A file that loads must save and load back to the same
// configuration, and carry no ENTRY_MARKED.
//
// Run it in an empty folder: files of versions below 6 make the reader look
// at the local files they name.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "platform/framework/MessageBox.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

class SilentMessageBox : public IMessageBoxHandler {
public:
    int Show(const std::string&, const std::string&, unsigned int style) override
    {
        return SafeMessageBoxAnswer(style);
    }
};

bool SameConfiguration(const CTessarineDoc& a, const CTessarineDoc& b)
{
    return a.m_servers == b.m_servers && a.m_files == b.m_files && a.m_strLastWebFolder == b.m_strLastWebFolder &&
           a.m_nLastFilterIndex == b.m_nLastFilterIndex && a.m_strLastBrowseFolder == b.m_strLastBrowseFolder;
}

bool AnyMarked(const CTessarineDoc& doc)
{
    for (const ServerEntry& server : doc.m_servers)
        if (server.m_wFlags != 0)
            return true;
    for (const FileEntry& file : doc.m_files)
        if (file.m_wFlags & ENTRY_MARKED)
            return true;
    return false;
}

void CheckRoundTrip(CTessarineDoc& doc)
{
    CArchive ar;
    doc.Serialize(ar);
    CTessarineDoc again;
    if (!LoadDocumentFromBytes(again, ar.GetStoredBytes()) || !SameConfiguration(doc, again))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentMessageBox silent;
    SetMessageBoxHandler(&silent);
    CTessarineDoc doc;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (LoadDocumentFromBytes(doc, bytes)) {
        if (AnyMarked(doc))
            std::abort();
        CheckRoundTrip(doc);
    } else if (!doc.m_servers.empty() || !doc.m_files.empty() || doc.IsModified()) {
        std::abort();  // a failed load leaves a new, empty document
    }
    return 0;
}
