#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.

#include <filesystem>
#include <string>

namespace test {

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "tessarine-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    // path() / name, as a string.
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Writes bytes to path (creating parent folders), replacing what was there.
void WriteFile(const std::string& path, const std::string& bytes);
// The whole content of path; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Restores the current folder when it goes (operations that change it).
class CurrentDirGuard {
public:
    CurrentDirGuard() : m_saved(std::filesystem::current_path()) {}
    ~CurrentDirGuard() { std::filesystem::current_path(m_saved); }

private:
    std::filesystem::path m_saved;
};

}  // namespace test
