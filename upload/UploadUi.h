#pragma once
// How the upload run reaches whoever started it: the window, the command-line
// tool or a test installs an IUploadUi; the run (CTessarineDoc::OnUpload)
// asks it for its progress sink and lets it pump waiting messages. Nothing
// installed: a quiet sink that keeps only the continue flag, a pump that does
// nothing, the designed options.

#include "upload/UploadProgress.h"

#include <memory>
#include <string>
#include <vector>

namespace ftp {
class ICertificateQuestions;
}

struct UploadOptions {
    // Connect, walk the folders and run the unchanged test, but create, write,
    // rename and delete nothing on the servers.
    bool dryRun = false;
    // Passive data connections, on top of the program's own setting.
    bool passive = false;
    // One FTP command at a time, whatever the program's own setting.
    bool noPipelining = false;
    // TLS certificates that do not verify: fingerprints given to trust
    // (--trust-fingerprint), whether to ask, and who asks (none: never
    // asked, such a certificate is an error naming its fingerprint unless
    // pinned or given). Yes pins it in the registry store.
    std::vector<std::string> trustedFingerprints;
    bool mayAskAboutCertificates = true;
    ftp::ICertificateQuestions* certificateQuestions = nullptr;
};

class IUploadUi {
public:
    virtual ~IUploadUi() = default;
    // The progress sink of one run, created before anything else and
    // destroyed when the run ends (the window's dialog disables the main
    // window meanwhile and enables it again when it goes).
    virtual std::unique_ptr<IUploadProgress> CreateProgress() = 0;
    // Lets waiting messages through after sleeping milliseconds (0: only
    // yield). Returns 1 when the application's quit message was seen (it is
    // posted again, and the run stops), else 0.
    virtual int PumpWaitingMessages(unsigned int milliseconds) = 0;
    virtual UploadOptions Options() const { return {}; }
};

// A sink that shows nothing and keeps the continue flag; the base of sinks
// that show only part of the run.
class CQuietUploadProgress : public IUploadProgress {
public:
    void SetServerName(const std::string&) override {}
    void SetFileName(const std::string&) override {}
    void SetDestination(const std::string&) override {}
    void SetFileSize(std::int64_t) override {}
    void SetBytesSent(std::int64_t) override {}
    void SetFileOutcome(UploadOutcome) override {}
    bool IsContinuing() const override { return m_bContinue; }
    void ClearContinue() override { m_bContinue = false; }

private:
    bool m_bContinue = true;
};

// Installs ui (nullptr: the default) and returns the one it replaces. The
// caller keeps ownership and keeps it alive while runs may start.
IUploadUi* SetUploadUi(IUploadUi* ui);
IUploadUi& CurrentUploadUi();
