#include "tests/support/ScriptedMessageBox.h"

namespace test {

ScriptedMessageBox::ScriptedMessageBox(std::deque<int> answers)
    : m_answers(std::move(answers)), m_previous(SetMessageBoxHandler(this))
{
}

ScriptedMessageBox::~ScriptedMessageBox()
{
    SetMessageBoxHandler(m_previous);
}

int ScriptedMessageBox::Show(const std::string& caption, const std::string& text, unsigned int style)
{
    m_shown.push_back({caption, text, style});
    if (m_answers.empty()) {
        ++m_unscripted;
        return SafeMessageBoxAnswer(style);
    }
    int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::vector<std::string> ScriptedMessageBox::texts() const
{
    std::vector<std::string> result;
    for (const ShownMessage& m : m_shown)
        result.push_back(m.text);
    return result;
}

}  // namespace test
