#pragma once
// The installer's windows in the program: the background window (created
// hidden here, destroyed with this object) owns every dialog and message
// box the flows open through IInstallerWindows.

#include "install/InstallerClock.h"
#include "install/InstallerWindows.h"
#include "install/SelfInstallDestinationDlg.h"
#include "install/SelfInstallWindow.h"

#include <memory>
#include <string>

class QtInstallerWindows : public IInstallerWindows {
public:
    // title: the application title. clock: not owned; null for the system's.
    explicit QtInstallerWindows(std::string title, IInstallerClock* clock = nullptr);
    ~QtInstallerWindows() override;

    void ShowWithCaption(const std::string& word) override;
    int InstallerMessageBox(const std::string& text, unsigned int style) override;
    void ShowSystemError(const std::string& text, int errorCode) override;
    std::unique_ptr<IInstallerMessageWindow> ShowMessageWindow(const std::string& text) override;
    bool ShowLicenseAgreement(const std::string& folder) override;
    bool CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                              const std::string& displayName, const std::vector<ProgramToClose>& programs) override;
    bool ChooseDestination(std::string& folder, const std::string& sourceFolder, const std::string& title,
                           const std::vector<std::string>& files) override;

    CSelfInstallWindow& Window() { return *m_window; }
    // The runtime folder whose copies CloseRunningPrograms closes (the
    // system's by default).
    void SetRuntimeFolder(std::string folder) { m_runtimeFolder = std::move(folder); }

private:
    IInstallerClock& Clock() { return m_clock ? *m_clock : DefaultInstallerClock(); }

    std::unique_ptr<CSelfInstallWindow> m_window;
    IInstallerClock* m_clock;
    std::string m_runtimeFolder;
};
