#pragma once
// One file on one server, once its remote folder is the current folder: the
// unchanged test, and the sending under the temporary name with the rename
// that publishes it. The remote file object is owned here and closed on
// every path, also after a failure.

#include "upload/UploadNames.h"
#include "upload/UploadProgress.h"

#include <cstdint>
#include <memory>
#include <string>

class CInternetFile;
class CLocalFileReader;
class CUploadConnection;
class CUploadRunControl;
struct FileEntry;

// The local file's state as read just before sending: the upload record's
// 32-bit time and size, and the whole size for the progress bar.
struct LocalFileState {
    std::int32_t time = 0;
    std::uint32_t size = 0;
    std::int64_t fullSize = 0;
};

class CFileTransfer {
public:
    CFileTransfer(CUploadConnection& connection, CUploadRunControl& control, FileEntry& entry,
                  const UploadNames& names, const LocalFileState& local, bool lastFile);
    ~CFileTransfer();
    CFileTransfer(const CFileTransfer&) = delete;
    CFileTransfer& operator=(const CFileTransfer&) = delete;

    // The five tests against the upload record, in order, the remote lookup
    // only when the local time and size match.
    bool IsUnchanged();
    // Sends reader's file and renames it into place; updates the record on
    // success. Errors are handled here (asked, or shown for the last file).
    UploadOutcome Send(CLocalFileReader& reader);

private:
    enum class Step { Done, Error };
    UploadOutcome SendGuarded(CLocalFileReader& reader);
    Step WriteBlocks(CLocalFileReader& reader);
    bool RenameIntoPlace();
    bool RenameOverExisting();
    void RecordSent();
    std::string RollBackNote() const;
    UploadOutcome FileErrorHandler(const std::string& errorText);
    void CloseRemoteQuietly();

    CUploadConnection& m_connection;
    CUploadRunControl& m_control;
    FileEntry& m_entry;
    const UploadNames& m_names;
    LocalFileState m_local;
    bool m_lastFile;
    std::unique_ptr<CInternetFile> m_remote;
    std::string m_readError;
    bool m_rollBackFailed = false;  // the old copy stayed under the aside name
};
