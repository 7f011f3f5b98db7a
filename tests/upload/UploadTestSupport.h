#pragma once
// What the upload tests put around a run: a document with servers and local
// files, the scripted message box, and an upload UI that records each file's
// outcome and can press Cancel or deliver a quit message at a chosen moment.

#include "model/TessarineDoc.h"
#include "tests/servers/TestServers.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"
#include "upload/UploadUi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct FileOutcomeRecord {
    std::string server;
    std::string file;
    std::string destination;
    UploadOutcome outcome;
};

class RecordingUploadUi : public IUploadUi {
public:
    RecordingUploadUi();
    ~RecordingUploadUi() override;

    std::unique_ptr<IUploadProgress> CreateProgress() override;
    int PumpWaitingMessages(unsigned int milliseconds) override;
    UploadOptions Options() const override { return options; }

    UploadOptions options;
    // Cancel is pressed once this many bytes of a file were sent (-1: never).
    std::int64_t cancelAtBytes = -1;
    // The pump call (counted from 1) that sees the quit message (0: none).
    int quitAtPump = 0;

    int pumpCalls = 0;
    int progressesCreated = 0;
    std::vector<FileOutcomeRecord> outcomes;
    std::vector<std::int64_t> bytesSent;  // every SetBytesSent, in order
    std::vector<std::int64_t> fileSizes;  // every SetFileSize, in order
    std::vector<std::string> servers;     // every SetServerName, in order

    std::vector<UploadOutcome> OutcomeList() const;

private:
    IUploadUi* m_previous;
};

class UploadFixture {
public:
    UploadFixture();

    // A server entry for server's account, with the given base folder.
    void AddServer(const FtpServer& server, const std::string& baseFolder);
    // Writes a local file and adds its entry (never sent).
    void AddFile(const std::string& name, const std::string& bytes, const std::string& webFolder,
                       bool ascii = false);
    std::string LocalPath(const std::string& name) const { return m_local.file(name); }
    void Upload() { doc.OnUpload(); }
    std::vector<std::string> Texts() const { return box.texts(); }

    CTessarineDoc doc;
    ScriptedMessageBox box;
    RecordingUploadUi ui;

private:
    TempDir m_local{"tessarine-site"};
};

// The designed texts.
inline const std::string kUploadComplete = "Upload complete.";
inline const std::string kContinueFiles = "\n\nDo you want to continue uploading files?";
inline const std::string kContinueSites = "\n\nDo you want to continue uploading to the remaining ftp sites?";
inline const std::string kRenameQuestion = "Error renaming temporary upload file to the real name." + kContinueFiles;

constexpr unsigned int kQuestionStyle = 0x24;
constexpr unsigned int kErrorStyle = 0x30;
constexpr unsigned int kNoticeStyle = 0x40;

}  // namespace test
