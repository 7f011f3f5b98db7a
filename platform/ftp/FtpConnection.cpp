#include "platform/ftp/FtpConnection.h"

#include "platform/ftp/FtpSession.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetFile.h"
#include "platform/ftp/Upload.h"

CFtpConnection::CFtpConnection(std::shared_ptr<ftp::FtpSession> session) : m_session(std::move(session))
{
}

CFtpConnection::~CFtpConnection()
{
    Close();
}

bool CFtpConnection::GetCurrentDirectory(std::string& directory)
{
    return m_session->PrintDirectory(directory);
}

bool CFtpConnection::SetCurrentDirectory(const std::string& directory)
{
    // A bare "CWD" is read by servers as "go to /" or "go home": files
    // would land in a folder nobody chose.
    if (directory.empty()) {
        m_session->Remember("No folder was given; nothing was sent to the server.");
        return false;
    }
    return m_session->Simple("CWD", directory);
}

bool CFtpConnection::CreateDirectory(const std::string& directory)
{
    return m_session->Simple("MKD", directory);
}

bool CFtpConnection::RemoveDirectory(const std::string& directory)
{
    return m_session->Simple("RMD", directory);
}

bool CFtpConnection::Rename(const std::string& existingName, const std::string& newName)
{
    return m_session->Rename(existingName, newName);
}

bool CFtpConnection::RenameAndLookUp(const std::string& existingName, const std::string& newName,
                                     bool transferFollows)
{
    return m_session->RenameAndLookUp(existingName, newName, transferFollows);
}

bool CFtpConnection::Remove(const std::string& fileName)
{
    return m_session->Simple("DELE", fileName);
}

namespace {

std::vector<ftp::AheadStep> SessionSteps(const std::vector<CFtpConnection::AheadStep>& steps)
{
    std::vector<ftp::AheadStep> ahead;
    for (const CFtpConnection::AheadStep& step : steps)
        ahead.push_back(ftp::AheadStep{step.folder ? ftp::AheadStep::Kind::Folder : ftp::AheadStep::Kind::LookUp,
                                       step.argument});
    return ahead;
}

}  // namespace

std::size_t CFtpConnection::SendAhead(const std::vector<AheadStep>& steps)
{
    return m_session->SendAhead(SessionSteps(steps));
}

void CFtpConnection::SendAheadWithNextRename(const std::vector<AheadStep>& steps)
{
    m_session->SendAheadWithNextRename(SessionSteps(steps));
}

bool CFtpConnection::HasCommandsAhead() const
{
    return m_session->HasCommandsAhead();
}

void CFtpConnection::DropLookAhead()
{
    // A failure here kills the connection; the next call reports it.
    static_cast<void>(m_session->DropAhead());
}

CInternetFile* CFtpConnection::OpenFile(const std::string& fileName, std::uint32_t access, std::uint32_t flags,
                                        std::uintptr_t)
{
    if (access != GENERIC_WRITE)
        throw CInternetException(ERROR_INVALID_PARAMETER, "Remote files can only be opened for writing.");
    auto upload = m_session->Store(fileName, (flags & FTP_TRANSFER_TYPE_ASCII) != 0);
    if (!upload)
        throw CInternetException(upload.error().code, upload.error().text);
    return new CInternetFile(std::move(*upload));
}

void CFtpConnection::Close()
{
    m_session->Quit();
}

std::string CFtpConnection::GetLastReplyText() const
{
    return m_session->LastText();
}

bool CFtpConnection::IsPassive() const
{
    return m_session->Passive();
}

std::string CFtpConnection::GetServerName() const
{
    return m_session->ServerName();
}

bool CFtpConnection::OffersTls() const
{
    return m_session->OffersTls();
}
