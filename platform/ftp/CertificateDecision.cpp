#include "platform/ftp/CertificateDecision.h"

#include <algorithm>

namespace ftp {

namespace {

std::string RefusalWithoutQuestion(const CertificateQuestion& q)
{
    const std::string what = q.changed ? "has changed, and the new one is not trusted" : "is not trusted";
    return "The certificate of the FTP server " + q.server + " " + what + " (" + q.reason +
           "). Its SHA-256 fingerprint is " + q.fingerprint +
           ". Nothing was asked (--yes, or no terminal): to accept it, give --trust-fingerprint " + q.fingerprint +
           " or trust it once in an upload that asks.";
}

}  // namespace

CertificateDecision DecideCertificate(const std::string& server, const CertificateReport& report,
                                      const std::optional<std::string>& pinned, const CertificatePolicy& policy,
                                      ICertificateQuestions* questions)
{
    if (report.verified)
        return CertificateDecision{true, std::nullopt, ""};
    const std::optional<std::string> pin = pinned ? ParseFingerprint(*pinned) : std::nullopt;
    const bool known = !report.fingerprint.empty();
    if (known && pin == report.fingerprint)
        return CertificateDecision{true, std::nullopt, ""};
    if (known && std::find(policy.trusted.begin(), policy.trusted.end(), report.fingerprint) != policy.trusted.end())
        return CertificateDecision{true, std::nullopt, ""};
    const CertificateQuestion question{server, report.reason, report.fingerprint, pinned.has_value()};
    if (!policy.mayAsk || !questions || !known)
        return CertificateDecision{false, std::nullopt, known ? RefusalWithoutQuestion(question) : kCertificateNotAccepted};
    if (!questions->TrustCertificate(question))
        return CertificateDecision{false, std::nullopt, kCertificateNotAccepted};
    return CertificateDecision{true, report.fingerprint, ""};
}

std::string CertificateQuestionText(const CertificateQuestion& q)
{
    const std::string head = q.changed
                                 ? "The certificate of the FTP server " + q.server +
                                       " has changed since it was trusted, and the new one is not trusted:"
                                 : "The certificate of the FTP server " + q.server + " is not trusted:";
    return head + "\n" + q.reason + "\n\nSHA-256 fingerprint:\n" + q.fingerprint +
           "\n\nDo you want to trust this certificate for this server?";
}

}  // namespace ftp
