#include "upload/UploadConnection.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/RemoteFolder.h"
#include "upload/UploadNames.h"

namespace {

const char* const kContinueFiles = "\n\nDo you want to continue uploading files?";

}  // namespace

CUploadConnection::CUploadConnection(std::unique_ptr<CFtpConnection> connection)
    : m_ftp(std::move(connection))
{
}

CUploadConnection::~CUploadConnection()
{
    Close();
}

void CUploadConnection::ReadRootFolder()
{
    if (!m_ftp->GetCurrentDirectory(m_rootFolder))
        m_rootFolder.clear();
}

void CUploadConnection::RemoveLastTemporary()
{
    if (m_ftp && !m_lastTemporary.empty())
        m_ftp->Remove(m_lastTemporary);
}

void CUploadConnection::Close()
{
    if (m_ftp)
        m_ftp->Close();
    m_ftp.reset();
    m_lastTemporary.clear();
    m_enteredFolder.reset();
}

CUploadConnection::FolderResult CUploadConnection::GoToFolder(const std::string& targetFolder,
                                                              CUploadRunControl& control, bool dryRun)
{
    if (m_enteredFolder && *m_enteredFolder == targetFolder)
        return FolderResult::Entered;
    m_enteredFolder.reset();
    const std::string combined = ftp::CombinedFolder(m_rootFolder, targetFolder);
    if (!targetFolder.empty() && !combined.empty() && m_ftp->SetCurrentDirectory(combined))
        return Entered(targetFolder);
    // The two steps are read-only, so they may travel together.
    if (!targetFolder.empty() && !m_rootFolder.empty()) {
        m_ftp->DropLookAhead();
        m_ftp->SendAhead({{true, m_rootFolder}, {true, targetFolder}});
    }
    if (!EnterRoot(control))
        return Skip();
    if (targetFolder.empty() || m_ftp->SetCurrentDirectory(targetFolder))
        return Entered(targetFolder);
    if (dryRun)
        return FolderResult::Missing;
    if (!CreateLevels(targetFolder, control))
        return Skip();
    return EnterAfterCreating(targetFolder, control);
}

bool CUploadConnection::EnterRoot(CUploadRunControl& control)
{
    if (m_ftp->SetCurrentDirectory(m_rootFolder))
        return true;
    control.AskToContinue(std::string("Error setting folder to the <root>.") + kContinueFiles);
    return false;
}

// Every level is tried in turn, whether its parent exists or not; a level
// that fails asks, and No ends the trying at once.
bool CUploadConnection::CreateLevels(const std::string& targetFolder, CUploadRunControl& control)
{
    bool allMade = true;
    for (const std::string& level : FolderLevels(targetFolder)) {
        if (MakeLevel(level))
            continue;
        allMade = false;
        if (!control.AskToContinue(level + "\nError creating folder." + kContinueFiles))
            return false;
    }
    return allMade;
}

// MKD; when the server refuses, the level may exist already (servers word
// that refusal differently, so the reply is not read): a level that can be
// entered is there. The probe goes back to the root folder at once, since
// the next level is made relative to it.
bool CUploadConnection::MakeLevel(const std::string& level)
{
    if (m_ftp->CreateDirectory(level))
        return true;
    if (!m_rootFolder.empty())
        m_ftp->SendAhead({{true, level}, {true, m_rootFolder}});
    return m_ftp->SetCurrentDirectory(level) && m_ftp->SetCurrentDirectory(m_rootFolder);
}

CUploadConnection::FolderResult CUploadConnection::EnterAfterCreating(const std::string& targetFolder,
                                                                      CUploadRunControl& control)
{
    if (m_ftp->SetCurrentDirectory(targetFolder))
        return Entered(targetFolder);
    control.AskToContinue(targetFolder + "\nError setting folder." + kContinueFiles);
    return Skip();
}

CUploadConnection::FolderResult CUploadConnection::Entered(const std::string& targetFolder)
{
    m_enteredFolder = targetFolder;
    return FolderResult::Entered;
}

CUploadConnection::FolderResult CUploadConnection::Skip()
{
    m_enteredFolder.reset();
    return FolderResult::Skip;
}
