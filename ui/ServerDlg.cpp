#include "ui/ServerDlg.h"

#include "platform/framework/MessageBox.h"
#include "ui/DialogTemplate.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kHelpTopic = 3;

const DialogControl kTemplate[] = {
    {0, ControlKind::label, "&Server Name:", {7, 9, 48, 8}},
    {CServerDlg::IDC_SERVER_NAME, ControlKind::edit, "", {55, 7, 178, 14}},
    {0, ControlKind::label, "&User Name:", {7, 27, 48, 8}},
    {CServerDlg::IDC_USER_NAME, ControlKind::edit, "", {55, 25, 124, 14}},
    {0, ControlKind::label, "&Password:", {7, 45, 48, 8}},
    {CServerDlg::IDC_PASSWORD, ControlKind::passwordEdit, "", {55, 43, 124, 14}},
    {0, ControlKind::label, "&Base Folder:", {7, 63, 48, 8}},
    {CServerDlg::IDC_BASE_FOLDER, ControlKind::edit, "", {55, 61, 124, 14}},
    {IDOK, ControlKind::defPushButton, "OK", {129, 83, 50, 14}},
    {IDCANCEL, ControlKind::pushButton, "Cancel", {183, 83, 50, 14}},
};

}  // namespace

CServerDlg::CServerDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Web Site FTP Server"));
    // The help topic F1 shows while the dialog is up.
    setProperty("helpId", kHelpTopic);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(DialogSize(*this, {240, 104}));
    CreateControls(*this, kTemplate);
    m_serverName = FieldText(FindControlAs<QLineEdit>(*this, IDC_SERVER_NAME));
    m_password = FieldText(FindControlAs<QLineEdit>(*this, IDC_PASSWORD));
    m_userName = FieldText(FindControlAs<QLineEdit>(*this, IDC_USER_NAME));
    m_baseFolder = FieldText(FindControlAs<QLineEdit>(*this, IDC_BASE_FOLDER));
    m_ok = FindControlAs<QPushButton>(*this, IDOK);
    connect(m_ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(FindControlAs<QPushButton>(*this, IDCANCEL), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_serverName.edit(), &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
    connect(m_userName.edit(), &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
}

CServerDlg::~CServerDlg() = default;

int CServerDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CServerDlg::OnInitDialog()
{
    DoDataExchange(false);
    UpdateOkButton();
    m_serverName.edit()->setFocus(Qt::OtherFocusReason);
    return true;
}

void CServerDlg::DoDataExchange(bool saveAndValidate)
{
    // In the exchange order of the design: server name, password, user name,
    // base folder.
    if (saveAndValidate) {
        m_strServerName = m_serverName.Get();
        m_strPassword = m_password.Get();
        m_strUserName = m_userName.Get();
        m_strBaseFolder = m_baseFolder.Get();
    } else {
        m_serverName.Set(m_strServerName);
        m_password.Set(m_strPassword);
        m_userName.Set(m_strUserName);
        m_baseFolder.Set(m_strBaseFolder);
    }
}

void CServerDlg::OnOK()
{
    DoDataExchange(true);
    accept();
}

void CServerDlg::UpdateOkButton()
{
    m_ok->setEnabled(!m_userName.IsEmpty() && !m_serverName.IsEmpty());
}
