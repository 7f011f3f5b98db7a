#include "install/QtInstallerWindows.h"

#include "install/CloseRunningPrograms.h"
#include "install/InstallerMessageBox.h"
#include "install/LicenseAgreementDlg.h"
#include "install/SelfInstallMessageDlg.h"
#include "install/SystemErrorText.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/WaitCursor.h"
#include "platform/shell/RuntimeFolder.h"

namespace {

class MessageWindow : public IInstallerMessageWindow {
public:
    MessageWindow(const std::string& text, QWidget* owner, IInstallerClock& clock) : m_dlg(text, owner, clock) {}

private:
    CSelfInstallMessageDlg m_dlg;
};

// The "Please exit" prompt, owned by the background window brought to the
// front.
class ExitPrompt : public IExitPrompt {
public:
    explicit ExitPrompt(QWidget* owner) : m_owner(owner) {}
    int AskToExit(const std::string& text) override
    {
        m_owner->raise();
        m_owner->activateWindow();
        return ::InstallerMessageBox(m_owner, text, MB_OKCANCEL | MB_ICONEXCLAMATION);
    }

private:
    QWidget* m_owner;
};

}  // namespace

QtInstallerWindows::QtInstallerWindows(std::string title, IInstallerClock* clock)
    : m_window(std::make_unique<CSelfInstallWindow>(std::move(title))), m_clock(clock),
      m_runtimeFolder(RuntimeFolderPath())
{
}

QtInstallerWindows::~QtInstallerWindows() = default;

void QtInstallerWindows::ShowWithCaption(const std::string& word)
{
    m_window->ShowWithCaption(SW_SHOW, word);
}

int QtInstallerWindows::InstallerMessageBox(const std::string& text, unsigned int style)
{
    return ::InstallerMessageBox(m_window.get(), text, style);
}

void QtInstallerWindows::ShowSystemError(const std::string& text, int errorCode)
{
    ::InstallerMessageBox(m_window.get(), SystemErrorText(text, errorCode), MB_OK | MB_ICONEXCLAMATION);
}

std::unique_ptr<IInstallerMessageWindow> QtInstallerWindows::ShowMessageWindow(const std::string& text)
{
    return std::make_unique<MessageWindow>(text, m_window.get(), Clock());
}

bool QtInstallerWindows::ShowLicenseAgreement(const std::string& folder)
{
    return ::ShowLicenseAgreement(m_window.get(), folder, Clock());
}

bool QtInstallerWindows::CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                                              const std::string& displayName,
                                              const std::vector<ProgramToClose>& programs)
{
    CWaitCursor wait;
    CSelfInstallMessageDlg message("Closing programs...", m_window.get(), Clock());
    RunningCopiesClient copies(m_runtimeFolder);
    ExitPrompt prompt(m_window.get());
    return CloseRunningProgramWindows(copies, prompt, closeClass, closeTitle, displayName, programs);
}

bool QtInstallerWindows::ChooseDestination(std::string& folder, const std::string& sourceFolder,
                                           const std::string& title, const std::vector<std::string>& files)
{
    DestinationSources sources;
    sources.clock = m_clock;
    return ::ChooseDestination(m_window.get(), folder, sourceFolder, title, files, std::move(sources));
}
