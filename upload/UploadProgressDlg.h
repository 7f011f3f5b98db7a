#pragma once
// CUploadProgressDlg: the window the user sees while an upload runs. It
// names the server, the local file and its destination, shows how much of
// the file has been sent, and offers Cancel. It does not drive the run: the
// run writes into it between steps and reads its continue flag.
//
// Modeless, centred over its owner (the main window), and window-modal to
// it, so that the owner takes no input while the dialog lives. The owner is
// not disabled: Qt would disable its child windows with it (this dialog's
// Cancel and the run's message boxes among them) and the run could not be
// stopped. Destroying the dialog gives the owner its input back. Without an
// owner the dialog blocks nothing.
//
// Cancel, Escape and the close box only clear the continue flag; the dialog
// stays, showing the last texts, until the run ends and destroys it.

#include "upload/ProgressBar.h"
#include "upload/UploadProgress.h"

#include <QDialog>

#include <functional>

class CElidedLabel;
class QProgressBar;
class QPushButton;

class CUploadProgressDlg : public QDialog, public IUploadProgress {
public:
    // pOwnerWnd: not owned; may be null. Shows the dialog.
    explicit CUploadProgressDlg(QWidget* pOwnerWnd);
    ~CUploadProgressDlg() override;

    void SetServerName(const std::string& serverName) override;
    void SetFileName(const std::string& localPath) override;
    void SetDestination(const std::string& remotePath) override;
    void SetFileSize(std::int64_t bytes) override;
    void SetBytesSent(std::int64_t bytes) override;
    void SetFileOutcome(UploadOutcome) override {}
    // Passed on to the handler (none: nothing happens); the dialog itself
    // shows nothing of it.
    void ServerOffersTls(const std::string& serverName) override;
    void OnServerOffersTls(std::function<void(const std::string&)> handler) { m_onServerOffersTls = std::move(handler); }
    bool IsContinuing() const override { return m_bContinue; }
    void ClearContinue() override;

    QProgressBar* ProgressBar() const { return m_progress; }
    CElidedLabel* ServerLabel() const { return m_server; }
    CElidedLabel* FileLabel() const { return m_file; }
    CElidedLabel* DestinationLabel() const { return m_destination; }
    QPushButton* CancelButton() const { return m_cancel; }

    // The dialog's size: 280 x 87 dialog units of its font.
    static QSize TemplateSize(const QFont& font);

protected:
    // Cancel and Escape.
    void reject() override;
    // The close box.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void ShowBar();

    QWidget* m_pOwnerWnd;
    QProgressBar* m_progress = nullptr;
    CElidedLabel* m_server = nullptr;
    CElidedLabel* m_file = nullptr;
    CElidedLabel* m_destination = nullptr;
    QPushButton* m_cancel = nullptr;
    CUploadProgressBar m_bar;
    bool m_bContinue = false;
    std::function<void(const std::string&)> m_onServerOffersTls;
};
