#include "upload/UploadUi.h"

namespace {

class CDefaultUploadUi : public IUploadUi {
public:
    std::unique_ptr<IUploadProgress> CreateProgress() override
    {
        return std::make_unique<CQuietUploadProgress>();
    }
    int PumpWaitingMessages(unsigned int) override { return 0; }
};

CDefaultUploadUi g_defaultUi;
IUploadUi* g_ui = nullptr;

}  // namespace

IUploadUi* SetUploadUi(IUploadUi* ui)
{
    IUploadUi* previous = g_ui;
    g_ui = ui;
    return previous;
}

IUploadUi& CurrentUploadUi()
{
    return g_ui ? *g_ui : g_defaultUi;
}

const char* UploadOutcomeName(UploadOutcome outcome)
{
    switch (outcome) {
    case UploadOutcome::Sent: return "sent";
    case UploadOutcome::Unchanged: return "unchanged";
    case UploadOutcome::Skipped: return "skipped";
    case UploadOutcome::Failed: return "error";
    case UploadOutcome::Stopped: return "stopped";
    case UploadOutcome::WouldSend: return "would send";
    }
    return "?";
}
