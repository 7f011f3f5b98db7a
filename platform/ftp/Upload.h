#pragma once
// One STOR in progress: buffers what is written (256 KiB), converts line
// ends for ASCII, and at Close waits for the server's final reply. A
// failure is remembered: every later Write and Close gives the same error.
// While it is open the session takes no other command.

#include "platform/ftp/AsciiEncoder.h"
#include "platform/ftp/DataChannel.h"
#include "platform/ftp/Result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace ftp {

class FtpSession;

class Upload {
public:
    static constexpr std::size_t kBufferBytes = 256 * 1024;

    Upload(std::shared_ptr<FtpSession> session, DataChannel data, bool ascii);
    // Ends the transfer (as Close) if still open, ignoring the outcome.
    ~Upload();
    Upload(const Upload&) = delete;
    Upload& operator=(const Upload&) = delete;

    Status Write(const char* data, std::size_t size);
    // Sends the rest, closes the data connection, waits for the final
    // reply: success only for a 2xx. A second Close after success does
    // nothing.
    Status Close();
    std::uint64_t BytesWritten() const { return m_written; }

private:
    Status Flush();
    Status SendToServer(const char* data, std::size_t size);
    Status CheckEarlyReply();
    Status Fail(Error error);

    std::shared_ptr<FtpSession> m_session;
    DataChannel m_data;
    bool m_ascii;
    AsciiEncoder m_encoder;
    std::string m_buffer;
    std::uint64_t m_written = 0;
    std::optional<Error> m_failure;
    std::optional<Reply> m_finalReply;  // came before Close asked for it
    bool m_closed = false;
};

}  // namespace ftp
