#include "upload/QtUploadUi.h"

#include "platform/framework/MessageBox.h"
#include "platform/ftp/CertificateDecision.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace {

// Through the message seam, as the run's other questions: the window's box
// handler shows it over the progress dialog, and tests may answer it. No is
// the default button: Enter alone never trusts a certificate.
class CMessageBoxCertificateQuestions : public ftp::ICertificateQuestions {
public:
    bool TrustCertificate(const ftp::CertificateQuestion& question) override
    {
        return AfxMessageBox(ftp::CertificateQuestionText(question), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
               IDYES;
    }
};

}  // namespace

CQtUploadUi::CQtUploadUi(QWidget* owner)
    : m_owner(owner), m_certificateQuestions(std::make_unique<CMessageBoxCertificateQuestions>())
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
    dialog->OnServerOffersTls([this](const std::string& serverName) {
        const QString name = QString::fromStdString(serverName);
        m_tlsHints << QStringLiteral("%1 offers TLS; use ftpes://%1 to encrypt the login").arg(name);
    });
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

UploadOptions CQtUploadUi::Options() const
{
    UploadOptions options;
    options.mayAskAboutCertificates = true;
    options.certificateQuestions = m_certificateQuestions.get();
    return options;
}

QString CQtUploadUi::TakeTlsHint()
{
    const QString hint = m_tlsHints.join(QStringLiteral(". "));
    m_tlsHints.clear();
    return hint;
}
