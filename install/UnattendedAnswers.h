#pragma once
// The unattended mode, for scripted installations: the environment variable
// TESSARINE_INSTALL_ANSWERS names a file that answers the installer's
// questions, one line each:
//
//     # a comment
//     You are about to=Yes
//     License Agreement=Yes
//     Choose Destination Location=Install
//     reboot the computer now=No
//
// A question takes the answer of the first line whose key (the text before
// "=") occurs in the question's text. Message boxes take Yes, No, OK or
// Cancel; the licence agreement Yes (accept) or No; the destination Install
// (the proposed folder), a folder path, or Cancel. A question without an
// answer, or with one its buttons do not have, gets No or Cancel (OK where
// that is the only button), so an unattended run never waits. Every
// question and the answer it got are written to the log (standard error).
//
// Only the installer's own boxes and dialogs are answered: the object
// stands in front of the installer's windows, and while it exists it also
// answers the framework's message boxes (the prompts of closing running
// copies); start-up's own boxes come after it is gone.

#include "install/InstallerWindows.h"
#include "platform/framework/MessageBox.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using InstallAnswers = std::vector<std::pair<std::string, std::string>>;

// The lines of an answers file: blank lines and lines starting with "#" are
// skipped, a line without "=" too; keys and answers lose surrounding blanks
// (and a carriage return).
InstallAnswers ParseInstallAnswers(const std::string& text);

extern const char* const kInstallAnswersVariable;  // "TESSARINE_INSTALL_ANSWERS"

class UnattendedInstallerWindows : public IInstallerWindows, public IMessageBoxHandler {
public:
    // inner: the windows that do the rest (showing the background window,
    // closing running copies); not owned. log: not owned.
    UnattendedInstallerWindows(IInstallerWindows& inner, InstallAnswers answers, std::ostream& log);
    ~UnattendedInstallerWindows() override;

    // The mode when TESSARINE_INSTALL_ANSWERS is set, else null. A file that
    // cannot be read is logged and answers nothing.
    static std::unique_ptr<UnattendedInstallerWindows> FromEnvironment(IInstallerWindows& inner, std::ostream& log);

    void ShowWithCaption(const std::string& word) override;
    int InstallerMessageBox(const std::string& text, unsigned int style) override;
    void ShowSystemError(const std::string& text, int errorCode) override;
    std::unique_ptr<IInstallerMessageWindow> ShowMessageWindow(const std::string& text) override;
    bool ShowLicenseAgreement(const std::string& folder) override;
    bool CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                              const std::string& displayName, const std::vector<ProgramToClose>& programs) override;
    bool ChooseDestination(std::string& folder, const std::string& sourceFolder, const std::string& title,
                           const std::vector<std::string>& files) override;

    // IMessageBoxHandler
    int Show(const std::string& caption, const std::string& text, unsigned int style) override;

private:
    // The answer of the first key found in text; nullopt when none.
    std::optional<std::string> Find(const std::string& text) const;
    // A message box's answer; logs the question and the answer.
    int AnswerBox(const std::string& text, unsigned int style);
    void Log(const std::string& what, const std::string& text, const std::string& answer) const;

    IInstallerWindows& m_inner;
    InstallAnswers m_answers;
    std::ostream& m_log;
    std::string m_title;
    IMessageBoxHandler* m_previousHandler;
};
