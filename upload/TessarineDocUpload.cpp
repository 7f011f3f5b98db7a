// The document's upload command: CTessarineDoc::OnUpload and the two helpers
// the run uses on the document.

#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"
#include "platform/ftp/FtpFileFind.h"
#include "upload/RunLock.h"
#include "upload/UploadRun.h"
#include "upload/UploadUi.h"

void CTessarineDoc::OnUpload()
{
    m_lastUploadOutcome = UploadRunOutcome::stopped;
    CUploadRunLock lock;
    if (lock.Acquire(GetPathName()) == CUploadRunLock::Result::Busy) {
        AfxMessageBox(UploadBusyMessage(GetPathName()), MB_ICONEXCLAMATION);
        return;
    }
    IUploadUi& ui = CurrentUploadUi();
    const std::unique_ptr<IUploadProgress> progress = ui.CreateProgress();
    CUploadRun run(*this, *progress, ui.Options());
    m_lastUploadOutcome = run.Run();
}

bool CTessarineDoc::GetRemoteFileInfo(CFtpConnection* pConnection, const std::string& name, CTime& outTime,
                                      DWORD& outSize)
{
    CFtpFileFind finder(pConnection, 1);
    bool found = finder.FindFile(name, INTERNET_FLAG_RELOAD);
    if (found) {
        finder.FindNextFile();
        std::int64_t time = 0;
        finder.GetLastWriteTime(time);
        outTime = CTime(static_cast<std::int32_t>(time));
        outSize = static_cast<DWORD>(finder.GetLength());
    }
    finder.Close();
    return found;
}

int CTessarineDoc::PumpWaitingMessages(unsigned int milliseconds)
{
    return CurrentUploadUi().PumpWaitingMessages(milliseconds);
}
