#include "install/UnattendedAnswers.h"

#include "install/ProposedDestination.h"
#include "platform/framework/RegularFile.h"

#include <cstdlib>
#include <cstring>
#include <ostream>

const char* const kInstallAnswersVariable = "TESSARINE_INSTALL_ANSWERS";

namespace {

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The ID of a button word when the style has that button; 0 otherwise.
int ButtonAnswer(const std::string& word, unsigned int style)
{
    const std::string answer = Lower(word);
    switch (style & MB_TYPEMASK) {
    case MB_YESNO:
        return answer == "yes" ? IDYES : answer == "no" ? IDNO : 0;
    case MB_YESNOCANCEL:
        return answer == "yes" ? IDYES : answer == "no" ? IDNO : answer == "cancel" ? IDCANCEL : 0;
    case MB_OKCANCEL:
        return answer == "ok" ? IDOK : answer == "cancel" ? IDCANCEL : 0;
    case MB_OK:
        return answer == "ok" ? IDOK : 0;
    default:
        return 0;
    }
}

const char* AnswerName(int id)
{
    switch (id) {
    case IDYES: return "Yes";
    case IDNO: return "No";
    case IDOK: return "OK";
    default: return "Cancel";
    }
}

// The text on one line: line breaks shown as "\n".
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text)
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    return line;
}

}  // namespace

InstallAnswers ParseInstallAnswers(const std::string& text)
{
    InstallAnswers answers;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trimmed(text.substr(at, end - at));
        at = end + 1;
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string::npos)
            continue;
        const std::string key = Trimmed(line.substr(0, equals));
        if (!key.empty())
            answers.emplace_back(key, Trimmed(line.substr(equals + 1)));
    }
    return answers;
}

UnattendedInstallerWindows::UnattendedInstallerWindows(IInstallerWindows& inner, InstallAnswers answers,
                                                       std::ostream& log)
    : m_inner(inner), m_answers(std::move(answers)), m_log(log), m_previousHandler(SetMessageBoxHandler(this))
{
}

UnattendedInstallerWindows::~UnattendedInstallerWindows()
{
    SetMessageBoxHandler(m_previousHandler);
}

std::unique_ptr<UnattendedInstallerWindows> UnattendedInstallerWindows::FromEnvironment(IInstallerWindows& inner,
                                                                                         std::ostream& log)
{
    const char* path = std::getenv(kInstallAnswersVariable);
    if (!path)
        return nullptr;
    const FileReadResult file = ReadRegularFile(path);
    if (file.error)
        log << "Unattended installation: the answers file " << path << " cannot be read; every question gets No "
            << "or Cancel.\n";
    return std::make_unique<UnattendedInstallerWindows>(inner, ParseInstallAnswers(file.error ? "" : file.bytes), log);
}

std::optional<std::string> UnattendedInstallerWindows::Find(const std::string& text) const
{
    for (const auto& [key, answer] : m_answers)
        if (text.find(key) != std::string::npos)
            return answer;
    return std::nullopt;
}

void UnattendedInstallerWindows::Log(const std::string& what, const std::string& text, const std::string& answer) const
{
    m_log << "Unattended installation: " << what << " \"" << OneLine(text) << "\": " << answer << "\n";
    m_log.flush();
}

int UnattendedInstallerWindows::AnswerBox(const std::string& text, unsigned int style)
{
    const std::optional<std::string> word = Find(text);
    int id = word ? ButtonAnswer(*word, style) : 0;
    const bool answered = id != 0;
    if (!answered)
        id = SafeMessageBoxAnswer(style);
    Log("asked", text, std::string(AnswerName(id)) + (answered ? "" : " (no answer given)"));
    return id;
}

void UnattendedInstallerWindows::ShowWithCaption(const std::string& word)
{
    m_inner.ShowWithCaption(word);
}

int UnattendedInstallerWindows::InstallerMessageBox(const std::string& text, unsigned int style)
{
    return AnswerBox(text, style);
}

int UnattendedInstallerWindows::Show(const std::string&, const std::string& text, unsigned int style)
{
    return AnswerBox(text, style);
}

void UnattendedInstallerWindows::ShowSystemError(const std::string& text, int errorCode)
{
    AnswerBox(text + "\n\n" + std::strerror(errorCode), MB_OK | MB_ICONEXCLAMATION);
}

std::unique_ptr<IInstallerMessageWindow> UnattendedInstallerWindows::ShowMessageWindow(const std::string& text)
{
    Log("showing", text, "message window");
    return m_inner.ShowMessageWindow(text);
}

bool UnattendedInstallerWindows::ShowLicenseAgreement(const std::string& folder)
{
    const std::string text = "License Agreement (" + folder + "License.rtf)";
    const std::optional<std::string> word = Find(text);
    const bool accepted = word && Lower(*word) == "yes";
    Log("asked", text, accepted ? "Yes" : word ? "No" : "No (no answer given)");
    return !accepted;
}

bool UnattendedInstallerWindows::CloseRunningPrograms(const std::string& closeClass, const std::string& closeTitle,
                                                      const std::string& displayName,
                                                      const std::vector<ProgramToClose>& programs)
{
    return m_inner.CloseRunningPrograms(closeClass, closeTitle, displayName, programs);
}

bool UnattendedInstallerWindows::ChooseDestination(std::string& folder, const std::string& sourceFolder,
                                                   const std::string& title, const std::vector<std::string>&)
{
    const std::string proposed = ProposedDestination(folder, sourceFolder, title);
    const std::string text = "Choose Destination Location (" + proposed + ")";
    const std::optional<std::string> word = Find(text);
    const std::string answer = word ? Lower(*word) : std::string();
    if (answer == "install" || answer == "ok") {
        folder = proposed;
    } else if (word && !word->empty() && word->front() == '/') {
        folder = *word;
    } else {
        Log("asked", text, word ? "Cancel" : "Cancel (no answer given)");
        return true;
    }
    Log("asked", text, "Install into " + folder);
    return false;
}
