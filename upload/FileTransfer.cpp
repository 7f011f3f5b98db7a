#include "upload/FileTransfer.h"

#include "model/FileStatus.h"
#include "model/TessarineDoc.h"
#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "upload/ErrorText.h"
#include "upload/LocalFileReader.h"
#include "upload/UploadConnection.h"
#include "upload/UploadRunControl.h"

#include <new>

namespace {

const char* const kRenameQuestion =
    "Error renaming temporary upload file to the real name.\n\nDo you want to continue uploading files?";

}  // namespace

CFileTransfer::CFileTransfer(CUploadConnection& connection, CUploadRunControl& control, FileEntry& entry,
                             const UploadNames& names, const LocalFileState& local, bool lastFile)
    : m_connection(connection), m_control(control), m_entry(entry), m_names(names), m_local(local),
      m_lastFile(lastFile)
{
}

CFileTransfer::~CFileTransfer()
{
    CloseRemoteQuietly();
}

bool CFileTransfer::IsUnchanged()
{
    if (!MatchesLocalRecord(m_entry, LocalFileStatus{CTime(m_local.time), m_local.size}))
        return false;
    CTime remoteTime;
    DWORD remoteSize = 0;
    if (!CTessarineDoc::GetRemoteFileInfo(&m_connection.Ftp(), m_names.targetName, remoteTime, remoteSize))
        return false;
    return MatchesRemoteRecord(m_entry, remoteTime, remoteSize);
}

UploadOutcome CFileTransfer::Send(CLocalFileReader& reader)
{
    try {
        return SendGuarded(reader);
    } catch (const CInternetException& error) {
        return FileErrorHandler(error.ErrorText());
    } catch (const std::bad_alloc&) {
        return FileErrorHandler("Out of memory.");
    }
}

UploadOutcome CFileTransfer::SendGuarded(CLocalFileReader& reader)
{
    const std::uint32_t type = (m_entry.m_wFlags & FILE_ASCII) ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY;
    m_remote.reset(m_connection.Ftp().OpenFile(m_names.temporaryName, GENERIC_WRITE, type, 1));
    if (!m_remote)
        return UploadOutcome::Failed;
    if (WriteBlocks(reader) == Step::Error)
        return FileErrorHandler(m_readError);
    m_remote->Close();
    m_remote.reset();
    if (!m_control.IsContinuing())
        return UploadOutcome::Stopped;
    if (!RenameIntoPlace()) {
        m_connection.ForgetFolder();
        m_control.AskToContinue(RollBackNote() + kRenameQuestion);
        return UploadOutcome::Skipped;
    }
    RecordSent();
    return UploadOutcome::Sent;
}

// The designed 1024-byte blocks: the pump and the Cancel check run between
// every two of them.
CFileTransfer::Step CFileTransfer::WriteBlocks(CLocalFileReader& reader)
{
    IUploadProgress& progress = m_control.Progress();
    std::int64_t sent = 0;
    while (m_control.PumpAndContinue()) {
        const char* block = nullptr;
        const std::ptrdiff_t count = reader.ReadBlock(&block);
        if (count < 0) {
            m_readError = reader.ErrorText();
            return Step::Error;
        }
        if (count == 0)
            break;
        m_remote->Write(block, static_cast<unsigned int>(count));
        sent += count;
        progress.SetBytesSent(sent);
        if (!m_control.IsContinuing())
            break;
    }
    return Step::Done;
}

// Rename over the target. Servers that refuse to rename onto an existing
// name would otherwise make every later update of the file fail: then the
// old file is moved aside first, and put back when the new one cannot take
// its place, so the live file is never lost. Either way the target is looked
// up next, so that look-up goes out with the rename.
bool CFileTransfer::RenameIntoPlace()
{
    CFtpConnection& ftp = m_connection.Ftp();
    if (ftp.RenameAndLookUp(m_names.temporaryName, m_names.targetName, !m_lastFile))
        return true;
    CTime time;
    DWORD size = 0;
    if (!CTessarineDoc::GetRemoteFileInfo(&ftp, m_names.targetName, time, size))
        return false;
    return RenameOverExisting();
}

bool CFileTransfer::RenameOverExisting()
{
    CFtpConnection& ftp = m_connection.Ftp();
    if (!ftp.Rename(m_names.targetName, m_names.asideName))
        return false;
    if (ftp.Rename(m_names.temporaryName, m_names.targetName)) {
        ftp.Remove(m_names.asideName);
        return true;
    }
    if (!ftp.Rename(m_names.asideName, m_names.targetName))
        m_rollBackFailed = true;
    return false;
}

// Where the old copy is when it could not be renamed back: the user must
// know, since the live file is gone from its own name. Empty otherwise.
std::string CFileTransfer::RollBackNote() const
{
    if (!m_rollBackFailed)
        return {};
    return "The old copy of " + m_names.remotePath + " could not be given its name back; it is now " +
           m_names.asideName + " in the same folder.\n\n";
}

void CFileTransfer::RecordSent()
{
    m_entry.m_timeLocal = CTime(m_local.time);
    m_entry.m_dwLocalSize = m_local.size;
    CTime remoteTime;
    DWORD remoteSize = 0;
    if (CTessarineDoc::GetRemoteFileInfo(&m_connection.Ftp(), m_names.targetName, remoteTime, remoteSize)) {
        m_entry.m_timeRemote = remoteTime;
        m_entry.m_dwRemoteSize = remoteSize;
    }
}

// The error text is taken first, then the remote file is closed (without
// raising: its own failure would hide the first one) and the temporary name
// removed; only then is the user asked.
UploadOutcome CFileTransfer::FileErrorHandler(const std::string& errorText)
{
    const std::string text = CutErrorText(errorText);
    CloseRemoteQuietly();
    m_connection.ForgetFolder();
    m_connection.Ftp().Remove(m_names.temporaryName);
    if (m_lastFile)
        m_control.ShowErrorAndStop(text);
    else
        m_control.AskToContinue(text + "\n\nDo you want to continue uploading files?");
    return UploadOutcome::Failed;
}

void CFileTransfer::CloseRemoteQuietly()
{
    if (!m_remote)
        return;
    try {
        m_remote->Close();
    } catch (const CInternetException&) {
        // The transfer failed already; its first error is the one reported.
    }
    m_remote.reset();
}
