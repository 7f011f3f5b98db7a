#include "tests/upload/UploadTestSupport.h"

#include "tests/servers/ServerAccount.h"

namespace test {

namespace {

class RecordingProgress : public CQuietUploadProgress {
public:
    explicit RecordingProgress(RecordingUploadUi& ui) : m_ui(ui) {}

    void SetServerName(const std::string& name) override
    {
        m_server = name;
        m_ui.servers.push_back(name);
    }
    void SetFileName(const std::string& path) override { m_file = path; }
    void SetDestination(const std::string& path) override { m_destination = path; }
    void SetFileSize(std::int64_t bytes) override { m_ui.fileSizes.push_back(bytes); }
    void SetBytesSent(std::int64_t bytes) override
    {
        m_ui.bytesSent.push_back(bytes);
        if (m_ui.cancelAtBytes >= 0 && bytes >= m_ui.cancelAtBytes)
            ClearContinue();
    }
    void SetFileOutcome(UploadOutcome outcome) override
    {
        m_ui.outcomes.push_back({m_server, m_file, m_destination, outcome});
    }

private:
    RecordingUploadUi& m_ui;
    std::string m_server, m_file, m_destination;
};

}  // namespace

RecordingUploadUi::RecordingUploadUi() : m_previous(SetUploadUi(this)) {}

RecordingUploadUi::~RecordingUploadUi()
{
    SetUploadUi(m_previous);
}

std::unique_ptr<IUploadProgress> RecordingUploadUi::CreateProgress()
{
    ++progressesCreated;
    return std::make_unique<RecordingProgress>(*this);
}

int RecordingUploadUi::PumpWaitingMessages(unsigned int)
{
    ++pumpCalls;
    return pumpCalls == quitAtPump ? 1 : 0;
}

std::vector<UploadOutcome> RecordingUploadUi::OutcomeList() const
{
    std::vector<UploadOutcome> list;
    for (const FileOutcomeRecord& record : outcomes)
        list.push_back(record.outcome);
    return list;
}

UploadFixture::UploadFixture() = default;

void UploadFixture::AddServer(const FtpServer& server, const std::string& baseFolder)
{
    doc.m_servers.push_back(ServerAccount(server, baseFolder));
}

void UploadFixture::AddFile(const std::string& name, const std::string& bytes, const std::string& webFolder,
                                  bool ascii)
{
    WriteFile(m_local.file(name), bytes);
    FileEntry entry;
    entry.m_strFileName = m_local.file(name);
    entry.m_strWebFolder = webFolder;
    entry.m_wFlags = ascii ? FILE_ASCII : 0;
    doc.m_files.push_back(entry);
}

}  // namespace test
