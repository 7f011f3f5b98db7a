#pragma once
// The licence agreement: License.rtf from the program folder, read-only in
// a rich text view, with "&Yes" to accept and "&No" (the default: Enter
// declines) to decline. A licence that cannot be opened shows a line that
// says so; the dialog can still be accepted.

#include "install/InstallerClock.h"
#include "install/RtfReader.h"

#include <QDialog>
#include <QTextEdit>

#include <string>

class QPushButton;
class QTextDocument;

// The rich edit of the dialog: taking the focus selects nothing.
class CLicenseTextView : public QTextEdit {
public:
    explicit CLicenseTextView(QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

class CSelfInstallLicenseAgreementDlg : public QDialog {
public:
    CSelfInstallLicenseAgreementDlg(QWidget* parent, std::string fileName,
                                    IInstallerClock& clock = DefaultInstallerClock());

    CLicenseTextView* TextView() const { return m_wndRichEdit; }
    QPushButton* YesButton() const { return m_yes; }
    QPushButton* NoButton() const { return m_no; }

private:
    void OnInitDialog(IInstallerClock& clock);
    // Streams the licence into the view; false when it cannot be opened.
    bool StreamLicence();

    CLicenseTextView* m_wndRichEdit = nullptr;
    std::string m_strFileName;
    QPushButton* m_yes = nullptr;
    QPushButton* m_no = nullptr;
};

// Puts text into document, one block per paragraph, with its runs' bold,
// italic and size.
void FillDocument(QTextDocument& document, const RichText& text);

// Shows the licence in folder (ending in "/") over owner; true when the
// user declined (No, Escape or closing the dialog).
bool ShowLicenseAgreement(QWidget* owner, const std::string& folder,
                          IInstallerClock& clock = DefaultInstallerClock());
