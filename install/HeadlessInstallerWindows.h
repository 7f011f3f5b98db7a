#pragma once
// The installer's windows reduced to message boxes: every question goes
// through the framework's message-box handler (the program's Qt boxes, the
// terminal, a test's script). The licence is asked as a Yes/No question, the
// proposed destination is taken as it is, and no running copy is looked for.
// The stand-in for the program's own installer windows where those are not
// built.

#include "install/InstallerWindows.h"
#include "install/ProposedDestination.h"

// The licence question's text, with the title in both places.
std::string LicenseQuestionText(const std::string& title);

class HeadlessInstallerWindows : public IInstallerWindows {
public:
    explicit HeadlessInstallerWindows(std::string title) : m_title(std::move(title)) {}

    void ShowWithCaption(const std::string& word) override;
    int InstallerMessageBox(const std::string& text, unsigned int style) override;
    void ShowSystemError(const std::string& text, int errorCode) override;
    std::unique_ptr<IInstallerMessageWindow> ShowMessageWindow(const std::string& text) override;
    bool ShowLicenseAgreement(const std::string& folder) override;
    bool CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                              const std::string& displayName, const std::vector<ProgramToClose>& programs) override;
    bool ChooseDestination(std::string& folder, const std::string& sourceFolder, const std::string& title,
                           const std::vector<std::string>& files) override;

    // The caption of the installer's boxes: the title until ShowWithCaption.
    const std::string& Caption() const { return m_caption.empty() ? m_title : m_caption; }

private:
    std::string m_title;
    std::string m_caption;
};
