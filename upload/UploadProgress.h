#pragma once
// The upload run's progress sink: what the run tells the user while it works,
// and the continue flag through which the user stops it. The window's
// progress dialog, the tool's terminal output and the tests implement it.
//
// The run calls the setters between steps, on its own thread; none of them
// may block. The continue flag starts true; ClearContinue (called by the run,
// and by the implementation itself on Cancel) clears it for good.

#include <cstdint>
#include <string>

// What became of one file on one server.
enum class UploadOutcome {
    Sent,        // written under the temporary name and renamed; record updated
    Unchanged,   // passed the unchanged test; nothing written
    Skipped,     // not sent after a question or a refused step (folder, rename, local open)
    Failed,      // an error while sending it (its text was shown)
    Stopped,     // the run stopped while sending it (temporary file left as written)
    WouldSend,   // a dry run: it would have been sent
};

const char* UploadOutcomeName(UploadOutcome outcome);

class IUploadProgress {
public:
    virtual ~IUploadProgress() = default;

    virtual void SetServerName(const std::string& serverName) = 0;
    virtual void SetFileName(const std::string& localPath) = 0;
    virtual void SetDestination(const std::string& remotePath) = 0;
    // The size of the file about to be tested or sent; the bar starts empty.
    virtual void SetFileSize(std::int64_t bytes) = 0;
    // Bytes of the current file written so far.
    virtual void SetBytesSent(std::int64_t bytes) = 0;
    // The end of the current file on the current server (after SetFileName).
    virtual void SetFileOutcome(UploadOutcome outcome) = 0;
    // Once per server and run: plain FTP to a server that offers TLS
    // (serverName as written, without "ftp://"). Nothing shown by default.
    virtual void ServerOffersTls(const std::string& serverName) { static_cast<void>(serverName); }

    // True while the run may go on.
    virtual bool IsContinuing() const = 0;
    // Clears the continue flag; it is never set again during this run.
    virtual void ClearContinue() = 0;
};
