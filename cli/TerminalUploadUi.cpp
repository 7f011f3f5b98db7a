#include "cli/TerminalUploadUi.h"
#include "cli/Utf8.h"

#include <csignal>
#include <unistd.h>

namespace cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
constexpr int kBarWidth = 30;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

bool IsProblem(UploadOutcome outcome)
{
    return outcome == UploadOutcome::Skipped || outcome == UploadOutcome::Failed;
}

}  // namespace

std::string FormatFileReport(const FileReport& report)
{
    // Names come from the configuration and the server: one line per file,
    // whatever bytes they hold.
    const auto line = [](const std::string& text) { return EscapeControls(text, LineBreaks::escape); };
    return line(report.server) + ": " + line(report.localPath) + " -> " + line(report.destination) + ", " +
           std::to_string(report.bytes) + " bytes, " + UploadOutcomeName(report.outcome);
}

void InstallUploadInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // no SA_RESTART: a waiting question read returns
    sigaction(SIGINT, &action, nullptr);
}

bool UploadInterrupted()
{
    return g_interrupted != 0;
}

CTerminalUploadProgress::CTerminalUploadProgress(std::FILE* out, std::FILE* barOut,
                                                 std::vector<FileReport>& problems,
                                                 CTerminalUploadProgress*& registration)
    : m_out(out), m_barOut(barOut), m_problems(problems), m_registration(registration)
{
    m_registration = this;
}

CTerminalUploadProgress::~CTerminalUploadProgress()
{
    ClearBar();
    m_registration = nullptr;
}

void CTerminalUploadProgress::SetFileName(const std::string& localPath)
{
    m_report.localPath = localPath;
    m_size = m_sent = 0;
}

void CTerminalUploadProgress::SetFileSize(std::int64_t bytes)
{
    m_size = bytes;
    m_bar.SetFileSize(bytes);
    DrawBar(true);
}

void CTerminalUploadProgress::SetBytesSent(std::int64_t bytes)
{
    m_sent = bytes;
    m_bar.SetBytesSent(bytes);
    DrawBar(false);
}

void CTerminalUploadProgress::SetFileOutcome(UploadOutcome outcome)
{
    m_report.outcome = outcome;
    m_report.bytes = outcome == UploadOutcome::Sent || outcome == UploadOutcome::Stopped ? m_sent : m_size;
    if (IsProblem(outcome))
        m_problems.push_back(m_report);
    ClearBar();
    std::fprintf(m_out, "%s\n", FormatFileReport(m_report).c_str());
    std::fflush(m_out);
}

void CTerminalUploadProgress::DrawBar(bool force)
{
    if (!m_barOut)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = now;
    const int filled = m_bar.Permille() * kBarWidth / 1000;
    std::fprintf(m_barOut, "\r\033[K[%s%s] %3d%% %s", std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, '.').c_str(), m_bar.Permille() / 10,
                 EscapeControls(m_report.destination, LineBreaks::escape).c_str());
    std::fflush(m_barOut);
    m_barShown = true;
}

void CTerminalUploadProgress::ClearBar()
{
    if (!m_barShown)
        return;
    std::fprintf(m_barOut, "\r\033[K");
    std::fflush(m_barOut);
    m_barShown = false;
}

CTerminalUploadUi::CTerminalUploadUi(const UploadOptions& options)
    : m_options(options), m_previous(SetUploadUi(this))
{
}

CTerminalUploadUi::~CTerminalUploadUi()
{
    SetUploadUi(m_previous);
}

std::unique_ptr<IUploadProgress> CTerminalUploadUi::CreateProgress()
{
    std::FILE* barOut = ::isatty(STDERR_FILENO) ? stderr : nullptr;
    return std::make_unique<CTerminalUploadProgress>(stdout, barOut, m_problems, m_current);
}

void CTerminalUploadUi::ClearBar()
{
    if (m_current)
        m_current->ClearBar();
}

}  // namespace cli
