#pragma once
// The tool's message box during an upload: questions are answered by the
// policy (--yes, --no) or on the terminal (standard input and error), and No
// when there is no terminal; every text is written to standard error.

#include "cli/UploadArguments.h"
#include "platform/framework/MessageBox.h"

#include <cstdio>
#include <functional>

namespace cli {

class CTerminalMessageBox : public IMessageBoxHandler {
public:
    // beforeOutput is told every text and style before anything is written
    // (the progress bar clears its line; the report notes the problem); a
    // notice it answers false for is not printed (a question always is).
    // Installed for the object's lifetime.
    using Observer = std::function<bool(const std::string& text, unsigned int style)>;
    CTerminalMessageBox(QuestionPolicy policy, Observer beforeOutput);
    ~CTerminalMessageBox() override;

    int Show(const std::string& caption, const std::string& text, unsigned int style) override;

private:
    int Ask(const std::string& text);

    QuestionPolicy m_policy;
    Observer m_beforeOutput;
    IMessageBoxHandler* m_previous;
};

// The tool's message box outside an upload: every text to standard error
// with its control characters escaped (names from files keep no power over
// the terminal), questions given their safe answer. Installed for the
// object's lifetime.
class CPlainMessageBox : public IMessageBoxHandler {
public:
    CPlainMessageBox();
    ~CPlainMessageBox() override;
    CPlainMessageBox(const CPlainMessageBox&) = delete;
    CPlainMessageBox& operator=(const CPlainMessageBox&) = delete;

    int Show(const std::string& caption, const std::string& text, unsigned int style) override;

private:
    IMessageBoxHandler* m_previous;
};

// Keeps the texts shown instead of printing them, for a command that
// reports them itself; questions get their safe answer. Installed for the
// object's lifetime.
class CRecordingMessageBox : public IMessageBoxHandler {
public:
    CRecordingMessageBox();
    ~CRecordingMessageBox() override;
    CRecordingMessageBox(const CRecordingMessageBox&) = delete;
    CRecordingMessageBox& operator=(const CRecordingMessageBox&) = delete;

    int Show(const std::string& caption, const std::string& text, unsigned int style) override;
    // The last text shown since the last Clear, empty when none.
    const std::string& Last() const { return m_last; }
    void Clear() { m_last.clear(); }

private:
    IMessageBoxHandler* m_previous;
    std::string m_last;
};

// Reads one answer line from in; true for "y" or "yes" (any case). False on
// any other line, at the end of input or when interrupted.
bool ReadYesAnswer(std::FILE* in);

}  // namespace cli
