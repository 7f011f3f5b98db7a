#pragma once
// The two entry dialogs as the document's operations see them: the values a
// dialog shows and hands back, and IEntryDialogs, the window that runs them.
// Toolkit-free: the configuration window runs Qt dialogs behind IEntryDialogs,
// the command-line tool fills the values from its options, tests script them.

#include <string>

// What the server dialog shows and hands back. All texts, taken as typed.
struct ServerDlgValues {
    std::string m_strServerName;
    std::string m_strPassword;
    std::string m_strUserName;
    std::string m_strBaseFolder;
};

// What the local file dialog shows and hands back.
struct LocalFileDlgValues {
    std::string m_strFileName;       // after OK: the full path of the file found
    std::string m_strWebFolder;      // as typed ("\" not yet turned into "/")
    int m_nTransferType = -1;        // 0 binary, 1 ASCII, -1 none chosen
    int m_nFilterIndex = 0;          // the Browse box's filter, counted from 1
    std::string m_strInitialFolder;  // the folder the Browse box opens in
};

// The window that owns the entry dialogs (the "parent" of the edit operations).
// Each Run shows its dialog modally over values and blocks until it ends. It
// returns IDOK after the user confirmed, with values holding what the dialog
// ends with; any other result (IDCANCEL) leaves values exactly as they came.
class IEntryDialogs {
public:
    virtual ~IEntryDialogs() = default;
    virtual int RunServerDlg(ServerDlgValues& values) = 0;
    virtual int RunLocalFileDlg(LocalFileDlgValues& values) = 0;
};
