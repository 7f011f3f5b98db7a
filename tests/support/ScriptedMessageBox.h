#pragma once
// The message box of tests: answers from a script, records every box shown.
// Installed for its lifetime; the previous handler comes back afterwards.

#include "platform/framework/MessageBox.h"

#include <deque>
#include <string>
#include <vector>

namespace test {

struct ShownMessage {
    std::string caption;
    std::string text;
    unsigned int style = 0;
    bool operator==(const ShownMessage&) const = default;
};

class ScriptedMessageBox : public IMessageBoxHandler {
public:
    explicit ScriptedMessageBox(std::deque<int> answers = {});
    ~ScriptedMessageBox() override;

    int Show(const std::string& caption, const std::string& text, unsigned int style) override;

    void Answer(int id) { m_answers.push_back(id); }
    const std::vector<ShownMessage>& shown() const { return m_shown; }
    std::vector<std::string> texts() const;
    // Boxes that found no scripted answer (they got the safe answer).
    int unscripted() const { return m_unscripted; }
    void Clear() { m_shown.clear(); }

private:
    std::deque<int> m_answers;
    std::vector<ShownMessage> m_shown;
    int m_unscripted = 0;
    IMessageBoxHandler* m_previous;
};

}  // namespace test
