#pragma once
// The local file dialog (resource 131, "Local File To Upload"): the modal box
// in which the user names one local file, the web folder it goes to and its
// transfer type. It proposes the type from the file (IsAsciiTextFile) when
// the file name field loses the focus with text in it and after a Browse,
// and its OK accepts only a file that exists, whose name it replaces by the
// full path of the first match (wildcards "*" and "?"; a folder is no
// match). The caller sets the members before DoModal and reads them after
// IDOK; Cancel leaves them as they were.

#include "ui/FieldText.h"

#include <QDialog>

#include <string>

class QPushButton;
class QRadioButton;

class CLocalFileDlg : public QDialog {
public:
    explicit CLocalFileDlg(QWidget* parent);
    ~CLocalFileDlg() override;

    std::string m_strFileName;
    std::string m_strWebFolder;
    int m_nTransferType = -1;  // 0 binary, 1 ASCII, -1 no button checked
    int m_nFilterIndex = 0;    // the Browse box's filter, counted from 1
    std::string m_strInitialFolder;

    // Shows the dialog and blocks until it ends: IDOK or IDCANCEL.
    int DoModal();
    void DoDataExchange(bool saveAndValidate);

    static constexpr int kResourceId = 131;
    static constexpr int IDC_FILE_NAME = 1010;
    static constexpr int IDC_BROWSE = 1011;
    static constexpr int IDC_WEB_FOLDER = 1012;
    static constexpr int IDC_BINARY = 1013;
    static constexpr int IDC_ASCII = 1014;

    // The Browse box's filters in the platform's form.
    static const std::string& FilterText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnInitDialog();
    void OnOK();
    void OnBrowse();
    void UpdateOkButton();
    void UpdateTransferType();
    void CheckTransferType(int type);

    FieldText m_fileName, m_webFolder;
    QRadioButton* m_binary = nullptr;
    QRadioButton* m_ascii = nullptr;
    QPushButton* m_ok = nullptr;
    bool m_bEnded = false;  // OK has exchanged the fields into the members
};
