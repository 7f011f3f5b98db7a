#include "platform/ftp/Upload.h"

#include "platform/ftp/FtpSession.h"

namespace ftp {

namespace {

Error ReplyError(const Reply& reply)
{
    return Error{ERROR_INTERNET_EXTENDED_ERROR, reply.Text()};
}

}  // namespace

Upload::Upload(std::shared_ptr<FtpSession> session, DataChannel data, bool ascii)
    : m_session(std::move(session)), m_data(std::move(data)), m_ascii(ascii)
{
    m_buffer.reserve(kBufferBytes + kBufferBytes / 8);
}

Upload::~Upload()
{
    if (!m_closed && !m_failure)
        static_cast<void>(Close());
    if (!m_closed && !m_failure)
        m_session->AbandonTransfer(Error{ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The remote file was not closed."});
}

Status Upload::Fail(Error error)
{
    m_data.Close();
    m_failure = error;
    m_session->AbandonTransfer(error);
    return error;
}

Status Upload::Write(const char* data, std::size_t size)
{
    if (m_failure)
        return *m_failure;
    if (m_closed)
        return Error{ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The remote file is already closed."};
    m_written += size;
    if (!m_ascii && m_buffer.empty() && size >= kBufferBytes)
        return SendToServer(data, size);
    if (m_ascii)
        m_encoder.Encode(std::string_view(data, size), m_buffer);
    else
        m_buffer.append(data, size);
    if (m_buffer.size() >= kBufferBytes)
        return Flush();
    return {};
}

Status Upload::Flush()
{
    const Status sent = SendToServer(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return sent;
}

// A server that gives up on a file (disk full, refused) may say so on the
// control connection while the data connection still takes bytes.
Status Upload::CheckEarlyReply()
{
    if (m_finalReply)
        return {};
    Result<std::optional<Reply>> early = m_session->EarlyTransferReply();
    if (!early)
        return Fail(early.error());
    if (!*early)
        return {};
    if ((*early)->Class() != 2)
        return Fail(ReplyError(**early));
    m_finalReply = std::move(**early);
    return {};
}

Status Upload::SendToServer(const char* data, std::size_t size)
{
    if (const Status early = CheckEarlyReply(); !early)
        return early;
    const Status sent = m_data.Send(data, size, m_session->DataSendTimeout());
    if (sent)
        return {};
    if (sent.error().code == ERROR_INTERNET_TIMEOUT)
        return Fail(m_session->TransferStalled(sent.error().text));
    // The server closed the data connection: its reply says why.
    m_data.Close();
    Result<Reply> reply = m_finalReply ? Result<Reply>(*m_finalReply) : m_session->TransferReply();
    if (reply && reply->Class() != 2)
        return Fail(ReplyError(*reply));
    if (!reply)
        return Fail(reply.error());
    return Fail(Error{sent.error().code, "The data connection to " + m_session->ServerName() +
                                             " was closed during the transfer (" + sent.error().text + ")."});
}

Status Upload::Close()
{
    if (m_failure)
        return *m_failure;
    if (m_closed)
        return {};
    if (!m_buffer.empty())
        if (const Status flushed = Flush(); !flushed)
            return flushed;
    m_data.Close(m_session->DataCloseWait());
    const Status ended = m_session->EndTransfer(m_finalReply ? Result<Reply>(*m_finalReply) : m_session->TransferReply());
    if (!ended)
        return Fail(ended.error());
    m_closed = true;
    return {};
}

}  // namespace ftp
