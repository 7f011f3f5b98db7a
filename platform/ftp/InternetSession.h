#pragma once
// The internet session: holds the options every connection it makes uses
// (time-outs, connect retries and back-off) and opens FTP connections.
// Synchronous and single-threaded: every call blocks until done, each wait
// bounded by the options below.

#include "platform/ftp/FtpConstants.h"
#include "platform/ftp/SessionOptions.h"

#include <cstdint>
#include <functional>
#include <string>

class CFtpConnection;

class CInternetSession {
public:
    // agent empty or null: the application name "Tessarine". Only the
    // preconfigured access type exists (no proxy); the proxy arguments and
    // flags are accepted and ignored. Never fails.
    explicit CInternetSession(const char* agent = nullptr, std::uintptr_t context = 1,
                              std::uint32_t accessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              const char* proxyName = nullptr, const char* proxyBypass = nullptr,
                              std::uint32_t flags = 0);
    virtual ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Sets one of the INTERNET_OPTION_* values (milliseconds, or a count for
    // the retries). Applies to connections opened afterwards. False for an
    // unknown option or a buffer that is not 4 bytes.
    bool SetOption(std::uint32_t option, std::uint32_t value, std::uint32_t flags = 0);
    bool SetOption(std::uint32_t option, const void* buffer, std::uint32_t length, std::uint32_t flags = 0);
    // The current value of an option; false for an unknown one.
    bool QueryOption(std::uint32_t option, std::uint32_t& value) const;

    // Connects and logs in. server is a host name or address, optionally
    // with a port: "host:port", "[v6-address]:port" ("host" alone or a bare
    // IPv6 address uses port, 0 meaning 21), optionally with a scheme:
    // ftpes:// (explicit TLS), ftps:// (implicit TLS, port 990), ftp://. Every address of the name is
    // tried in turn. An empty user logs in as "anonymous". passive: data
    // connections are opened by the client (EPSV/PASV) instead of the server
    // (EPRT/PORT, the default). Returns a new connection the caller owns and
    // deletes. Raises CInternetException when the connection or the login
    // fails: for a refused login the text is the server's reply as it came,
    // otherwise it says what happened and to which host and port.
    CFtpConnection* GetFtpConnection(const std::string& server, const std::string& userName = {},
                                     const std::string& password = {}, INTERNET_PORT port = 0,
                                     bool passive = false);

    // Whether connections opened afterwards may send read-only commands
    // ahead, several in one write (on by default); off: one at a time.
    void SetPipelining(bool on) { m_options.pipelining = on; }
    bool Pipelining() const { return m_options.pipelining; }

    // Decides, for connections opened afterwards, on a TLS certificate that
    // did not verify (see SessionOptions::certificateCheck).
    void SetCertificateCheck(
        std::function<ftp::Status(const std::string& server, const ftp::CertificateReport& report)> check)
    {
        m_options.certificateCheck = std::move(check);
    }

    // Nothing to release (connections are owned by their callers); kept for
    // the callers' symmetry.
    void Close();

    // Receives one line per command sent ("> CWD www", the password as
    // "> PASS ****") and per reply ("< 250 OK"), for connections opened
    // afterwards. Empty: no tracing.
    void SetTrace(std::function<void(const std::string&)> sink);

    const std::string& GetAgent() const { return m_agent; }
    std::uintptr_t GetContext() const { return m_context; }

private:
    std::string m_agent;
    std::uintptr_t m_context;
    ftp::SessionOptions m_options;
    std::function<void(const std::string&)> m_trace;
};
