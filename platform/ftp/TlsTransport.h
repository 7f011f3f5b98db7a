#pragma once
// TLS (1.2 or 1.3, OpenSSL 3) over a connected socket, as the FTP client's
// side of every connection, control and data alike (also in active mode,
// where the client accepted the data connection).
//
// One TlsContext per control connection. Its handshake captures the TLS
// session (with TLS 1.3 the ticket arrives after the handshake, with the
// first bytes read: a new-session callback keeps it), and every data
// connection resumes from that session, never from a data connection's
// ticket, with the same SNI. A data connection that did a full handshake
// instead must show the control connection's certificate.
//
// The certificate is checked against the system's trust store (OpenSSL's
// default paths; SSL_CERT_FILE and SSL_CERT_DIR name others) and the host
// name as written, or the IP address. A certificate that does not verify
// does not fail the handshake: the transport reports it (Certificate()) and
// the caller decides. No client certificate is sent; renegotiation is off.

#include "platform/ftp/Fingerprint.h"
#include "platform/ftp/Transport.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct ssl_session_st SSL_SESSION;

// A TLS failure: the handshake, a record the peer sent, its certificate
// (beside the other ERROR_INTERNET_* codes, with the platform's number).
constexpr std::uint32_t ERROR_INTERNET_SECURE_FAILURE = 12175;

namespace ftp {

struct CertificateReport {
    bool verified = false;
    std::string reason;       // why it did not verify ("self-signed certificate"); empty when verified
    std::string fingerprint;  // FormatFingerprint of the leaf
};

class TlsContext {
public:
    // host: the server's name as written (or its IP address, which sends no
    // SNI and is checked against the certificate's IP addresses).
    static Result<std::shared_ptr<TlsContext>> Create(const std::string& host);
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    const std::string& Host() const { return m_host; }
    bool HostIsAddress() const { return m_hostIsAddress; }
    // Whether the control connection's session has been captured.
    bool HasControlSession() const { return m_controlSession != nullptr; }

private:
    friend class TlsTransport;
    TlsContext() = default;
    static int NewSession(SSL* ssl, SSL_SESSION* session);

    SSL_CTX* m_ctx = nullptr;
    std::string m_host;
    bool m_hostIsAddress = false;
    SSL_SESSION* m_controlSession = nullptr;  // owned
    std::string m_controlFingerprint;
};

class TlsTransport : public Transport {
public:
    enum class Role { Control, Data };

    // Runs the client's handshake on fd within timeout. Errors: "the TLS
    // handshake failed: <reason>" (ERROR_INTERNET_SECURE_FAILURE), a time-out
    // (ERROR_INTERNET_TIMEOUT), or for a data connection that neither resumed
    // the control session nor showed its certificate, "the data connection's
    // certificate is not the control connection's". Callers add the host.
    static Result<std::unique_ptr<TlsTransport>> Handshake(std::shared_ptr<TlsContext> context, Fd fd, Role role,
                                                           Millis timeout);
    ~TlsTransport() override;

    Status Send(const char* data, std::size_t size, Millis timeout) override;
    Result<std::size_t> Receive(char* buffer, std::size_t size, Millis timeout) override;
    std::size_t Buffered() const override;
    bool ReceiveReady() override;
    Status Shutdown(Millis timeout) override;
    bool TruncatedEnd() const override { return m_truncated; }
    int SocketFd() const override { return m_fd.Get(); }

    const CertificateReport& Certificate() const { return m_certificate; }
    // Whether this connection resumed the control connection's session.
    bool Resumed() const;
    // "TLSv1.3"
    std::string Version() const;

private:
    friend class TlsContext;
    TlsTransport(std::shared_ptr<TlsContext> context, Fd fd, Role role);
    Status RunHandshake(Millis timeout);
    Status CheckDataCertificate();
    void ReadCertificate();
    // One SSL call's outcome: wait and retry, end of stream, or failure.
    enum class Step { Done, Retry, End, Failed };
    Step Classify(int rc, const char* what, Error& error);
    Status WaitStep(std::chrono::steady_clock::time_point deadline, Millis timeout);
    Status SendCloseNotify(std::chrono::steady_clock::time_point deadline, Millis timeout);
    Status AwaitPeerEnd(std::chrono::steady_clock::time_point deadline, Millis timeout);

    std::shared_ptr<TlsContext> m_context;
    Fd m_fd;
    Role m_role;
    SSL* m_ssl = nullptr;
    CertificateReport m_certificate;
    bool m_truncated = false;
    bool m_ended = false;  // the peer's close-notify came
    short m_wantEvents = 0;
};

}  // namespace ftp
