#pragma once
// One logged-in FTP connection, made by CInternetSession::GetFtpConnection
// and owned by its caller. Every call blocks until the server answered or a
// time-out of the session fired. The bool operations give the server's
// verdict (true for a 2xx reply) and never raise; GetLastReplyText then holds
// the reply, or the error that kept the command from being answered.
//
// After a time-out, an end of the connection, a 421 or a reply that is not
// FTP, the connection is dead: every later call fails at once with the same
// text. Names, folders and other arguments that contain CR, LF or a zero byte
// are never sent; the call fails with a text saying so.

#include "platform/ftp/FtpConstants.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CInternetFile;
class CFtpFileFind;
class CInternetSession;

namespace ftp {
class FtpSession;
}

class CFtpConnection {
public:
    virtual ~CFtpConnection();  // closes the connection (sends QUIT)
    CFtpConnection(const CFtpConnection&) = delete;
    CFtpConnection& operator=(const CFtpConnection&) = delete;

    // PWD: the current remote folder (the server's quoted path, doubled
    // quotes undone, or an unquoted path that begins with "/"). False, directory unchanged, when the server refuses.
    bool GetCurrentDirectory(std::string& directory);
    // CWD: absolute when it begins with "/", else relative. An empty
    // folder fails without sending anything.
    bool SetCurrentDirectory(const std::string& directory);
    // MKD, relative to the current folder unless absolute. An existing
    // folder gives false.
    bool CreateDirectory(const std::string& directory);
    // RMD.
    bool RemoveDirectory(const std::string& directory);
    // RNFR existing, then RNTO newName (sent together; a refused RNFR
    // gives false).
    bool Rename(const std::string& existingName, const std::string& newName);
    // Rename, for a caller that looks newName up with CFtpFileFind right
    // after: that look-up travels with the rename (one round trip instead
    // of two) and the FindFile is answered from it. Any other call in
    // between drops it, and FindFile then asks the server as usual.
    // transferFollows: another OpenFile is expected soon; in active mode its
    // data port is then named in the same write.
    bool RenameAndLookUp(const std::string& existingName, const std::string& newName, bool transferFollows = false);
    // DELE.
    bool Remove(const std::string& fileName);

    // Pipelining: the folder changes and look-ups the caller is about to
    // make, in its order, sent ahead in one write where the connection
    // allows it; the calls that follow are then answered from their
    // replies as long as they ask exactly that, in that order. Anything
    // else drops the rest (see DropLookAhead). Returns how many steps went.
    struct AheadStep {
        bool folder;           // true: SetCurrentDirectory(argument); false: a look-up of a name
        std::string argument;
    };
    std::size_t SendAhead(const std::vector<AheadStep>& steps);
    bool HasCommandsAhead() const;
    // Steps to send at the end of the next RenameAndLookUp's write, where
    // pipelining allows it (the next file's folder, say); forgotten by any
    // other SendAhead.
    void SendAheadWithNextRename(const std::vector<AheadStep>& steps);
    // Forgets what was sent ahead, reading the replies still owed first.
    void DropLookAhead();

    // Opens fileName on the server for writing (access GENERIC_WRITE; STOR)
    // with FTP_TRANSFER_TYPE_ASCII (TYPE A, lone LF sent as CRLF) or
    // FTP_TRANSFER_TYPE_BINARY (TYPE I, bytes unchanged). Returns a new file
    // that the caller owns, closes and deletes before this connection goes.
    // Raises CInternetException when the server refuses or the data
    // connection cannot be made (never returns null). GENERIC_READ is not
    // supported and raises.
    CInternetFile* OpenFile(const std::string& fileName, std::uint32_t access = GENERIC_READ,
                            std::uint32_t flags = FTP_TRANSFER_TYPE_BINARY, std::uintptr_t context = 1);

    // QUIT and close; later calls fail. Ends an open file's transfer first.
    void Close();

    // The last reply of the server (its lines joined by "\n"), or the text of
    // the error that ended the last call.
    std::string GetLastReplyText() const;
    // Whether data connections are made in passive mode (asked for, or
    // fallen back to after the server refused active mode).
    bool IsPassive() const;
    // "host:port" as connected to.
    std::string GetServerName() const;
    // Plain FTP to a server that offers TLS (AUTH TLS in its features).
    bool OffersTls() const;

private:
    friend class CInternetSession;
    friend class CFtpFileFind;
    explicit CFtpConnection(std::shared_ptr<ftp::FtpSession> session);

    std::shared_ptr<ftp::FtpSession> m_session;
};
