#pragma once
// The entry dialogs of the command-line tool: instead of showing a window,
// each run applies the values given on the command line over what the
// operation put into the dialog, and confirms it the way the dialog's OK
// would, or cancels when the dialog could not have been confirmed (then the
// reason is printed to standard error and refused() is true).

#include "model/EntryDialogs.h"

#include <optional>
#include <string>

namespace cli {

class CommandLineDialogs : public IEntryDialogs {
public:
    // Server dialog values to set; the others stay as the dialog got them.
    std::optional<std::string> serverName, userName, password, baseFolder;
    // Local file dialog: the file as given (shown in messages) and made
    // absolute (looked up), the web folder, and the type (0 binary,
    // 1 ASCII; unset: from the file's content when a file is given).
    std::optional<std::string> fileTyped, fileAbsolute, webFolder;
    std::optional<int> transferType;
    // fileAbsolute names a file found already (a match of a pattern): it is
    // taken as it stands, not looked up again as a pattern.
    bool fileFound = false;

    // OK needs a server name and a user name, as the dialog's OK button does.
    int RunServerDlg(ServerDlgValues& values) override;
    // OK needs the file name to match an existing file (looked up as the
    // dialog's OK does); the file name becomes its full path.
    int RunLocalFileDlg(LocalFileDlgValues& values) override;

    bool refused() const { return m_refused; }

private:
    int Refuse(const std::string& message);
    bool m_refused = false;
};

}  // namespace cli
