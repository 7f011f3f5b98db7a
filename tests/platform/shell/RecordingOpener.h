#pragma once
// A desktop opener for tests: records each call ("verb|target") and answers
// with a fixed code. Installed for its lifetime.

#include "platform/shell/DesktopOpener.h"

#include <string>
#include <vector>

namespace test {

class RecordingOpener : public IDesktopOpener {
public:
    explicit RecordingOpener(int code) : m_code(code), m_previous(SetDesktopOpener(this)) {}
    ~RecordingOpener() override { SetDesktopOpener(m_previous); }
    int Open(const std::string& verb, const std::string& target) override
    {
        calls.push_back(verb + "|" + target);
        return m_code;
    }
    std::vector<std::string> calls;

private:
    int m_code;
    IDesktopOpener* m_previous;
};

}  // namespace test
