#include "cli/TerminalUploadUi.h"

#include "cli/ExitCodes.h"
#include "cli/JsonWriter.h"
#include "cli/Utf8.h"
#include "model/FileStatus.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

constexpr double kRedrawSeconds = 0.2;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

bool IsProblem(UploadOutcome outcome)
{
    return outcome == UploadOutcome::Skipped || outcome == UploadOutcome::Failed;
}

bool IsShown(UploadOutcome outcome, Verbosity verbosity)
{
    switch (verbosity) {
    case Verbosity::verbose: return true;
    case Verbosity::normal: return outcome != UploadOutcome::Unchanged;
    case Verbosity::quiet: return IsProblem(outcome) || outcome == UploadOutcome::Stopped;
    }
    return true;
}

std::string Escaped(const std::string& text)
{
    return EscapeControls(text, LineBreaks::escape);
}

// A question is its problem, a blank line and what it asks: the problem
// alone is the file's error text.
std::string ProblemText(const std::string& text, unsigned int style)
{
    if ((style & MB_TYPEMASK) != MB_YESNO)
        return text;
    const std::size_t cut = text.rfind("\n\n");
    return cut == std::string::npos ? text : text.substr(0, cut);
}

void WriteCounts(JsonWriter& json, const OutcomeCounts& c)
{
    json.Member("sent", c.sent);
    json.Member("sentBytes", c.sentBytes);
    json.Member("unchanged", c.unchanged);
    json.Member("skipped", c.skipped);
    json.Member("errors", c.errors);
    json.Member("stopped", c.stopped);
    json.Member("wouldSend", c.wouldSend);
    json.Member("wouldSendBytes", c.wouldSendBytes);
    json.Member("elapsedMs", static_cast<std::int64_t>(c.seconds * 1000));
}

}  // namespace

std::string FormatFileReport(const FileReport& report)
{
    // Names come from the configuration and the server: one line per file,
    // whatever bytes they hold.
    return Escaped(report.server) + ": " + Escaped(report.localPath) + " -> " + Escaped(report.destination) + ", " +
           std::to_string(report.bytes) + " bytes, " + UploadOutcomeName(report.outcome);
}

