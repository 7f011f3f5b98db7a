#pragma once
// The listening side of the running-copies service: one socket per copy,
// "copy-<pid>-<n>.sock" in the runtime folder. It is bound under a
// temporary name and renamed into place once it listens, so that a client
// never meets a socket of a live copy that refuses connections (which it
// would take for the leftover of an ended copy and remove).
//
// Event-loop agnostic: the owner watches Fd() for readability and calls
// HandleConnection(), on the thread that made the service. Handling one
// request blocks until it is answered (the window may ask its user). Not
// thread-safe; the client never asks a service of its own thread (that
// request could never be answered).

#include "platform/shell/RunningCopies.h"

#include <string>

class RunningCopiesService {
public:
    // windows: not owned. folder: the runtime folder, which must exist.
    RunningCopiesService(IRunningCopyWindows& windows, std::string folder);
    ~RunningCopiesService();
    RunningCopiesService(const RunningCopiesService&) = delete;
    RunningCopiesService& operator=(const RunningCopiesService&) = delete;

    // Starts listening; false (and nothing left behind) when it cannot.
    bool Listen();
    // Stops listening and removes the socket. Also done by the destructor.
    void Stop();

    int Fd() const { return m_fd; }
    const std::string& SocketPath() const { return m_path; }
    // Accepts one waiting connection and answers its request; returns at
    // once when none is waiting.
    void HandleConnection();

private:
    void Serve(int connection);

    IRunningCopyWindows& m_windows;
    std::string m_folder;
    std::string m_path;
    int m_fd = -1;
};

// True when path is the socket of a service made on the calling thread.
bool IsServedByThisThread(const std::string& path);
