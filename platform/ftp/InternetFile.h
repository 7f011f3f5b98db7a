#pragma once
// A remote file being written (STOR over a data connection), made by
// CFtpConnection::OpenFile and owned by its caller. Writes are buffered
// (256 KiB) before they go to the data socket. Blocks in Write and Close,
// bounded by the session's data and control time-outs.

#include <cstdint>
#include <memory>

class CFtpConnection;

namespace ftp {
class Upload;
}

class CInternetFile {
public:
    // Ends the transfer if Close was not called, without raising (the
    // server decides whether to keep what arrived).
    virtual ~CInternetFile();
    CInternetFile(const CInternetFile&) = delete;
    CInternetFile& operator=(const CInternetFile&) = delete;

    // Sends count bytes (after ASCII conversion for an ASCII file). Raises
    // CInternetException when the data connection fails or times out.
    void Write(const void* buffer, unsigned int count);

    // Sends what is buffered, closes the data connection and waits for the
    // server's final reply. Returns only when the server reports the file
    // stored; otherwise raises CInternetException with the server's reply or
    // what went wrong. Closing twice does nothing. Ending a transfer early is
    // the same call: the server keeps what it received.
    void Close();

    // Bytes handed to Write so far (before conversion).
    std::uint64_t GetBytesWritten() const;

private:
    friend class CFtpConnection;
    explicit CInternetFile(std::unique_ptr<ftp::Upload> upload);

    std::unique_ptr<ftp::Upload> m_upload;
};
