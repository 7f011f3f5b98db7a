// The upload run over TLS against vsftpd (explicit TLS, its certificate
// self-signed): the certificate question, its pin, and the ways a run
// without questions accepts or refuses a certificate.

#include "tests/servers/TlsServers.h"
#include "tests/upload/UploadTestSupport.h"

#include "common/CertificatePins.h"
#include "platform/ftp/CertificateDecision.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

class ScriptedCertificateQuestions : public ftp::ICertificateQuestions {
public:
    std::deque<bool> answers;
    std::vector<ftp::CertificateQuestion> asked;

    bool TrustCertificate(const ftp::CertificateQuestion& question) override
    {
        asked.push_back(question);
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return yes;
    }
};

struct RunSeen {
    std::vector<std::string> texts;
    std::vector<ftp::CertificateQuestion> asked;
    bool arrived = false;
};

// One run of a one-file site to server, with the given policy and answers.
RunSeen UploadOnce(const test::VsftpdTlsServer& server, const ftp::CertificatePolicy& policy, std::deque<bool> answers,
               bool withQuestions)
{
    test::UploadFixture site;
    site.ui.options.passive = true;
    site.ui.options.mayAskAboutCertificates = policy.mayAsk;
    site.ui.options.trustedFingerprints = policy.trusted;
    ScriptedCertificateQuestions questions;
    questions.answers = std::move(answers);
    if (withQuestions)
        site.ui.options.certificateQuestions = &questions;
    ServerEntry entry;
    entry.m_strServerName = server.Url();
    entry.m_strUserName = server.User();
    entry.m_strBaseFolder = "pub/www";
    site.doc.m_servers.push_back(entry);
    site.AddFile("index.html", "<p>over TLS</p>", "");
    std::filesystem::remove(server.UploadRoot() / "www/index.html");
    site.Upload();
    return RunSeen{site.Texts(), questions.asked,
               std::filesystem::exists(server.UploadRoot() / "www/index.html")};
}

TEST(TlsUpload, TheCertificateQuestionItsPinAndRunsThatMayNotAsk)
{
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    test::TestCertificate certificate;
    test::VsftpdTlsServer server(certificate, test::TlsMode::Explicit);
    const std::string name = server.Address();
    const std::string fingerprint = certificate.Fingerprint();

    // --yes (no questions): an error naming the fingerprint, nothing sent.
    RunSeen run = UploadOnce(server, {false, {}}, {}, false);
    ASSERT_EQ(run.texts.size(), 1u);
    EXPECT_NE(run.texts[0].find(fingerprint), std::string::npos) << run.texts[0];
    EXPECT_FALSE(run.arrived);
    // --trust-fingerprint: accepted, nothing asked, nothing pinned.
    run = UploadOnce(server, {false, {fingerprint}}, {}, false);
    EXPECT_EQ(run.texts, std::vector<std::string>{test::kUploadComplete});
    EXPECT_TRUE(run.arrived);
    EXPECT_FALSE(LoadCertificatePin(name));
    // Asked, No: the connection ends with the designed text.
    run = UploadOnce(server, {}, {false}, true);
    EXPECT_EQ(run.texts, std::vector<std::string>{ftp::kCertificateNotAccepted});
    EXPECT_FALSE(run.arrived);
    // Asked, Yes: pinned; the next run asks nothing.
    run = UploadOnce(server, {}, {true}, true);
    ASSERT_EQ(run.asked.size(), 1u);
    EXPECT_EQ(run.asked[0].server, name);
    EXPECT_EQ(run.asked[0].fingerprint, fingerprint);
    EXPECT_FALSE(run.asked[0].changed);
    EXPECT_TRUE(run.arrived);
    EXPECT_EQ(LoadCertificatePin(name), fingerprint);
    run = UploadOnce(server, {}, {}, true);
    EXPECT_TRUE(run.asked.empty());
    EXPECT_EQ(run.texts, std::vector<std::string>{test::kUploadComplete});
    // Another certificate pinned for this server: asked again, as changed.
    ASSERT_TRUE(SaveCertificatePin(name, std::string(fingerprint.size(), 'A')));
    run = UploadOnce(server, {}, {true}, true);
    ASSERT_EQ(run.asked.size(), 1u);
    EXPECT_TRUE(run.asked[0].changed);
    EXPECT_EQ(LoadCertificatePin(name), fingerprint);
}

}  // namespace
