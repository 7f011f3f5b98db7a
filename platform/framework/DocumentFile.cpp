#include "platform/framework/DocumentFile.h"

#include "platform/framework/Archive.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/RegularFile.h"


namespace {

constexpr const char* kUnexpectedFormat = "Unexpected file format.";
constexpr const char* kFailedToOpen = "Failed to open document.";
constexpr const char* kFailedToSave = "Failed to save document.";

// Runs Serialize in loading mode; the message of a failure, or nullptr.
// A refused load has told the user already: empty message.
const char* SerializeLoading(CDocument& doc, std::string_view bytes)
{
    try {
        CArchive ar(bytes);
        doc.Serialize(ar);
        return ar.IsLoadRefused() ? "" : nullptr;
    } catch (const CArchiveException&) {
        return kUnexpectedFormat;
    } catch (const std::exception&) {
        return kFailedToOpen;
    }
}

}  // namespace

bool LoadDocumentFromBytes(CDocument& doc, std::string_view bytes)
{
    doc.DeleteContents();
    doc.SetModifiedFlag(true);
    const char* failure = bytes.empty() ? nullptr : SerializeLoading(doc, bytes);
    if (failure) {
        if (*failure)
            AfxMessageBox(failure, MB_ICONEXCLAMATION);
        doc.OnNewDocument();
        return false;
    }
    doc.SetModifiedFlag(false);
    return true;
}

OpenOutcome OpenDocumentFile(CDocument& doc, const std::string& path)
{
    FileReadResult file = ReadRegularFile(path);
    if (file.error) {
        AfxMessageBox(file.error->GetErrorMessage(), MB_ICONEXCLAMATION);
        return OpenOutcome::notOpened;
    }
    if (!LoadDocumentFromBytes(doc, file.bytes))
        return OpenOutcome::loadFailed;
    doc.SetPathName(path);
    return OpenOutcome::opened;
}

bool SaveDocumentFile(CDocument& doc, const std::string& path)
{
    CArchive ar;
    try {
        doc.Serialize(ar);
    } catch (const std::exception&) {
        AfxMessageBox(kFailedToSave, MB_ICONEXCLAMATION);
        return false;
    }
    if (std::optional<CFileException> error = SaveFileBytes(path, ar.GetStoredBytes())) {
        AfxMessageBox(error->GetErrorMessage(), MB_ICONEXCLAMATION);
        return false;
    }
    doc.SetModifiedFlag(false);
    doc.SetPathName(path);
    return true;
}
