#include "upload/UploadRunControl.h"

#include "platform/framework/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool TraceWanted()
{
    const char* value = std::getenv("TESSARINE_UPLOAD_TRACE");
    return value && std::strcmp(value, "1") == 0;
}

}  // namespace

CUploadRunControl::CUploadRunControl(IUploadProgress& progress, std::function<int()> pump)
    : m_progress(progress), m_pump(std::move(pump))
{
}

void CUploadRunControl::Stop(const char* why)
{
    if (m_progress.IsContinuing() && TraceWanted())
        std::fprintf(stderr, "upload: run stopped: %s\n", why);
    m_progress.ClearContinue();
}

bool CUploadRunControl::PumpAndContinue()
{
    if (m_pump && m_pump() == 1)
        Stop("quit message");
    return IsContinuing();
}

UploadRunOutcome CUploadRunControl::Outcome() const
{
    if (!IsContinuing())
        return UploadRunOutcome::stopped;
    return m_asked ? UploadRunOutcome::completedAfterProblems : UploadRunOutcome::completed;
}

bool CUploadRunControl::AskToContinue(const std::string& text)
{
    m_asked = true;
    if (m_beforeTelling)
        m_beforeTelling();
    if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDNO) {
        Stop("answered No");
        return false;
    }
    return true;
}

void CUploadRunControl::ShowErrorAndStop(const std::string& text)
{
    if (m_beforeTelling)
        m_beforeTelling();
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    Stop("error shown alone");
}
