#include "platform/ftp/FtpFileFind.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpSession.h"

CFtpFileFind::CFtpFileFind(CFtpConnection* connection, std::uintptr_t) : m_connection(connection)
{
}

CFtpFileFind::~CFtpFileFind() = default;

bool CFtpFileFind::FindFile(const std::string& name, std::uint32_t)
{
    Close();
    if (!m_connection)
        return false;
    auto found = m_connection->m_session->Find(name);
    if (!found)
        return false;
    SetResults(std::move(*found));
    return HasResults();
}

bool CFtpFileFind::FindNextFile()
{
    return StepNext();
}
