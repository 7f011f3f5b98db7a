#pragma once
// The tool's side of an upload run: a progress sink that prints one line per
// file to standard output and, when standard error is a terminal, a progress
// bar there (redrawn at most five times a second); a message pump that does
// nothing; the run's options. Ctrl+C (SIGINT) only clears the continue flag,
// so the run stops the designed way; a second Ctrl+C ends the tool at once.

#include "upload/ProgressBar.h"
#include "upload/UploadUi.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// One file line: where it went and what became of it.
struct FileReport {
    std::string server;
    std::string localPath;
    std::string destination;
    std::int64_t bytes = 0;
    UploadOutcome outcome = UploadOutcome::Skipped;
};

// "server: local -> destination, N bytes, outcome", always one line: control
// characters in the names, line feed and tab included, escaped as \x0a.
std::string FormatFileReport(const FileReport& report);

// Installs the SIGINT handler (without restarting interrupted reads, so a
// question waiting for an answer is answered No).
void InstallUploadInterruptHandler();
bool UploadInterrupted();

class CTerminalUploadProgress : public IUploadProgress {
public:
    // Lines go to out; the bar to barOut when it is not null. registration
    // points at this sink while it lives and is reset when it goes.
    CTerminalUploadProgress(std::FILE* out, std::FILE* barOut, std::vector<FileReport>& problems,
                            CTerminalUploadProgress*& registration);
    ~CTerminalUploadProgress() override;

    void SetServerName(const std::string& serverName) override { m_report.server = serverName; }
    void SetFileName(const std::string& localPath) override;
    void SetDestination(const std::string& remotePath) override { m_report.destination = remotePath; }
    void SetFileSize(std::int64_t bytes) override;
    void SetBytesSent(std::int64_t bytes) override;
    void SetFileOutcome(UploadOutcome outcome) override;
    bool IsContinuing() const override { return m_bContinue && !UploadInterrupted(); }
    void ClearContinue() override { m_bContinue = false; }

    // Erases the bar's line, so that other output starts at its left.
    void ClearBar();

private:
    void DrawBar(bool force);

    std::FILE* m_out;
    std::FILE* m_barOut;
    std::vector<FileReport>& m_problems;
    CTerminalUploadProgress*& m_registration;
    FileReport m_report;
    std::int64_t m_size = 0;
    std::int64_t m_sent = 0;
    CUploadProgressBar m_bar;
    bool m_barShown = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
    bool m_bContinue = true;
};

class CTerminalUploadUi : public IUploadUi {
public:
    explicit CTerminalUploadUi(const UploadOptions& options);
    ~CTerminalUploadUi() override;

    std::unique_ptr<IUploadProgress> CreateProgress() override;
    int PumpWaitingMessages(unsigned int) override { return 0; }
    UploadOptions Options() const override { return m_options; }

    // Files skipped or failed, in the order met.
    const std::vector<FileReport>& Problems() const { return m_problems; }
    // Erases the bar of the running sink, if any.
    void ClearBar();

private:
    UploadOptions m_options;
    std::vector<FileReport> m_problems;
    CTerminalUploadProgress* m_current = nullptr;
    IUploadUi* m_previous;
};

}  // namespace cli
