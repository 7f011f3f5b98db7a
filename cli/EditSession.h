#pragma once
// What every edit command of the tool does around its operation: load the
// configuration, reach entries by document index through a filled list (as
// the window reaches them through its rows), and save only after a change.
// A session holds the upload run lock of its file from the load to its end:
// a running upload saves the whole document when it ends, which would
// silently undo an edit made meanwhile.

#include "cli/Commands.h"
#include "cli/OptionParser.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MemoryListCtrl.h"
#include "upload/RunLock.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

class EditSession {
public:
    // command names the command in usage messages.
    explicit EditSession(std::string command) : m_command(std::move(command)) {}

    // Takes the site file's path as an absolute path (the operations may
    // change the current folder), takes its upload run lock and loads it.
    // kExitOk; kExitRefused (file untouched) when an upload run holds the
    // lock; or kExitLoadFailed after the load's message.
    int Load(const std::string& sitePath);

    // Checks the parsed arguments: a usage error ("give " + need) when they
    // were not understood or the number of positional values is not count
    // (at least count with orMore); otherwise loads the configuration named
    // by the first. kExitOk to go on, else the exit status to return.
    int Open(const ParsedOptions& options, std::size_t count, bool orMore, const std::string& need);

    // Parses the INDEX arguments against an array of count entries. Empty
    // (after printing a usage error) when one is no index in range.
    std::optional<std::vector<int>> ParseIndices(const std::vector<std::string>& texts,
                                                 std::size_t count, const char* what);

    // A freshly filled list with the rows of the entries at indices selected.
    CMemoryListCtrl& ServerRows(const std::vector<int>& indices);
    CMemoryListCtrl& FileRows(const std::vector<int>& indices);

    // The exit status after the operation answered changed: saves the file
    // when it changed (kExitOk or kExitSaveFailed); kExitRefused otherwise,
    // leaving the file untouched.
    int Finish(bool changed);

    // The configuration file's absolute path, once loaded.
    const std::string& Path() const { return m_path; }

    // Prints a usage error for this command; returns kExitUsage.
    int Usage(const std::string& message) const { return UsageError(m_command, message); }

    CTessarineDoc doc;

private:
    CMemoryListCtrl& Select(CMemoryListCtrl& list, const std::vector<int>& indices);

    std::string m_command;
    std::string m_path;
    CMemoryListCtrl m_list;
    CUploadRunLock m_runLock;
};

// Reads the password from standard input (one line, without its line end)
// when --password-stdin was given, or takes --password. Empty when neither
// was given; a usage error (reported, usageFailed set) when both were, or no
// line could be read.
std::optional<std::string> PasswordOption(const EditSession& session, const ParsedOptions& options,
                                          bool& usageFailed);

// --ascii gives 1, --binary 0, neither nothing; both: a usage error.
std::optional<int> TransferTypeOption(const EditSession& session, const ParsedOptions& options,
                                      bool& usageFailed);

enum class EntryKind { servers, files };

// remove-server and remove-file: SITE.tsn INDEX... removes those entries
// through the delete operation of their list.
int RunRemoveCommand(const Args& args, const char* command, EntryKind kind);

// The options that add-server and edit-server take.
const std::vector<OptionSpec>& ServerOptionSpecs();

}  // namespace cli
