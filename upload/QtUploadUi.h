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

#include "upload/UploadProgressDlg.h"
#include "upload/UploadUi.h"

#include <QPointer>

class CQtUploadUi : public QObject, public IUploadUi {
public:
    // owner: the window the dialog is centred over and keeps from input;
    // not owned, may be null.
    explicit CQtUploadUi(QWidget* owner);
    ~CQtUploadUi() override;

    std::unique_ptr<IUploadProgress> CreateProgress() override;
    int PumpWaitingMessages(unsigned int milliseconds) override;

    // True while a progress dialog of this UI lives (a run is on).
    bool IsRunning() const { return !m_dialog.isNull(); }
    CUploadProgressDlg* Dialog() const { return m_dialog.data(); }

    void RequestQuit() { m_quitRequested = true; }
    // Whether a quit was asked for; clears the request.
    bool TakeQuitRequest();

protected:
    // The application's quit during a run: Qt would first try to close the
    // windows, the dialog would refuse, and the quit would be lost.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    QPointer<CUploadProgressDlg> m_dialog;
    bool m_quitRequested = false;
};
