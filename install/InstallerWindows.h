#pragma once
// What the install and uninstall flows need from the installer's windows:
// the background window, its message boxes, the message window shown while a
// step works, the licence agreement, closing running copies and choosing the
// destination. The program implements it with its Qt windows; the unattended
// mode (UnattendedAnswers.h) answers the questions from a file; tests script
// it. Every call blocks until the window is done with it; nothing throws.
//
// "Owner" is always the background window: the implementation keeps it, the
// flows never name a window.

#include "install/SelfInstallEntries.h"

#include <memory>
#include <string>
#include <vector>

// Lives as long as a message window is shown; its destructor removes the
// window (after the window's minimum showing time).
class IInstallerMessageWindow {
public:
    virtual ~IInstallerMessageWindow() = default;
};

class IInstallerWindows {
public:
    virtual ~IInstallerWindows() = default;

    // CSelfInstallWindow::ShowWithCaption(SW_SHOW, word): the background
    // window's caption becomes title + " " + word ("Tessarine Setup",
    // "Tessarine Uninstall"); it is shown and painted at once.
    virtual void ShowWithCaption(const std::string& word) = 0;

    // InstallerMessageBox(background window, text, style): MB_ styles and
    // ID answers of platform/framework/MessageBox.h. The caption is the
    // background window's once it has one, else the title.
    virtual int InstallerMessageBox(const std::string& text, unsigned int style) = 0;

    // ShowSystemError(background window, text): a warning (MB_OK |
    // MB_ICONEXCLAMATION) of text + "\n\n" + the system's text for
    // errorCode (an errno value captured at the failing call).
    virtual void ShowSystemError(const std::string& text, int errorCode) = 0;

    // CSelfInstallMessageDlg(text, background window): shown (its owner
    // disabled) until the returned object goes. Null when it could not be
    // made; the flow goes on either way.
    virtual std::unique_ptr<IInstallerMessageWindow> ShowMessageWindow(const std::string& text) = 0;

    // ShowLicenseAgreement(background window, folder): the licence is
    // folder + "License.rtf" (folder ends in "/"). True when the user
    // declined.
    virtual bool ShowLicenseAgreement(const std::string& folder) = 0;

    // CloseRunningPrograms(background window, class, title, display name,
    // programs): closes running copies and the listed programs, asking
    // "Please exit the program NAME." where one cannot be closed. True when
    // the user cancelled. Its prompts go through InstallerMessageBox (or the
    // framework's message-box handler), so the unattended mode answers them.
    virtual bool CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                                      const std::string& displayName,
                                      const std::vector<ProgramToClose>& programs) = 0;

    // ChooseDestination(background window, folder, source folder, title,
    // files): folder comes in as the registered folder (empty: propose
    // ProgramFilesDir + "/" + title, else the source folder) and goes out
    // as the folder box's text at acceptance. True when cancelled.
    virtual bool ChooseDestination(std::string& folder, const std::string& sourceFolder,
                                   const std::string& title, const std::vector<std::string>& files) = 0;
};
