#include "platform/ftp/InternetSession.h"

#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/FtpSession.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/ServerScheme.h"

#include <cstring>

namespace {

ftp::Millis* TimeoutField(ftp::SessionOptions& options, std::uint32_t option)
{
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: return &options.connectTimeout;
    case INTERNET_OPTION_CONNECT_BACKOFF: return &options.connectBackoff;
    case INTERNET_OPTION_CONTROL_SEND_TIMEOUT: return &options.controlSendTimeout;
    case INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT: return &options.controlReceiveTimeout;
    case INTERNET_OPTION_DATA_SEND_TIMEOUT: return &options.dataSendTimeout;
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: return &options.dataReceiveTimeout;
    default: return nullptr;
    }
}

}  // namespace

CInternetSession::CInternetSession(const char* agent, std::uintptr_t context, std::uint32_t, const char*,
                                   const char*, std::uint32_t)
    : m_agent(agent && *agent ? agent : "Tessarine"), m_context(context)
{
}

CInternetSession::~CInternetSession() = default;

bool CInternetSession::SetOption(std::uint32_t option, std::uint32_t value, std::uint32_t)
{
    if (option == INTERNET_OPTION_CONNECT_RETRIES) {
        m_options.connectRetries = value;
        return true;
    }
    ftp::Millis* field = TimeoutField(m_options, option);
    if (!field)
        return false;
    *field = ftp::Millis(value);
    return true;
}

bool CInternetSession::SetOption(std::uint32_t option, const void* buffer, std::uint32_t length, std::uint32_t flags)
{
    std::uint32_t value = 0;
    if (!buffer || length != sizeof value)
        return false;
    std::memcpy(&value, buffer, sizeof value);
    return SetOption(option, value, flags);
}

bool CInternetSession::QueryOption(std::uint32_t option, std::uint32_t& value) const
{
    if (option == INTERNET_OPTION_CONNECT_RETRIES) {
        value = m_options.connectRetries;
        return true;
    }
    ftp::Millis* field = TimeoutField(const_cast<ftp::SessionOptions&>(m_options), option);
    if (!field)
        return false;
    value = static_cast<std::uint32_t>(field->count());
    return true;
}

CFtpConnection* CInternetSession::GetFtpConnection(const std::string& server, const std::string& userName,
                                                   const std::string& password, INTERNET_PORT port, bool passive)
{
    const ftp::Result<ftp::ServerName> name = ftp::ParseServerName(server, port);
    if (!name)
        throw CInternetException(name.error().code, name.error().text);
    auto session = ftp::FtpSession::Open(*name, ftp::LoginData{userName, password}, passive, m_options, m_trace);
    if (!session)
        throw CInternetException(session.error().code, session.error().text);
    return new CFtpConnection(std::move(*session));
}

void CInternetSession::Close()
{
}

void CInternetSession::SetTrace(std::function<void(const std::string&)> sink)
{
    m_trace = std::move(sink);
}
