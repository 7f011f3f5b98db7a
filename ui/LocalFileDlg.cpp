#include "ui/LocalFileDlg.h"

#include "model/LocalFileLookup.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"
#include "ui/BrowseForLocalFile.h"
#include "ui/DialogTemplate.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kHelpTopic = 4;

const DialogControl kTemplate[] = {
    {0, ControlKind::label, "&File Name:", {7, 7, 172, 8}},
    {CLocalFileDlg::IDC_FILE_NAME, ControlKind::edit, "", {7, 17, 172, 14}},
    {CLocalFileDlg::IDC_BROWSE, ControlKind::pushButton, "&Browse...", {183, 17, 50, 14}},
    {0, ControlKind::label, "&Web Site Folder:", {7, 39, 172, 8}},
    {CLocalFileDlg::IDC_WEB_FOLDER, ControlKind::edit, "", {7, 49, 172, 14}},
    {0, ControlKind::groupBox, "File &Transfer Type", {7, 71, 113, 28}},
    {CLocalFileDlg::IDC_BINARY, ControlKind::radioButton, "Bi&nary", {14, 83, 35, 10}},
    {CLocalFileDlg::IDC_ASCII, ControlKind::radioButton, "&ASCII Text", {61, 83, 50, 10}},
    {IDOK, ControlKind::defPushButton, "OK", {129, 108, 50, 14}},
    {IDCANCEL, ControlKind::pushButton, "Cancel", {183, 108, 50, 14}},
};

constexpr char kFilter[] =
    "Web Pages (*.htm;*.html)\0*.htm;*.html\0"
    "Image Files (*.gif;*.jpg;*.jpeg)\0*.gif;*.jpg;*.jpeg\0"
    "All Files (*.*)\0*.*\0";

}  // namespace

const std::string& CLocalFileDlg::FilterText()
{
    // sizeof counts the literal's own closing zero: the extra zero byte.
    static const std::string text(kFilter, sizeof kFilter);
    return text;
}

CLocalFileDlg::CLocalFileDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Local File To Upload"));
    // The help topic F1 shows while the dialog is up.
    setProperty("helpId", kHelpTopic);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(DialogSize(*this, {240, 129}));
    CreateControls(*this, kTemplate);
    m_fileName = FieldText(FindControlAs<QLineEdit>(*this, IDC_FILE_NAME));
    m_webFolder = FieldText(FindControlAs<QLineEdit>(*this, IDC_WEB_FOLDER));
    m_binary = FindControlAs<QRadioButton>(*this, IDC_BINARY);
    m_ascii = FindControlAs<QRadioButton>(*this, IDC_ASCII);
    m_ok = FindControlAs<QPushButton>(*this, IDOK);
    connect(m_ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(FindControlAs<QPushButton>(*this, IDCANCEL), &QPushButton::clicked, this, &QDialog::reject);
    connect(FindControlAs<QPushButton>(*this, IDC_BROWSE), &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_fileName.edit(), &QLineEdit::textChanged, this, [this] { UpdateOkButton(); });
    // Leaving the field proposes the type; editingFinished would not do:
    // it also fires on Enter and not when the text stayed the same.
    m_fileName.edit()->installEventFilter(this);
}

CLocalFileDlg::~CLocalFileDlg() = default;

int CLocalFileDlg::DoModal()
{
    m_bEnded = false;
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CLocalFileDlg::OnInitDialog()
{
    DoDataExchange(false);
    UpdateOkButton();
    m_fileName.edit()->setFocus(Qt::OtherFocusReason);
    return true;
}

void CLocalFileDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strFileName = m_fileName.Get();
        m_strWebFolder = m_webFolder.Get();
        m_nTransferType = m_binary->isChecked() ? 0 : (m_ascii->isChecked() ? 1 : -1);
    } else {
        m_fileName.Set(m_strFileName);
        m_webFolder.Set(m_strWebFolder);
        CheckTransferType(m_nTransferType);
    }
}

void CLocalFileDlg::CheckTransferType(int type)
{
    // Automatic radio buttons cannot be all unchecked while exclusive.
    m_binary->setAutoExclusive(false);
    m_ascii->setAutoExclusive(false);
    m_binary->setChecked(type == 0);
    m_ascii->setChecked(type == 1);
    m_binary->setAutoExclusive(true);
    m_ascii->setAutoExclusive(true);
}

void CLocalFileDlg::UpdateOkButton()
{
    m_ok->setEnabled(!m_fileName.IsEmpty());
}

void CLocalFileDlg::UpdateTransferType()
{
    if (m_fileName.IsEmpty())
        return;
    m_nTransferType = CTessarineDoc::IsAsciiTextFile(m_fileName.Get()) ? 1 : 0;
    CheckTransferType(m_nTransferType);
}

bool CLocalFileDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A context menu of the field takes the focus only for a moment; the
    // user has not left the field.
    // Once OK has taken the members, the focus leaving with the closing
    // window must not change the type that was confirmed.
    if (watched == m_fileName.edit() && event->type() == QEvent::FocusOut && !m_bEnded &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        UpdateTransferType();
    return QDialog::eventFilter(watched, event);
}

void CLocalFileDlg::OnBrowse()
{
    std::string name;
    if (!BrowseForLocalFile(this, name, FilterText(), m_nFilterIndex, m_strInitialFolder, std::string(),
                            "Local File"))
        return;
    m_fileName.Set(name);
    UpdateTransferType();
}

void CLocalFileDlg::OnOK()
{
    std::string typed = m_fileName.Get();
    if (!ConfirmLocalFileName(typed)) {
        m_fileName.edit()->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_fileName.Set(typed);
    DoDataExchange(true);
    m_bEnded = true;
    accept();
}
