#pragma once
// The window's side of an upload run: the progress dialog over the owner
// window as the run's sink, and a message pump that lets waiting Qt events
// through (painting, the dialog's Cancel, timers doing the idle work)
// between the run's steps.
//
// A quit asked for during the run (RequestQuit, typically from the main
// window's close handler, or the application's own quit, which is held back
// while the run is on) makes the next pump answer 1, which stops the run;
// the request is kept so that whoever started the run can close the program
// the normal way once the run has ended (TakeQuitRequest).
//
// A TLS certificate that does not verify is put to the user as a warning
// message box (Yes/No, No the default) over the progress dialog; the run
// pins a Yes. Plain FTP to a server that offers TLS is noted for the main
// window's status bar (TakeTlsHint), not shown as a box: the run is fine as
// it is, and a box would interrupt every run to every such server.

#include "upload/UploadProgressDlg.h"
#include "upload/UploadUi.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

namespace ftp {
class ICertificateQuestions;
}

class CQtUploadUi : public QObject, public IUploadUi {
public:
    // owner: the window the dialog is centred over and keeps from input;
    // not owned, may be null.
    explicit CQtUploadUi(QWidget* owner);
    ~CQtUploadUi() override;

    std::unique_ptr<IUploadProgress> CreateProgress() override;
    int PumpWaitingMessages(unsigned int milliseconds) override;
    // The designed options, with certificates asked about in a message box.
    UploadOptions Options() const override;

    // True while a progress dialog of this UI lives (a run is on).
    bool IsRunning() const { return !m_dialog.isNull(); }
    CUploadProgressDlg* Dialog() const { return m_dialog.data(); }

    void RequestQuit() { m_quitRequested = true; }
    // Whether a quit was asked for; clears the request.
    bool TakeQuitRequest();

    // "HOST offers TLS; use ftpes://HOST to encrypt the login" for each
    // plain-FTP server of the runs since the last call that offers TLS,
    // one sentence each; empty when none did. Clears the hints.
    QString TakeTlsHint();

protected:
    // The application's quit during a run: Qt would first try to close the
    // windows, the dialog would refuse, and the quit would be lost.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    QPointer<CUploadProgressDlg> m_dialog;
    bool m_quitRequested = false;
    QStringList m_tlsHints;
    // The certificate question as a message box.
    std::unique_ptr<ftp::ICertificateQuestions> m_certificateQuestions;
};
