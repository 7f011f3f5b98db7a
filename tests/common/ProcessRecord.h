#pragma once
// Reads what tessarine-record-args wrote (tests/common/RecordArgs.cpp).

#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

#include <sstream>
#include <string>
#include <vector>

namespace test {

struct ProcessRecord {
    std::string exe;
    std::string cwd;
    std::vector<std::string> args;
    std::vector<int> fds;
    bool sessionLeader = false;
};

inline std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Waits for the record at path and reads it; false when none appeared.
inline bool ReadProcessRecord(const std::string& path, ProcessRecord& record)
{
    if (!WaitForFile(path))
        return false;
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (key == "exe")
            record.exe = value;
        else if (key == "cwd")
            record.cwd = value;
        else if (key == "arg")
            record.args.push_back(FromHex(value));
        else if (key == "fd")
            record.fds.push_back(std::stoi(value));
        else if (key == "session-leader")
            record.sessionLeader = value == "yes";
    }
    return true;
}

}  // namespace test
