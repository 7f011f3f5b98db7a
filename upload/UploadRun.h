#pragma once
// One upload run over every server and file of a document: the server loop,
// the file loop, the finish and the server-level error handler. Made and run
// by CTessarineDoc::OnUpload; blocks until the run has ended. Reads the
// document's entries and writes only their upload records; marks the
// document modified at the end whatever happened.

#include "upload/UploadConnection.h"
#include "upload/UploadRunControl.h"
#include "upload/UploadUi.h"

#include <memory>
#include <string>

class CInternetSession;
namespace ftp {
class Status;
struct CertificateReport;
}  // namespace ftp
class CTessarineDoc;
struct ServerEntry;
struct UploadNames;

class CUploadRun {
public:
    CUploadRun(CTessarineDoc& doc, IUploadProgress& progress, const UploadOptions& options);
    ~CUploadRun();
    CUploadRun(const CUploadRun&) = delete;
    CUploadRun& operator=(const CUploadRun&) = delete;

    // Opens the session, visits every server and finishes; how it ended.
    [[nodiscard]] UploadRunOutcome Run();

private:
    void OpenSession();
    void ServerLoop();
    void VisitServer(int server);
    bool Connect(const ServerEntry& server);
    void ServerErrorHandler(int server, const std::string& errorText);
    void FileLoop(const ServerEntry& server);
    void VisitFile(const ServerEntry& server, int file);
    void SendLookAhead(const ServerEntry& server, int file, const struct LocalFileStatus& status);
    void PrepareNextFilesAhead(int nextFile);
    ftp::Status DecideOnCertificate(const std::string& server, const ftp::CertificateReport& report);
    UploadOutcome UploadOpenFile(int file, const UploadNames& names, const struct LocalFileState& local,
                                 class CLocalFileReader& reader);
    void Finish();
    void CloseConnection();

    CTessarineDoc& m_doc;
    IUploadProgress& m_progress;
    UploadOptions m_options;
    CUploadRunControl m_control;
    std::unique_ptr<CInternetSession> m_session;
    std::unique_ptr<CUploadConnection> m_connection;
    int m_serverIndex = 0;
};

// Passive data connections: asked for by the caller, or set for the program
// (the PassiveMode setting, or the FTP client's environment default).
bool UploadUsesPassiveMode(const UploadOptions& options);
