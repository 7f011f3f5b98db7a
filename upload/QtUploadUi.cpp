#include "upload/QtUploadUi.h"

#include <QCoreApplication>
#include <QThread>

CQtUploadUi::CQtUploadUi(QWidget* owner) : m_owner(owner)
{
}

std::unique_ptr<IUploadProgress> CQtUploadUi::CreateProgress()
{
    auto dialog = std::make_unique<CUploadProgressDlg>(m_owner);
    m_dialog = dialog.get();
    return dialog;
}

int CQtUploadUi::PumpWaitingMessages(unsigned int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(milliseconds);
    else
        QThread::yieldCurrentThread();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return m_quitRequested ? 1 : 0;
}

bool CQtUploadUi::TakeQuitRequest()
{
    const bool requested = m_quitRequested;
    m_quitRequested = false;
    return requested;
}
