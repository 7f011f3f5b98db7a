// The certificate decision and the fingerprint's written form.

#include "platform/ftp/CertificateDecision.h"

#include <gtest/gtest.h>

namespace {

using ftp::CertificateDecision;
using ftp::CertificatePolicy;
using ftp::CertificateQuestion;
using ftp::CertificateReport;

const std::string kA = "3A:0F:" + std::string("00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:") +
                       "01:23:45:67:89:AB:CD:EF:10:32:54:76:98:BA";
const std::string kB = "B0:0F:" + std::string("00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:") +
                       "01:23:45:67:89:AB:CD:EF:10:32:54:76:98:BA";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class ScriptedQuestions : public ftp::ICertificateQuestions {
public:
    explicit ScriptedQuestions(bool answer) : m_answer(answer) {}
    bool TrustCertificate(const CertificateQuestion& question) override
    {
        asked.push_back(question);
        return m_answer;
    }
    std::vector<CertificateQuestion> asked;

private:
    bool m_answer;
};

TEST(Fingerprint, WrittenAndReadInOneForm)
{
    ftp::Sha256 digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<unsigned char>(i * 8 + 10);
    const std::string written = ftp::FormatFingerprint(digest);
    EXPECT_EQ(written.substr(0, 12), "0A:12:1A:22:");
    EXPECT_EQ(written.size(), 95u);
    EXPECT_EQ(ftp::ParseFingerprint(written), written);
    EXPECT_EQ(ftp::ParseFingerprint(Lower(written)), written);
    EXPECT_EQ(ftp::ParseFingerprint("  " + Lower(kA) + "\t"), kA);
    for (const std::string& bad : {std::string(), kA.substr(3), kA + ":00", kA.substr(0, 94) + "G",
                                   std::string(kA).replace(2, 1, "-"), std::string(kA).erase(2, 1) + "0",
                                   "SHA256:" + kA.substr(7)})
        EXPECT_FALSE(ftp::ParseFingerprint(bad)) << bad;
}

TEST(CertificateDecision, EveryWayToAcceptOrRefuse)
{
    const CertificateReport verified{true, "", kA};
    const CertificateReport selfSigned{false, "self-signed certificate", kA};
    struct Case {
        const char* name;
        CertificateReport report;
        std::optional<std::string> pinned;
        CertificatePolicy policy;
        std::optional<bool> answer;  // the question's answer; none: no question seam
        bool accepted;
        std::optional<std::string> pin;
        int asked;
        bool changed;   // as the question said
        std::string error;  // a part of the refusal text
    };
    const Case cases[] = {
        {"verified", verified, std::nullopt, {}, false, true, std::nullopt, 0, false, ""},
        {"verified, another pin", verified, kB, {false, {}}, std::nullopt, true, std::nullopt, 0, false, ""},
        {"pinned", selfSigned, kA, {}, false, true, std::nullopt, 0, false, ""},
        {"pinned in lower case", selfSigned, Lower(kA), {false, {}}, std::nullopt, true, std::nullopt, 0, false, ""},
        {"trusted on the command line", selfSigned, std::nullopt, {false, {kA}}, std::nullopt, true, std::nullopt, 0,
         false, ""},
        {"trusted over another pin", selfSigned, kB, {false, {kB, kA}}, std::nullopt, true, std::nullopt, 0, false,
         ""},
        {"asked, Yes", selfSigned, std::nullopt, {}, true, true, kA, 1, false, ""},
        {"asked, No", selfSigned, std::nullopt, {}, false, false, std::nullopt, 1, false,
         "The server's certificate was not accepted."},
        {"changed, Yes", selfSigned, kB, {}, true, true, kA, 1, true, ""},
        {"changed, No", selfSigned, kB, {true, {kB}}, false, false, std::nullopt, 1, true,
         "The server's certificate was not accepted."},
        {"a pin that is no fingerprint", selfSigned, "garbage", {}, true, true, kA, 1, true, ""},
        {"--yes", selfSigned, std::nullopt, {false, {}}, true, false, std::nullopt, 0, false,
         "ftp.example.org:21 is not trusted (self-signed certificate). Its SHA-256 fingerprint is " + kA},
        {"--yes, changed", selfSigned, kB, {false, {kB}}, true, false, std::nullopt, 0, false,
         "has changed, and the new one is not trusted"},
        {"--yes names the flag", selfSigned, std::nullopt, {false, {}}, std::nullopt, false, std::nullopt, 0, false,
         "give --trust-fingerprint " + kA},
        {"no seam to ask", selfSigned, std::nullopt, {}, std::nullopt, false, std::nullopt, 0, false,
         "Its SHA-256 fingerprint is " + kA},
        {"no certificate", CertificateReport{false, "the server sent no certificate", ""}, std::nullopt, {}, true,
         false, std::nullopt, 0, false, "The server's certificate was not accepted."},
    };
    for (const Case& c : cases) {
        std::optional<ScriptedQuestions> questions;
        if (c.answer)
            questions.emplace(*c.answer);
        const CertificateDecision d = ftp::DecideCertificate("ftp.example.org:21", c.report, c.pinned, c.policy,
                                                             questions ? &*questions : nullptr);
        EXPECT_EQ(d.accepted, c.accepted) << c.name;
        EXPECT_EQ(d.pin, c.pin) << c.name;
        EXPECT_EQ(d.errorText.empty(), c.accepted) << c.name;
        EXPECT_NE(d.errorText.find(c.error), std::string::npos) << c.name << ": " << d.errorText;
        const std::size_t asked = questions ? questions->asked.size() : 0;
        ASSERT_EQ(asked, static_cast<std::size_t>(c.asked)) << c.name;
        if (asked) {
            const CertificateQuestion& q = questions->asked.front();
            EXPECT_EQ(q.changed, c.changed) << c.name;
            EXPECT_EQ(q.server, "ftp.example.org:21");
            EXPECT_EQ(q.fingerprint, kA);
            EXPECT_EQ(q.reason, "self-signed certificate");
        }
    }
}

TEST(CertificateDecision, TheQuestionNamesServerReasonAndFingerprint)
{
    CertificateQuestion q{"ftp.example.org:21", "certificate has expired", kA, false};
    EXPECT_EQ(ftp::CertificateQuestionText(q),
              "The certificate of the FTP server ftp.example.org:21 is not trusted:\n"
              "certificate has expired\n\nSHA-256 fingerprint:\n" + kA +
              "\n\nDo you want to trust this certificate for this server?");
    q.changed = true;
    EXPECT_EQ(ftp::CertificateQuestionText(q).rfind("The certificate of the FTP server ftp.example.org:21 has "
                                                     "changed since it was trusted, and the new one is not trusted:\n",
                                                     0),
              0u);
}

}  // namespace
