#pragma once
// Whether to go on with a server whose TLS certificate the transport has
// reported. Pure: the pin comes in, the pin to store goes out, and the
// question goes to a seam of its own (the window shows it as a warning
// message box with Yes and No; the tool asks on its terminal), which is not
// the Yes/No message seam that `--yes` answers: nothing answers it by itself.
//
//   verified by the system's trust store            accepted
//   the fingerprint pinned for this host:port       accepted
//   given with --trust-fingerprint                  accepted (nothing pinned)
//   no way to ask (--yes, no terminal)              refused, the text names the fingerprint
//   asked: Yes                                      accepted and pinned
//   asked: No                                       refused: "The server's certificate was not accepted."
//
// A different pin (or one that is no fingerprint) makes the question say
// that the certificate has changed.

#include "platform/ftp/TlsTransport.h"

#include <optional>
#include <string>
#include <vector>

namespace ftp {

struct CertificateQuestion {
    std::string server;       // "host:port"
    std::string reason;       // why it did not verify
    std::string fingerprint;  // FormatFingerprint's form
    bool changed = false;     // another certificate was trusted for this server
};

// The seam. Yes (true) trusts the certificate for this server.
class ICertificateQuestions {
public:
    virtual ~ICertificateQuestions() = default;
    virtual bool TrustCertificate(const CertificateQuestion& question) = 0;
};

struct CertificatePolicy {
    // False with --yes or without a terminal: never asked, never trusted by
    // itself.
    bool mayAsk = true;
    // From --trust-fingerprint, each in ParseFingerprint's form.
    std::vector<std::string> trusted;
};

struct CertificateDecision {
    bool accepted = false;
    std::optional<std::string> pin;  // to store for this server (a Yes)
    std::string errorText;           // when refused
};

constexpr const char* kCertificateNotAccepted = "The server's certificate was not accepted.";

// server: "host:port" (ServerAddress::Name()); pinned: what is stored for it.
// questions may be null when policy.mayAsk is false.
CertificateDecision DecideCertificate(const std::string& server, const CertificateReport& report,
                                      const std::optional<std::string>& pinned, const CertificatePolicy& policy,
                                      ICertificateQuestions* questions);

// The question as the window's message box and the terminal show it.
std::string CertificateQuestionText(const CertificateQuestion& question);

}  // namespace ftp
