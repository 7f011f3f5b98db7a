#pragma once
// The lock that keeps two upload runs off one configuration: an exclusive
// flock on the configuration file, held from the start of a run to its end.
// Two runs of the same site (one from cron, one from the window) would write
// the same temporary name into the same folders, and one's rename would then
// publish the other's bytes. Locks are advisory: only runs take them, so
// loading and saving the file are not hindered.

#include <string>

class CUploadRunLock {
public:
    CUploadRunLock() = default;
    ~CUploadRunLock();
    CUploadRunLock(const CUploadRunLock&) = delete;
    CUploadRunLock& operator=(const CUploadRunLock&) = delete;

    enum class Result { Locked, Busy, NoFile };
    // Takes the lock on path without waiting. Busy: another run holds it.
    // NoFile: the file cannot be opened (an untitled or removed
    // configuration): nothing to lock, the run may go on.
    Result Acquire(const std::string& path);
    void Release();

private:
    int m_fd = -1;
};

// The message shown when another run holds the lock. The lock cannot tell
// whether an upload run or an edit holds it, so neither text guesses.
std::string UploadBusyMessage(const std::string& path);
// The tool's line (with its line end) when a command that would save path
// finds the lock held; what says what was not done ("it was not replaced").
std::string RunLockRefusal(const std::string& path, const std::string& what);
