#include "platform/ftp/TlsTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <cstring>

namespace ftp {

namespace {

using Clock = std::chrono::steady_clock;

// OpenSSL writes to the socket with write(), which raises SIGPIPE on a
// connection the peer has reset. The signal is held back while OpenSSL
// writes and a pending one is taken, so it never reaches the process.
class SigpipeHeld {
public:
    SigpipeHeld()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~SigpipeHeld()
    {
        if (!m_wasPending) {
            const timespec none{0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &none) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
};

bool IsNumericAddress(const std::string& host)
{
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

Error Failure(const std::string& text)
{
    return Error{ERROR_INTERNET_SECURE_FAILURE, text};
}

Error ClosedError()
{
    return Error{ERROR_INTERNET_CONNECTION_ABORTED, "the connection is closed"};
}

Error Timeout(Millis timeout)
{
    return Error{ERROR_INTERNET_TIMEOUT, "timed out after " + DescribeTimeout(timeout)};
}

// The reason of OpenSSL's last queued error ("wrong version number").
std::string QueuedReason()
{
    const unsigned long code = ERR_peek_last_error();
    const char* reason = code ? ERR_reason_error_string(code) : nullptr;
    return reason ? reason : "unknown TLS error";
}

int NoClientCertificate(SSL*, X509**, EVP_PKEY**)
{
    return 0;
}

}  // namespace

Result<std::shared_ptr<TlsContext>> TlsContext::Create(const std::string& host)
{
    std::shared_ptr<TlsContext> context(new TlsContext());
    context->m_host = host;
    context->m_hostIsAddress = IsNumericAddress(host);
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    if (!ctx)
        return Failure("TLS is not available: " + QueuedReason());
    context->m_ctx = ctx;
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_max_proto_version(ctx, TLS1_3_VERSION);
    SSL_CTX_set_options(ctx, SSL_OP_NO_RENEGOTIATION | SSL_OP_NO_COMPRESSION);
    // Verification runs but never stops the handshake: the caller decides
    // about a certificate that does not verify.
    SSL_CTX_set_verify(ctx, SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_default_verify_paths(ctx);
    SSL_CTX_set_client_cert_cb(ctx, NoClientCertificate);
    SSL_CTX_set_session_cache_mode(ctx, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(ctx, &TlsContext::NewSession);
    return context;
}

TlsContext::~TlsContext()
{
    if (m_controlSession)
        SSL_SESSION_free(m_controlSession);
    if (m_ctx)
        SSL_CTX_free(m_ctx);
}

// Keeps the newest session of the control connection (TLS 1.3 servers send
// tickets after the handshake, often two); data connections' are dropped.
int TlsContext::NewSession(SSL* ssl, SSL_SESSION* session)
{
    auto* transport = static_cast<TlsTransport*>(SSL_get_app_data(ssl));
    if (!transport || transport->m_role != TlsTransport::Role::Control)
        return 0;
    TlsContext& context = *transport->m_context;
    if (context.m_controlSession)
        SSL_SESSION_free(context.m_controlSession);
    context.m_controlSession = session;
    return 1;  // the reference is ours now
}

TlsTransport::TlsTransport(std::shared_ptr<TlsContext> context, Fd fd, Role role)
    : m_context(std::move(context)), m_fd(std::move(fd)), m_role(role)
{
    // Every wait below is a poll with a time-out: the socket must not block.
    const int flags = fcntl(m_fd.Get(), F_GETFL);
    if (flags >= 0 && !(flags & O_NONBLOCK))
        fcntl(m_fd.Get(), F_SETFL, flags | O_NONBLOCK);
    m_ssl = SSL_new(m_context->m_ctx);
}

TlsTransport::~TlsTransport()
{
    if (m_ssl)
        SSL_free(m_ssl);
}

Result<std::unique_ptr<TlsTransport>> TlsTransport::Handshake(std::shared_ptr<TlsContext> context, Fd fd, Role role,
                                                               Millis timeout)
{
    std::unique_ptr<TlsTransport> transport(new TlsTransport(std::move(context), std::move(fd), role));
    SSL* ssl = transport->m_ssl;
    const TlsContext& ctx = *transport->m_context;
    if (!ssl || SSL_set_fd(ssl, transport->m_fd.Get()) != 1)
        return Failure("the TLS handshake failed: " + QueuedReason());
    SSL_set_app_data(ssl, transport.get());
    if (ctx.m_hostIsAddress) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), ctx.m_host.c_str());
    } else {
        SSL_set_tlsext_host_name(ssl, ctx.m_host.c_str());
        SSL_set1_host(ssl, ctx.m_host.c_str());
    }
    if (role == Role::Data && ctx.m_controlSession) {
        // A copy for each: with TLS 1.3, OpenSSL marked the session a data
        // connection had resumed as no longer resumable, so the next data
        // connection did a full handshake (which vsftpd refuses).
        SSL_SESSION* copy = SSL_SESSION_dup(ctx.m_controlSession);
        if (copy) {
            SSL_set_session(ssl, copy);
            SSL_SESSION_free(copy);  // the connection holds its own reference
        }
    }
    if (const Status done = transport->RunHandshake(timeout); !done)
        return done.error();
    transport->ReadCertificate();
    if (role == Role::Control)
        transport->m_context->m_controlFingerprint = transport->m_certificate.fingerprint;
    else if (const Status same = transport->CheckDataCertificate(); !same)
        return same.error();
    return transport;
}

TlsTransport::Step TlsTransport::Classify(int rc, const char* what, Error& error)
{
    const int code = SSL_get_error(m_ssl, rc);
    switch (code) {
    case SSL_ERROR_NONE:
        return Step::Done;
    case SSL_ERROR_WANT_READ:
        m_wantEvents = POLLIN;
        return Step::Retry;
    case SSL_ERROR_WANT_WRITE:
        m_wantEvents = POLLOUT;
        return Step::Retry;
    case SSL_ERROR_ZERO_RETURN:
        m_ended = true;
        return Step::End;
    case SSL_ERROR_SYSCALL:
        if (ERR_peek_last_error() == 0) {
            if (errno == 0 || errno == EPIPE || errno == ECONNRESET) {
                m_truncated = errno == 0;
                error = Failure(std::string(what) + ": the server closed the connection without ending TLS");
            } else {
                error = Error{ERROR_INTERNET_CONNECTION_ABORTED, std::string(what) + ": " + std::strerror(errno)};
            }
            return Step::Failed;
        }
        break;
    default:
        break;
    }
    if (ERR_GET_REASON(ERR_peek_last_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        m_truncated = true;
        error = Failure(std::string(what) + ": the server closed the connection without ending TLS");
    } else {
        error = Failure(std::string(what) + ": " + QueuedReason());
    }
    ERR_clear_error();
    return Step::Failed;
}

// Waits for what the last SSL call wanted, up to deadline.
Status TlsTransport::WaitStep(Clock::time_point deadline, Millis timeout)
{
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    if (left.count() <= 0)
        return Timeout(timeout);
    switch (WaitFor(m_fd.Get(), m_wantEvents, left)) {
    case WaitResult::Ready:
        return {};
    case WaitResult::TimedOut:
        return Timeout(timeout);
    case WaitResult::Failed:
        break;
    }
    return Error{ERROR_INTERNET_CONNECTION_ABORTED, std::strerror(errno)};
}

Status TlsTransport::RunHandshake(Millis timeout)
{
    const auto deadline = Clock::now() + timeout;
    SigpipeHeld held;
    for (;;) {
        ERR_clear_error();
        errno = 0;
        const int rc = SSL_connect(m_ssl);
        if (rc == 1)
            return {};
        Error error;
        const Step step = Classify(rc, "the TLS handshake failed", error);
        if (step == Step::End)
            return Failure("the TLS handshake failed: the server ended TLS");
        if (step == Step::Failed)
            return error;
        if (const Status waited = WaitStep(deadline, timeout); !waited) {
            Error late = waited.error();
            late.text = (late.code == ERROR_INTERNET_TIMEOUT ? "the TLS handshake " : "the TLS handshake failed: ") +
                        late.text;
            return late;
        }
    }
}

void TlsTransport::ReadCertificate()
{
    X509* leaf = SSL_get0_peer_certificate(m_ssl);
    if (!leaf) {
        m_certificate = CertificateReport{false, "the server sent no certificate", ""};
        return;
    }
    Sha256 digest{};
    unsigned int length = 0;
    X509_digest(leaf, EVP_sha256(), digest.data(), &length);
    m_certificate.fingerprint = FormatFingerprint(digest);
    const long result = SSL_get_verify_result(m_ssl);
    m_certificate.verified = result == X509_V_OK;
    if (!m_certificate.verified)
        m_certificate.reason = X509_verify_cert_error_string(result);
}

// A resumed session carries the control connection's certificate; a full
// handshake must show the same one, or the data could go to another peer.
Status TlsTransport::CheckDataCertificate()
{
    if (Resumed())
        return {};
    if (m_certificate.fingerprint.empty() || m_certificate.fingerprint != m_context->m_controlFingerprint)
        return Failure("the data connection's certificate is not the control connection's");
    return {};
}

bool TlsTransport::Resumed() const
{
    return SSL_session_reused(m_ssl) == 1;
}

std::string TlsTransport::Version() const
{
    return SSL_get_version(m_ssl);
}

Status TlsTransport::Send(const char* data, std::size_t size, Millis timeout)
{
    if (!m_fd.Valid() || m_ended)
        return ClosedError();
    SigpipeHeld held;
    while (size > 0) {
        ERR_clear_error();
        errno = 0;
        std::size_t written = 0;
        const int rc = SSL_write_ex(m_ssl, data, size, &written);
        if (rc == 1) {
            data += written;
            size -= written;
            continue;
        }
        Error error;
        const Step step = Classify(rc, "TLS send failed", error);
        if (step == Step::End)
            return ClosedError();
        if (step == Step::Failed)
            return error;
        // Each wait for the peer to take more has the whole time-out.
        if (const Status waited = WaitStep(Clock::now() + timeout, timeout); !waited)
            return waited;
    }
    return {};
}

Result<std::size_t> TlsTransport::Receive(char* buffer, std::size_t size, Millis timeout)
{
    if (!m_fd.Valid())
        return ClosedError();
    if (m_ended)
        return std::size_t{0};
    const auto deadline = Clock::now() + timeout;
    SigpipeHeld held;  // reading may answer a key update
    for (;;) {
        ERR_clear_error();
        errno = 0;
        std::size_t got = 0;
        const int rc = SSL_read_ex(m_ssl, buffer, size, &got);
        if (rc == 1)
            return got;
        Error error;
        const Step step = Classify(rc, "TLS receive failed", error);
        if (step == Step::End)
            return std::size_t{0};
        if (step == Step::Failed)
            return error;
        // A record without data (a ticket) leaves nothing to return: wait
        // again, for the rest of the time-out only.
        if (const Status waited = WaitStep(deadline, timeout); !waited)
            return waited.error();
    }
}

std::size_t TlsTransport::Buffered() const
{
    return m_ssl ? static_cast<std::size_t>(SSL_pending(m_ssl)) : 0;
}

bool TlsTransport::ReceiveReady()
{
    if (!m_fd.Valid())
        return false;
    if (Buffered() > 0 || m_ended || m_truncated)
        return true;
    pollfd p{m_fd.Get(), POLLIN, 0};
    if (poll(&p, 1, 0) <= 0)
        return false;
    ERR_clear_error();
    errno = 0;
    char byte;
    std::size_t got = 0;
    SigpipeHeld held;
    const int rc = SSL_peek_ex(m_ssl, &byte, 1, &got);
    if (rc == 1)
        return true;
    Error ignored;
    return Classify(rc, "", ignored) != Step::Retry;
}

Status TlsTransport::Shutdown(Millis timeout)
{
    if (!m_fd.Valid())
        return {};
    const auto deadline = Clock::now() + timeout;
    SigpipeHeld held;
    Status result;
    // Whatever the server sent (a session ticket) is read first: closing on
    // unread bytes would reset the connection and could cost the file's tail.
    char sink[4096];
    Step step = Step::Done;
    while (step == Step::Done) {
        ERR_clear_error();
        errno = 0;
        std::size_t got = 0;
        const int rc = SSL_read_ex(m_ssl, sink, sizeof sink, &got);
        Error error;
        step = rc == 1 ? Step::Done : Classify(rc, "ending TLS failed", error);
        if (step == Step::Failed)
            result = error;
    }
    if (result.ok())
        result = SendCloseNotify(deadline, timeout);
    if (result.ok() && !m_ended)
        result = AwaitPeerEnd(deadline, timeout);
    m_fd.Reset();
    return result;
}

Status TlsTransport::SendCloseNotify(Clock::time_point deadline, Millis timeout)
{
    for (;;) {
        ERR_clear_error();
        errno = 0;
        const int rc = SSL_shutdown(m_ssl);
        if (rc == 1)
            m_ended = true;  // the server's had come already
        if (rc >= 0)
            return {};
        Error error;
        const Step step = Classify(rc, "ending TLS failed", error);
        if (step == Step::Failed)
            return error;
        if (step != Step::Retry)
            return {};
        if (const Status waited = WaitStep(deadline, timeout); !waited)
            return Error{waited.error().code, "ending TLS failed (" + waited.error().text + ")"};
    }
}

// Reads (and drops) until the server's close-notify: SSL_shutdown itself
// fails on data arriving before it.
Status TlsTransport::AwaitPeerEnd(Clock::time_point deadline, Millis timeout)
{
    char sink[4096];
    for (;;) {
        ERR_clear_error();
        errno = 0;
        std::size_t got = 0;
        const int rc = SSL_read_ex(m_ssl, sink, sizeof sink, &got);
        if (rc == 1)
            continue;
        Error error;
        const Step step = Classify(rc, "ending TLS failed", error);
        if (step == Step::End)
            return {};
        if (step == Step::Failed)
            return error;
        if (const Status waited = WaitStep(deadline, timeout); !waited)
            return Error{waited.error().code, "the server did not end TLS (" + waited.error().text + ")"};
    }
}

}  // namespace ftp
