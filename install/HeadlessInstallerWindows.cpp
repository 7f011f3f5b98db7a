#include "install/HeadlessInstallerWindows.h"

#include "platform/framework/MessageBox.h"

#include <cstring>

std::string LicenseQuestionText(const std::string& title)
{
    return "Do you accept the all terms of the License Agreement?  If you choose \"No\", " + title
         + " will close.  You must accept this License Agreement to use " + title + ".";
}

void HeadlessInstallerWindows::ShowWithCaption(const std::string& word)
{
    m_caption = m_title + " " + word;
}

int HeadlessInstallerWindows::InstallerMessageBox(const std::string& text, unsigned int style)
{
    return CaptionedMessageBox(Caption(), text, style);
}

void HeadlessInstallerWindows::ShowSystemError(const std::string& text, int errorCode)
{
    InstallerMessageBox(text + "\n\n" + std::strerror(errorCode), MB_OK | MB_ICONEXCLAMATION);
}

std::unique_ptr<IInstallerMessageWindow> HeadlessInstallerWindows::ShowMessageWindow(const std::string&)
{
    return nullptr;
}

bool HeadlessInstallerWindows::ShowLicenseAgreement(const std::string&)
{
    return CaptionedMessageBox("License Agreement", LicenseQuestionText(m_title), MB_YESNO | MB_ICONQUESTION) != IDYES;
}

bool HeadlessInstallerWindows::CloseRunningPrograms(const std::string&, const std::string&, const std::string&,
                                                    const std::vector<ProgramToClose>&)
{
    return false;
}

bool HeadlessInstallerWindows::ChooseDestination(std::string& folder, const std::string& sourceFolder,
                                                 const std::string& title, const std::vector<std::string>&)
{
    folder = ProposedDestination(folder, sourceFolder, title);
    return false;
}
