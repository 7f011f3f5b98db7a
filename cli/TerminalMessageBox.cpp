#include "cli/TerminalMessageBox.h"

#include "cli/Utf8.h"

#include <cctype>
#include <string>
#include <unistd.h>

namespace cli {

namespace {

std::string Trimmed(const char* line)
{
    std::string text(line);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    return text.substr(start);
}

}  // namespace

bool ReadYesAnswer(std::FILE* in)
{
    char line[64];
    if (!std::fgets(line, sizeof line, in)) {
        std::clearerr(in);
        return false;
    }
    std::string answer = Trimmed(line);
    for (char& c : answer)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return answer == "y" || answer == "yes";
}

CTerminalMessageBox::CTerminalMessageBox(QuestionPolicy policy, Observer beforeOutput)
    : m_policy(policy), m_beforeOutput(std::move(beforeOutput)), m_previous(SetMessageBoxHandler(this))
{
}

CTerminalMessageBox::~CTerminalMessageBox()
{
    SetMessageBoxHandler(m_previous);
}

int CTerminalMessageBox::Show(const std::string&, const std::string& text, unsigned int style)
{
    const bool print = !m_beforeOutput || m_beforeOutput(text, style);
    if ((style & MB_TYPEMASK) == MB_YESNO)
        return Ask(text);
    if (!print)
        return SafeMessageBoxAnswer(style);
    std::fprintf(stderr, "%s\n", EscapeControls(text).c_str());
    return SafeMessageBoxAnswer(style);
}

int CTerminalMessageBox::Ask(const std::string& text)
{
    std::fprintf(stderr, "%s\n", EscapeControls(text).c_str());
    bool yes = false;
    switch (m_policy) {
    case QuestionPolicy::AllYes:
        yes = true;
        std::fprintf(stderr, "[answered Yes: --yes]\n");
        break;
    case QuestionPolicy::AllNo:
        std::fprintf(stderr, "[answered No: --no]\n");
        break;
    case QuestionPolicy::Ask:
        if (::isatty(STDIN_FILENO)) {
            std::fprintf(stderr, "[y/N] ");
            std::fflush(stderr);
            yes = ReadYesAnswer(stdin);
        } else {
            std::fprintf(stderr, "[answered No: no terminal to ask]\n");
        }
        break;
    }
    return yes ? IDYES : IDNO;
}

CPlainMessageBox::CPlainMessageBox() : m_previous(SetMessageBoxHandler(this)) {}

CPlainMessageBox::~CPlainMessageBox()
{
    SetMessageBoxHandler(m_previous);
}

int CPlainMessageBox::Show(const std::string&, const std::string& text, unsigned int style)
{
    std::fprintf(stderr, "%s\n", EscapeControls(text).c_str());
    return SafeMessageBoxAnswer(style);
}

CRecordingMessageBox::CRecordingMessageBox() : m_previous(SetMessageBoxHandler(this)) {}

CRecordingMessageBox::~CRecordingMessageBox()
{
    SetMessageBoxHandler(m_previous);
}

int CRecordingMessageBox::Show(const std::string&, const std::string& text, unsigned int style)
{
    m_last = text;
    return SafeMessageBoxAnswer(style);
}

}  // namespace cli
