#include "upload/QtUploadUi.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

CQtUploadUi::CQtUploadUi(QWidget* owner) : m_owner(owner)
{
}

CQtUploadUi::~CQtUploadUi()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool CQtUploadUi::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && IsRunning()) {
        RequestQuit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

std::unique_ptr<IUploadProgress> CQtUploadUi::CreateProgress()
{
    auto dialog = std::make_unique<CUploadProgressDlg>(m_owner);
    m_dialog = dialog.get();
    // The application's quit is watched for only while the run is on.
    QCoreApplication::instance()->installEventFilter(this);
    QObject::connect(dialog.get(), &QObject::destroyed, this,
                     [this] { QCoreApplication::instance()->removeEventFilter(this); });
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
