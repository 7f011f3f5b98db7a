// Two processes on one store at once, as the installer's two processes are:
// both create the database, then write the same values and create the same
// keys in a loop.

#include "platform/registry/RegistryStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRounds = 150;
constexpr int kWriters = 2;

std::string Sz(const std::string& text)
{
    return std::string(text.c_str(), text.size() + 1);
}

// The work of one writer process; returns the number of failed operations.
int WriteInLoop(const std::string& path, int writer)
{
    RegistryStore store(path);
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string shared = "Software\\Race\\Key" + std::to_string(round % 7);
        const std::string own = "Software\\Race\\Writer" + std::to_string(writer);
        const std::string mine = "R" + std::to_string(round);
        const std::string text = Sz("writer " + std::to_string(writer));
        failures += store.CreateKey(HKEY_LOCAL_MACHINE, shared) != ERROR_SUCCESS;
        failures += store.CreateKey(HKEY_LOCAL_MACHINE, own) != ERROR_SUCCESS;
        failures += store.SetValue(HKEY_LOCAL_MACHINE, shared, "Shared", REG_SZ, text.data(),
                                   static_cast<DWORD>(text.size())) != ERROR_SUCCESS;
        failures += store.SetValue(HKEY_LOCAL_MACHINE, own, mine, REG_SZ, text.data(),
                                   static_cast<DWORD>(text.size())) != ERROR_SUCCESS;
    }
    return failures;
}

// Starts the writers together (they wait on a pipe until it closes) and
// returns their failure counts.
std::vector<int> RunWriters(const std::string& path)
{
    int gate[2];
    if (pipe(gate) != 0)
        return {};
    std::vector<pid_t> pids;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(gate[1]);
            char byte;
            while (read(gate[0], &byte, 1) > 0) {
            }
            _exit(std::min(WriteInLoop(path, writer), 100));
        }
        pids.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    std::vector<int> failures;
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        failures.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return failures;
}

TEST(RegistryConcurrency, TwoProcessesCreateAndWriteTheSameStoreWithoutLoss)
{
    test::TempDir dir("tessarine-registry");
    const std::string path = dir.file("fresh/registry.sqlite3");
    EXPECT_EQ(RunWriters(path), std::vector<int>(kWriters, 0));

    RegistryStore store(path);
    for (int writer = 0; writer < kWriters; ++writer)
        for (int round = 0; round < kRounds; ++round) {
            RegistryValue value;
            const std::string own = "Software\\Race\\Writer" + std::to_string(writer);
            ASSERT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, own, "R" + std::to_string(round), value), ERROR_SUCCESS)
                << own << " R" << round;
            EXPECT_EQ(value.data, Sz("writer " + std::to_string(writer)));
        }
    std::vector<RegistryKeyRecord> keys;
    ASSERT_EQ(store.ExportTree(HKEY_LOCAL_MACHINE, "Software\\Race", keys), ERROR_SUCCESS);
    EXPECT_EQ(keys.size(), 1u + 7u + kWriters);
    // The seed values were written once and are there.
    RegistryValue seed;
    EXPECT_EQ(store.GetValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                             "ProgramFilesDir", seed),
              ERROR_SUCCESS);
}

}  // namespace
