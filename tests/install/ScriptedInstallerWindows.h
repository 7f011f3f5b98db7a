#pragma once
// The installer's windows in tests: every call is recorded as one line, and
// the answers come from the test (a message box without a scripted answer
// gets the safe one and is counted).

#include "install/InstallerWindows.h"
#include "install/SessionManager.h"
#include "platform/framework/MessageBox.h"

#include <cstring>
#include <deque>
#include <optional>

namespace test {

class ScriptedInstallerWindows : public IInstallerWindows {
public:
    std::deque<int> boxAnswers;
    bool declineLicense = false;
    bool cancelClosing = false;
    std::optional<std::string> destination;  // nullopt: Cancel; "": the folder as proposed
    std::vector<std::string> events;
    int unscripted = 0;

    void ShowWithCaption(const std::string& word) override { events.push_back("caption " + word); }
    int InstallerMessageBox(const std::string& text, unsigned int style) override
    {
        events.push_back("box " + std::to_string(style) + " " + text);
        if (boxAnswers.empty()) {
            ++unscripted;
            return SafeMessageBoxAnswer(style);
        }
        const int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }
    void ShowSystemError(const std::string& text, int errorCode) override
    {
        events.push_back("error " + text + " | " + std::strerror(errorCode));
    }
    std::unique_ptr<IInstallerMessageWindow> ShowMessageWindow(const std::string& text) override
    {
        events.push_back("message " + text);
        return std::make_unique<MessageWindow>(events);
    }
    bool ShowLicenseAgreement(const std::string& folder) override
    {
        events.push_back("license " + folder);
        return declineLicense;
    }
    bool CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                              const std::string& displayName, const std::vector<ProgramToClose>& programs) override
    {
        events.push_back("close [" + closeClass + "] " + closeTitle + " " + displayName + " "
                         + std::to_string(programs.size()));
        return cancelClosing;
    }
    bool ChooseDestination(std::string& folder, const std::string& sourceFolder, const std::string& title,
                           const std::vector<std::string>& files) override
    {
        std::string names;
        for (const std::string& file : files)
            names += " " + file;
        events.push_back("destination " + folder + " from " + sourceFolder + " " + title + names);
        if (!destination)
            return true;
        if (!destination->empty())
            folder = *destination;
        return false;
    }

private:
    struct MessageWindow : IInstallerMessageWindow {
        explicit MessageWindow(std::vector<std::string>& log) : events(log) {}
        ~MessageWindow() override { events.push_back("message closed"); }
        std::vector<std::string>& events;
    };
};

class ScriptedSessionManager : public ISessionManager {
public:
    bool accept = false;
    int requests = 0;
    bool RequestRestart() override
    {
        ++requests;
        return accept;
    }
};

}  // namespace test
