#include "upload/UploadRun.h"

#include "model/FileStatus.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"
#include "platform/ftp/FtpConnection.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/InternetSession.h"
#include "upload/ErrorText.h"
#include "upload/FileTransfer.h"
#include "upload/LocalFileReader.h"
#include "upload/LookAhead.h"
#include "upload/PassiveSetting.h"
#include "upload/PipeliningSetting.h"

#include "common/CertificatePins.h"
#include "platform/ftp/CertificateDecision.h"
#include "upload/UploadNames.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

namespace {

struct SessionOption {
    std::uint32_t option;
    std::uint32_t value;
};

// Set in this order right after the session is opened.
constexpr SessionOption kSessionOptions[] = {
    {INTERNET_OPTION_CONNECT_TIMEOUT, 10000},
    {INTERNET_OPTION_CONNECT_RETRIES, 5},
    {INTERNET_OPTION_CONNECT_BACKOFF, 1000},
    {INTERNET_OPTION_CONTROL_SEND_TIMEOUT, 60000},
    {INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT, 60000},
    {INTERNET_OPTION_DATA_SEND_TIMEOUT, 60000},
    {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 60000},
};

// TESSARINE_FTP_TRACE=1: every command and reply on standard error, with the
// milliseconds since the run began (what a slow server spends its time on).
void TraceWhenAsked(CInternetSession& session)
{
    const char* value = std::getenv("TESSARINE_FTP_TRACE");
    if (!value || std::strcmp(value, "1") != 0)
        return;
    const auto start = std::chrono::steady_clock::now();
    session.SetTrace([start](const std::string& line) {
        const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start;
        std::fprintf(stderr, "%10.3f %s\n", ms.count(), line.c_str());
    });
}

}  // namespace

bool UploadUsesPassiveMode(const UploadOptions& options)
{
    return options.passive || ProgramPassiveModeSetting();
}

CUploadRun::CUploadRun(CTessarineDoc& doc, IUploadProgress& progress, const UploadOptions& options)
    : m_doc(doc), m_progress(progress), m_options(options),
      m_control(progress, [&doc] { return doc.PumpWaitingMessages(0); })
{
    m_control.SetBeforeTellingUser([this] {
        if (m_connection && m_connection->IsOpen())
            m_connection->Ftp().DropLookAhead();
    });
}

CUploadRun::~CUploadRun() = default;

UploadRunOutcome CUploadRun::Run()
{
    OpenSession();
    ServerLoop();
    const UploadRunOutcome outcome = m_control.Outcome();
    Finish();
    return outcome;
}

void CUploadRun::OpenSession()
{
    m_session = std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    for (const SessionOption& option : kSessionOptions)
        m_session->SetOption(option.option, &option.value, sizeof option.value, 0);
    m_session->SetPipelining(!m_options.noPipelining && ProgramPipeliningSetting());
    m_session->SetCertificateCheck([this](const std::string& server, const ftp::CertificateReport& report) {
        return DecideOnCertificate(server, report);
    });
    TraceWhenAsked(*m_session);
}

// A certificate that did not verify: the pin stored for the server, a
// fingerprint given to trust, or the user's answer (a Yes is pinned). A
// refusal ends the connection; its text goes the server error's way.
ftp::Status CUploadRun::DecideOnCertificate(const std::string& server, const ftp::CertificateReport& report)
{
    const ftp::CertificatePolicy policy{m_options.mayAskAboutCertificates, m_options.trustedFingerprints};
    const ftp::CertificateDecision decision = ftp::DecideCertificate(server, report, LoadCertificatePin(server),
                                                                     policy, m_options.certificateQuestions);
    if (!decision.accepted)
        return ftp::Error{ERROR_INTERNET_SECURE_FAILURE, decision.errorText};
    // A pin that cannot be stored only means the question comes again
    // next time.
    if (decision.pin)
        static_cast<void>(SaveCertificatePin(server, *decision.pin));
    return {};
}

void CUploadRun::ServerLoop()
{
    const int count = static_cast<int>(m_doc.m_servers.size());
    for (int server = 0; server < count; ++server) {
        if (!m_control.IsContinuing() || !m_control.PumpAndContinue())
            break;
        VisitServer(server);
    }
}

// Everything from connecting to closing is guarded: an error that the file
// step does not handle itself ends this server's visit.
void CUploadRun::VisitServer(int index)
{
    const ServerEntry& server = m_doc.m_servers[index];
    m_serverIndex = index;
    m_progress.SetServerName(server.m_strServerName);
    try {
        if (!Connect(server))
            return;
        if (m_connection->Ftp().OffersTls()) {
            const std::string& name = server.m_strServerName;
            m_progress.ServerOffersTls(name.rfind("ftp://", 0) == 0 ? name.substr(6) : name);
        }
        m_connection->ReadRootFolder();
        FileLoop(server);
        CloseConnection();
    } catch (const CInternetException& error) {
        ServerErrorHandler(index, error.ErrorText());
    } catch (const std::bad_alloc&) {
        ServerErrorHandler(index, "Out of memory.");
    }
}

bool CUploadRun::Connect(const ServerEntry& server)
{
    std::unique_ptr<CFtpConnection> ftp(m_session->GetFtpConnection(
        server.m_strServerName, server.m_strUserName, server.m_strPassword, 0, UploadUsesPassiveMode(m_options)));
    if (!ftp) {
        m_control.Stop("no connection object");
        return false;
    }
    m_connection = std::make_unique<CUploadConnection>(std::move(ftp));
    return true;
}

