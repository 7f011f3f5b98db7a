#pragma once
// TLS for the test servers: a certificate made by the test with
// `openssl req`, vsftpd and pyftpdlib speaking FTP over TLS with it, and a
// small TLS peer (tls_peer.py) that misbehaves on purpose.
//
//   test::TestCertificate cert;                       // CN and SAN localhost, 127.0.0.1
//   test::VsftpdTlsServer vs(cert, test::TlsMode::Explicit);
//   vs.Url()                                          // "ftpes://127.0.0.1:port"
//   test::PyFtpdTlsServer py(cert);                   // explicit only
//   cert.Fingerprint()                                // openssl's SHA-256, "AB:CD:..."
//
// vsftpd demands TLS for the login and every data connection and that each
// data connection resume the control connection's session
// (require_ssl_reuse=YES); it asks for a client certificate but needs none.

#include "tests/servers/TestServers.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

class TestCertificate {
public:
    // A fresh self-signed key and certificate for commonName, valid for the
    // names given as subjectAltName entries ("DNS:localhost", "IP:127.0.0.1").
    explicit TestCertificate(const std::string& commonName = "localhost",
                             const std::vector<std::string>& altNames = {"DNS:localhost", "IP:127.0.0.1"});

    std::string CertPath() const { return m_dir.file("cert.pem"); }
    std::string KeyPath() const { return m_dir.file("key.pem"); }
    // Key and certificate in one file (vsftpd's rsa_cert_file takes both).
    std::string CombinedPath() const { return m_dir.file("combined.pem"); }
    // The SHA-256 fingerprint as openssl prints it: upper-case pairs, colons.
    std::string Fingerprint() const { return m_fingerprint; }

private:
    TempDir m_dir{"tessarine-cert"};
    std::string m_fingerprint;
};

enum class TlsMode { Explicit, Implicit };

// Like VsftpdServer (anonymous login, writable "pub", every command
// logged; needs root), with TLS demanded.
class VsftpdTlsServer : public FtpServer {
public:
    // extraConfig: lines appended to the configuration (later lines win),
    // for example a passive address or "log_ftp_protocol=NO" for timing.
    VsftpdTlsServer(const TestCertificate& certificate, TlsMode mode, std::string extraConfig = {});
    // "ftpes://127.0.0.1:port" or "ftps://127.0.0.1:port".
    std::string Url() const;
    std::vector<std::string> Commands() const override;

private:
    bool TryStart(const TestCertificate& certificate, std::uint16_t port);

    TlsMode m_mode;
    std::string m_extraConfig;
    std::filesystem::path m_log;
    std::unique_ptr<ServerProcess> m_process;
};

class PyFtpdTlsServer : public PyFtpdServer {
public:
    explicit PyFtpdTlsServer(const TestCertificate& certificate, PyFtpdOptions options = {});
    std::string Url() const { return "ftpes://" + Address(); }
};

// The script tls_peer.py on a free port of 127.0.0.1, for one behaviour
// (see the script); stopped when the object goes.
class TlsPeer {
public:
    // maxVersion: "" or "TLSv1_2" (to keep to TLS 1.2).
    TlsPeer(const TestCertificate& certificate, const std::string& behaviour, const std::string& maxVersion = "");
    std::uint16_t Port() const { return m_port; }
    // What the peer logged ("resumed 1", "client certificate none", ...).
    std::vector<std::string> Log() const;

private:
    TempDir m_dir{"tessarine-tlspeer"};
    std::uint16_t m_port = 0;
    std::unique_ptr<ServerProcess> m_process;
};

}  // namespace test