std::string FileReportJson(const FileReport& report)
{
    JsonWriter json(JsonWriter::Layout::oneLine);
    json.BeginObject();
    json.Member("type", "file");
    json.Member("server", report.server);
    json.Member("localPath", report.localPath);
    json.Member("destination", report.destination);
    json.Member("bytes", report.bytes);
    json.Member("outcome", UploadOutcomeName(report.outcome));
    if (!report.error.empty())
        json.Member("error", report.error);
    json.EndObject();
    return json.Text();
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

UploadPlan PlanUpload(const CTessarineDoc& doc)
{
    UploadPlan plan;
    plan.serverCount = static_cast<int>(doc.m_servers.size());
    for (const FileEntry& file : doc.m_files) {
        const FileStatus status = GetFileStatus(file);
        struct stat st {};
        const bool toSend = status == FileStatus::newFile || status == FileStatus::updatedFile;
        plan.plannedBytes.push_back(toSend && ::stat(file.m_strFileName.c_str(), &st) == 0 ? st.st_size : 0);
    }
    return plan;
}

std::size_t TerminalColumns(std::FILE* stream)
{
    winsize size {};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS"); columns && std::atoi(columns) > 0)
        return static_cast<std::size_t>(std::atoi(columns));
    return 80;
}

CUploadReporter::CUploadReporter(Verbosity verbosity, bool json, bool dryRun, UploadPlan plan, std::FILE* lines,
                                 std::FILE* bar)
    : m_verbosity(verbosity), m_json(json), m_dryRun(dryRun), m_plan(std::move(plan)), m_lines(lines), m_bar(bar)
{
    for (std::int64_t bytes : m_plan.plannedBytes)
        m_remaining += bytes * m_plan.serverCount;
}

double CUploadReporter::Seconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

void CUploadReporter::CloseServerTime()
{
    if (m_servers.empty())
        return;
    // Files the visit did not reach (a refused login, a stop) are no longer to come.
    for (std::size_t j = static_cast<std::size_t>(m_fileInServer); j < m_plan.plannedBytes.size(); ++j)
        m_remaining -= m_plan.plannedBytes[j];
    m_fileInServer = static_cast<int>(m_plan.plannedBytes.size());
    const double now = Seconds();
    m_servers.back().counts.seconds = now - m_serverStart;
    m_serverStart = now;
}

// A file whose visit a server-level error cut short has no outcome: what
// was shown meanwhile is that server's problem.
void CUploadReporter::EndCutShortFile()
{
    if (!m_inFile)
        return;
    m_inFile = false;
    m_current = 0;
    if (!m_servers.empty() && !m_report.error.empty()) {
        std::string& error = m_servers.back().error;
        error += (error.empty() ? "" : "\n") + m_report.error;
    }
    m_report.error.clear();
}

void CUploadReporter::RunEnded()
{
    ClearBar();
    EndCutShortFile();
    CloseServerTime();
    m_runSeconds = Seconds();
}

void CUploadReporter::ServerStarted(const std::string& server)
{
    EndCutShortFile();
    CloseServerTime();
    m_serverStart = Seconds();
    m_servers.push_back({server, {}, {}});
    m_report = FileReport{};
    m_report.server = server;
    m_fileInServer = 0;
}

void CUploadReporter::FileStarted(const std::string& localPath)
{
    const std::size_t index = static_cast<std::size_t>(m_fileInServer++);
    ++m_visits;
    m_report.localPath = localPath;
    m_report.destination.clear();
    m_report.error.clear();
    m_size = m_sent = 0;
    m_current = index < m_plan.plannedBytes.size() ? m_plan.plannedBytes[index] : 0;
    m_remaining -= m_current;
    m_inFile = true;
}

void CUploadReporter::SetFileSize(std::int64_t bytes)
{
    m_size = bytes;
    // The file may have changed since the plan was made: its real size counts.
    if (m_current > 0)
        m_current = bytes;
    DrawBar();
}

void CUploadReporter::SetBytesSent(std::int64_t bytes)
{
    // A file the plan did not expect is being sent after all.
    m_current = std::max(m_size, bytes);
    m_sent = bytes;
    m_rate.Add(Seconds(), m_done + m_sent);
    DrawBar();
}

void CUploadReporter::FileEnded(UploadOutcome outcome)
{
    m_inFile = false;
    m_report.outcome = outcome;
    m_report.bytes = outcome == UploadOutcome::Sent || outcome == UploadOutcome::Stopped ? m_sent : m_size;
    m_done += m_sent;
    m_sent = 0;
    m_current = 0;
    if (!m_servers.empty())
        m_servers.back().counts.Add(outcome, outcome == UploadOutcome::WouldSend ? m_size : m_report.bytes);
    if (IsProblem(outcome))
        m_problems.push_back(m_report);
    if (m_json) {
        ClearBar();
        std::fputs(FileReportJson(m_report).c_str(), m_lines);
        std::fflush(m_lines);
    } else if (IsShown(outcome, m_verbosity)) {
        ClearBar();
        std::fprintf(m_lines, "%s\n", FormatFileReport(m_report).c_str());
        std::fflush(m_lines);
    }
}

bool CUploadReporter::MessageShown(const std::string& text, unsigned int style)
{
    ClearBar();
    if ((style & MB_ICONMASK) == MB_ICONINFORMATION)
        return m_verbosity != Verbosity::quiet;  // a notice ("Upload complete."), not a problem
    std::string& error = m_inFile ? m_report.error : (m_servers.empty() ? m_report.error : m_servers.back().error);
    error += (error.empty() ? "" : "\n") + ProblemText(text, style);
    return true;
}

ProgressFigures CUploadReporter::Figures() const
{
    ProgressFigures f;
    f.fileNumber = m_visits;
    f.fileCount = static_cast<int>(m_plan.plannedBytes.size()) * m_plan.serverCount;
    f.fileSent = m_sent;
    f.fileSize = m_size;
    f.allSent = m_done + m_sent;
    f.allTotal = m_done + std::max(m_current, m_sent) + m_remaining;
    f.bytesPerSecond = m_rate.BytesPerSecond();
    f.name = Escaped(m_report.destination);
    return f;
}

// At most five times a second, however fast the files and blocks go by (a
// run over a thousand unchanged files must not print a thousand lines).
void CUploadReporter::DrawBar()
{
    if (!m_bar)
        return;
    const double now = Seconds();
    if (m_lastDraw >= 0 && now - m_lastDraw < kRedrawSeconds)
        return;
    m_lastDraw = now;
    // One column short of the width: a line that fills the last column makes
    // some terminals wrap, and the next redraw would start a line lower.
    const std::size_t width = TerminalColumns(m_bar);
    const std::string line = FormatProgressLine(Figures(), width > 1 ? width - 1 : 1);
    std::fprintf(m_bar, "\r\033[K%s", line.c_str());
    std::fflush(m_bar);
    m_barShown = true;
}

void CUploadReporter::ClearBar()
{
    if (!m_barShown)
        return;
    std::fprintf(m_bar, "\r\033[K");
    std::fflush(m_bar);
    m_barShown = false;
}

OutcomeCounts CUploadReporter::Total() const
{
    OutcomeCounts total;
    for (const ServerReport& server : m_servers)
        total += server.counts;
    total.seconds = m_runSeconds >= 0 ? m_runSeconds : Seconds();
    return total;
}

std::string CUploadReporter::SummaryText() const
{
    std::string text;
    for (const ServerReport& server : m_servers)
        text += Escaped(server.server) + ": " + FormatSummary(server.counts, m_dryRun) +
                (server.error.empty() ? "" : ", stopped by a server error") + "\n";
    return text + "Total: " + FormatSummary(Total(), m_dryRun) + "\n";
}

std::string CUploadReporter::SummaryJson(int exitStatus) const
{
    const OutcomeCounts total = Total();
    JsonWriter json(JsonWriter::Layout::oneLine);
    json.BeginObject();
    json.Member("type", "summary");
    WriteCounts(json, total);
    json.Member("bytesPerSecond",
                total.seconds > 0 ? static_cast<std::int64_t>(total.sentBytes / total.seconds) : std::int64_t{0});
    json.Key("servers");
    json.BeginArray();
    for (const ServerReport& server : m_servers) {
        json.BeginObject();
        json.Member("server", server.server);
        WriteCounts(json, server.counts);
        if (!server.error.empty())
            json.Member("error", server.error);
        json.EndObject();
    }
    json.EndArray();
    json.Member("exitStatus", static_cast<std::int64_t>(exitStatus));
    json.Member("exitMeaning", ExitCodeMeaning(exitStatus));
    json.EndObject();
    return json.Text();
}

CTerminalUploadUi::CTerminalUploadUi(const UploadOptions& options, CUploadReporter& reporter)
    : m_options(options), m_reporter(reporter), m_previous(SetUploadUi(this))
{
}

CTerminalUploadUi::~CTerminalUploadUi()
{
    SetUploadUi(m_previous);
}

std::unique_ptr<IUploadProgress> CTerminalUploadUi::CreateProgress()
{
    return std::make_unique<CTerminalUploadProgress>(m_reporter);
}

void CTerminalUploadProgress::ServerOffersTls(const std::string& serverName)
{
    m_reporter.ClearBar();
    std::fprintf(stderr, "tessarine: %s offers TLS; use ftpes://%s to encrypt the login\n", serverName.c_str(),
                 serverName.c_str());
}

}  // namespace cli
