#pragma once
// One server's connection during an upload run: the FTP connection (owned),
// the login folder, the temporary name last formed on it, and the folder it
// was last left in. Going to a file's remote folder, creating the missing
// levels, lives here.
//
// The connection skips the two CWDs of a file whose target folder is the one
// it last entered, as long as no command failed since: the server's answer
// could not differ, and a run of many files in one folder then costs no
// folder commands at all. When the root folder is absolute, the two CWDs
// go as one, to the absolute path of the target folder; only when that
// fails are the two steps made (so that their questions come as designed).

#include "upload/UploadRunControl.h"

#include <memory>
#include <optional>
#include <string>

class CFtpConnection;

class CUploadConnection {
public:
    explicit CUploadConnection(std::unique_ptr<CFtpConnection> connection);
    ~CUploadConnection();
    CUploadConnection(const CUploadConnection&) = delete;
    CUploadConnection& operator=(const CUploadConnection&) = delete;

    bool IsOpen() const { return m_ftp != nullptr; }
    CFtpConnection& Ftp() { return *m_ftp; }

    // The login folder (PWD); empty text when the server does not report it.
    void ReadRootFolder();
    const std::string& RootFolder() const { return m_rootFolder; }

    // Remembers the temporary name of the file being worked on.
    void FormTemporaryName(const std::string& temporaryName) { m_lastTemporary = temporaryName; }
    // Removes the temporary file last formed from the current folder, when
    // a file was reached (result ignored).
    void RemoveLastTemporary();
    // QUIT, and forget the connection with its temporary name and folder.
    void Close();

    enum class FolderResult {
        Entered,  // the current folder is the target folder (or the root for an empty one)
        Skip,     // the file is skipped (the user was asked why)
        Missing,  // dry run: the folder does not exist and would be created
    };
    // Goes to targetFolder, creating missing levels (not in a dry run).
    FolderResult GoToFolder(const std::string& targetFolder, CUploadRunControl& control, bool dryRun);
    // A command failed: the next file enters its folder anew.
    void ForgetFolder() { m_enteredFolder.reset(); }
    // The target folder the connection is in, when it knows.
    const std::optional<std::string>& EnteredFolder() const { return m_enteredFolder; }

private:
    bool EnterRoot(CUploadRunControl& control);
    bool CreateLevels(const std::string& targetFolder, CUploadRunControl& control);
    bool MakeLevel(const std::string& level);
    FolderResult EnterAfterCreating(const std::string& targetFolder, CUploadRunControl& control);
    FolderResult Entered(const std::string& targetFolder);
    FolderResult Skip();

    std::unique_ptr<CFtpConnection> m_ftp;
    std::string m_rootFolder;
    std::string m_lastTemporary;
    std::optional<std::string> m_enteredFolder;
};