void CUploadRun::ServerErrorHandler(int server, const std::string& errorText)
{
    const std::string text = CutErrorText(errorText);
    if (m_connection && m_connection->IsOpen())
        m_connection->RemoveLastTemporary();
    CloseConnection();
    if (server < static_cast<int>(m_doc.m_servers.size()) - 1)
        m_control.AskToContinue(text + "\n\nDo you want to continue uploading to the remaining ftp sites?");
    else
        m_control.ShowErrorAndStop(text);
}

void CUploadRun::FileLoop(const ServerEntry& server)
{
    const int count = static_cast<int>(m_doc.m_files.size());
    for (int file = 0; file < count; ++file) {
        if (!m_control.IsContinuing() || !m_control.PumpAndContinue())
            break;
        VisitFile(server, file);
        if (!m_connection)
            break;
    }
}

void CUploadRun::VisitFile(const ServerEntry& server, int index)
{
    FileEntry& entry = m_doc.m_files[index];
    const UploadNames names = BuildUploadNames(entry.m_strFileName, server.m_strBaseFolder, entry.m_strWebFolder);
    m_progress.SetFileName(entry.m_strFileName);
    m_progress.SetDestination(names.remotePath);
    // A dry run writes no temporary file, so none is ever removed either.
    if (!m_options.dryRun)
        m_connection->FormTemporaryName(names.temporaryName);
    CLocalFileReader reader;
    std::optional<LocalFileStatus> status;
    if (reader.Open(entry.m_strFileName))
        status = GetLocalFileStatus(reader.Descriptor());
    if (!status) {
        const bool goOn = m_control.AskToContinue(
            entry.m_strFileName + "\nError opening file.\n\nDo you want to continue uploading files?");
        m_progress.SetFileOutcome(UploadOutcome::Skipped);
        if (!goOn)
            CloseConnection();
        return;
    }
    const LocalFileState local{status->m_mtime.GetTime(), status->m_size, reader.Size()};
    SendLookAhead(server, index, *status);
    m_progress.SetFileOutcome(UploadOpenFile(index, names, local, reader));
}

// What the files after this one will ask first (the next file's folder,
// say) goes at the end of this file's rename, in the same write.
void CUploadRun::PrepareNextFilesAhead(int next)
{
    constexpr std::size_t kMaxSteps = 64;
    std::vector<CFtpConnection::AheadStep> steps;
    const int count = static_cast<int>(m_doc.m_files.size());
    const std::optional<LocalFileStatus> status =
        next < count ? GetLocalFileStatus(m_doc.m_files[next].m_strFileName) : std::nullopt;
    if (status && m_session->Pipelining()) {
        const ServerEntry& server = m_doc.m_servers[m_serverIndex];
        const LookAheadStart start{next, &*status, m_connection->EnteredFolder(), m_connection->RootFolder()};
        steps = PlanLookAhead(m_doc, server, start, kMaxSteps);
    }
    // Always set, so that steps planned for an earlier file never go.
    m_connection->Ftp().SendAheadWithNextRename(steps);
}

// Once the server has answered what was sent ahead before, the next
// stretch of the run's read-only commands goes.
void CUploadRun::SendLookAhead(const ServerEntry& server, int index, const LocalFileStatus& status)
{
    constexpr std::size_t kMaxSteps = 256;
    CFtpConnection& ftp = m_connection->Ftp();
    if (ftp.HasCommandsAhead() || !m_session->Pipelining())
        return;
    const LookAheadStart start{index, &status, m_connection->EnteredFolder(), m_connection->RootFolder()};
    const std::vector<CFtpConnection::AheadStep> steps = PlanLookAhead(m_doc, server, start, kMaxSteps);
    if (!steps.empty())
        ftp.SendAhead(steps);
}

UploadOutcome CUploadRun::UploadOpenFile(int index, const UploadNames& names, const LocalFileState& local,
                                         CLocalFileReader& reader)
{
    FileEntry& entry = m_doc.m_files[index];
    m_progress.SetFileSize(local.fullSize);
    switch (m_connection->GoToFolder(names.targetFolder, m_control, m_options.dryRun)) {
    case CUploadConnection::FolderResult::Skip:
        return UploadOutcome::Skipped;
    case CUploadConnection::FolderResult::Missing:
        return UploadOutcome::WouldSend;
    case CUploadConnection::FolderResult::Entered:
        break;
    }
    const bool lastFile = index == static_cast<int>(m_doc.m_files.size()) - 1;
    CFileTransfer transfer(*m_connection, m_control, entry, names, local, lastFile);
    if (transfer.IsUnchanged())
        return UploadOutcome::Unchanged;
    if (m_options.dryRun)
        return UploadOutcome::WouldSend;
    PrepareNextFilesAhead(index + 1);
    return transfer.Send(reader);
}

// Every server visit closes its own connection (after its files, in the
// server error handler, or on a No to a file question) before the next
// server is visited, so none is left open here.
void CUploadRun::Finish()
{
    if (m_control.IsContinuing())
        AfxMessageBox("Upload complete.", MB_ICONINFORMATION);
    m_doc.SetModifiedFlag(true);
    m_doc.UpdateAllViews(nullptr, 0, nullptr);
    m_session->Close();
    m_session.reset();
}

void CUploadRun::CloseConnection()
{
    if (m_connection)
        m_connection->Close();
    m_connection.reset();
}
