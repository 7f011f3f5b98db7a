#pragma once
// The server dialog (resource 130, "Web Site FTP Server"): the modal box in
// which the user types one FTP server. It only collects four texts, taken as
// typed; duplicate checks and storing are the document's. The caller sets
// the members before DoModal and reads them after IDOK; Cancel, Escape or
// the close box leave them as they were.

#include "ui/FieldText.h"

#include <QDialog>

#include <string>

class QPushButton;

class CServerDlg : public QDialog {
public:
    explicit CServerDlg(QWidget* parent);
    ~CServerDlg() override;

    std::string m_strServerName;
    std::string m_strPassword;
    std::string m_strUserName;
    std::string m_strBaseFolder;

    // Shows the dialog with the members in its fields and blocks until it
    // ends: IDOK (the fields were copied into the members) or IDCANCEL.
    int DoModal();

    // The members into the fields (false) or the fields into the members.
    void DoDataExchange(bool saveAndValidate);

    static constexpr int kResourceId = 130;
    static constexpr int IDC_SERVER_NAME = 1007;
    static constexpr int IDC_USER_NAME = 1008;
    static constexpr int IDC_PASSWORD = 1009;
    static constexpr int IDC_BASE_FOLDER = 1019;

private:
    bool OnInitDialog();
    void OnOK();
    // OK needs a server name and a user name of at least one character.
    void UpdateOkButton();

    FieldText m_serverName, m_password, m_userName, m_baseFolder;
    QPushButton* m_ok = nullptr;
};
