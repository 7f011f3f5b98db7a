#pragma once
// The tool's side of an upload run. The run's progress sink forwards to a
// reporter that lives for the whole command: it prints the per-file lines
// (which ones depends on the verbosity), or with --json one JSON object per
// line for each file; keeps a progress line on standard error when that is a
// terminal (redrawn at most five times a second, as wide as the terminal);
// counts outcomes per server for the summary; and notes the text of each
// problem the run shows, for the JSON lines. The message pump does nothing.
// Ctrl+C (SIGINT) only clears the continue flag, so the run stops the
// designed way; a second Ctrl+C ends the tool at once.
//
// The reporter relies on the run's order of calls: per server SetServerName,
// then for every file of the list in order SetFileName first and
// SetFileOutcome last.

#include "cli/ProgressLine.h"
#include "cli/UploadSummary.h"
#include "upload/UploadUi.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CTessarineDoc;

namespace cli {

// One file line: where it went and what became of it.
struct FileReport {
    std::string server;
    std::string localPath;
    std::string destination;
    std::int64_t bytes = 0;
    UploadOutcome outcome = UploadOutcome::Skipped;
    std::string error;  // the problem's text as the run showed it, without its question
};

// "server: local -> destination, N bytes, outcome", always one line: control
// characters in the names, line feed and tab included, escaped as \x0a.
std::string FormatFileReport(const FileReport& report);

// report as one line of JSON: server, localPath, destination, bytes,
// outcome, and error when there is one.
std::string FileReportJson(const FileReport& report);

// Installs the SIGINT handler (without restarting interrupted reads, so a
// question waiting for an answer is answered No).
void InstallUploadInterruptHandler();
bool UploadInterrupted();

enum class Verbosity {
    quiet,    // per-file lines only for problems (skipped, error, stopped)
    normal,   // and for files sent (or that a dry run would send)
    verbose,  // and for unchanged files
};

// What the run is expected to send, from the file list before it starts:
// per file its size when the list shows it "New file" or "Updated file",
// else 0 (the unchanged test may still send it; the totals follow then).
struct UploadPlan {
    std::vector<std::int64_t> plannedBytes;
    int serverCount = 0;
};
UploadPlan PlanUpload(const CTessarineDoc& doc);

struct ServerReport {
    std::string server;
    OutcomeCounts counts;
    std::string error;  // a problem of the server itself (connection, login)
};

class CUploadReporter {
public:
    // Lines (and JSON lines) go to lines; the progress line to bar when it is
    // not null.
    CUploadReporter(Verbosity verbosity, bool json, bool dryRun, UploadPlan plan, std::FILE* lines,
                    std::FILE* bar);

    void ServerStarted(const std::string& server);
    void FileStarted(const std::string& localPath);
    void SetDestination(const std::string& destination) { m_report.destination = destination; }
    void SetFileSize(std::int64_t bytes);
    void SetBytesSent(std::int64_t bytes);
    void FileEnded(UploadOutcome outcome);
    // A message the run shows (the bar makes room for it first). False for
    // a notice that --quiet leaves out ("Upload complete.").
    bool MessageShown(const std::string& text, unsigned int style);
    // Erases the progress line, so that other output starts at its left.
    void ClearBar();
    // The run is over: the last server's time and the run's are taken.
    void RunEnded();

    // Files skipped or failed, in the order met.
    const std::vector<FileReport>& Problems() const { return m_problems; }
    const std::vector<ServerReport>& Servers() const { return m_servers; }
    // Every server's counts, over the time since the reporter was made.
    OutcomeCounts Total() const;
    // One line per server and one for the run.
    std::string SummaryText() const;
    // The final JSON line: the totals, each server, and the exit status.
    std::string SummaryJson(int exitStatus) const;
    // What the progress line shows now (the rate, the name and the counts
    // as well as the totals, which follow the plan and what the run found).
    ProgressFigures Figures() const;

private:
    double Seconds() const;
    void CloseServerTime();
    void DrawBar();
    void EndCutShortFile();

    Verbosity m_verbosity;
    bool m_json;
    bool m_dryRun;
    UploadPlan m_plan;
    std::FILE* m_lines;
    std::FILE* m_bar;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    double m_serverStart = 0;
    double m_runSeconds = -1;

    std::vector<ServerReport> m_servers;
    std::vector<FileReport> m_problems;
    FileReport m_report;
    bool m_inFile = false;
    int m_fileInServer = 0;  // files of the current server started so far
    int m_visits = 0;        // files started in the run
    std::int64_t m_size = 0;
    std::int64_t m_sent = 0;
    std::int64_t m_current = 0;    // what the current file is expected to add to the total
    std::int64_t m_remaining = 0;  // planned bytes of the files not yet started
    std::int64_t m_done = 0;       // bytes written for the files ended
    RateMeter m_rate;
    bool m_barShown = false;
    double m_lastDraw = -1;
};

// The run's sink: forwards to the reporter and keeps the continue flag.
class CTerminalUploadProgress : public IUploadProgress {
public:
    explicit CTerminalUploadProgress(CUploadReporter& reporter) : m_reporter(reporter) {}
    ~CTerminalUploadProgress() override { m_reporter.ClearBar(); }

    void SetServerName(const std::string& serverName) override { m_reporter.ServerStarted(serverName); }
    void SetFileName(const std::string& localPath) override { m_reporter.FileStarted(localPath); }
    void SetDestination(const std::string& remotePath) override { m_reporter.SetDestination(remotePath); }
    void SetFileSize(std::int64_t bytes) override { m_reporter.SetFileSize(bytes); }
    void SetBytesSent(std::int64_t bytes) override { m_reporter.SetBytesSent(bytes); }
    void SetFileOutcome(UploadOutcome outcome) override { m_reporter.FileEnded(outcome); }
    void ServerOffersTls(const std::string& serverName) override;
    bool IsContinuing() const override { return m_bContinue && !UploadInterrupted(); }
    void ClearContinue() override { m_bContinue = false; }

private:
    CUploadReporter& m_reporter;
    bool m_bContinue = true;
};

class CTerminalUploadUi : public IUploadUi {
public:
    CTerminalUploadUi(const UploadOptions& options, CUploadReporter& reporter);
    ~CTerminalUploadUi() override;

    std::unique_ptr<IUploadProgress> CreateProgress() override;
    int PumpWaitingMessages(unsigned int) override { return 0; }
    UploadOptions Options() const override { return m_options; }

private:
    UploadOptions m_options;
    CUploadReporter& m_reporter;
    IUploadUi* m_previous;
};

// The columns of the terminal on stream (its window size, else $COLUMNS,
// else 80).
std::size_t TerminalColumns(std::FILE* stream);

}  // namespace cli
