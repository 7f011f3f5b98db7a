#include "ui/TessarineView.h"

#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"
#include "platform/widgets/QtListCtrl.h"
#include "ui/DialogTemplate.h"
#include "ui/LocalFileDlg.h"
#include "ui/ServerDlg.h"

#include <QPushButton>
#include <QResizeEvent>

namespace {

constexpr QSize kFormSizeDlu(200, 143);

const DialogControl kForm[] = {
    {CTessarineView::IDC_SERVER_ADD, ControlKind::pushButton, "A&dd...", {7, 17, 50, 14}},
    {CTessarineView::IDC_SERVER_EDIT, ControlKind::pushButton, "Ed&it...", {7, 35, 50, 14}},
    {CTessarineView::IDC_SERVER_DELETE, ControlKind::pushButton, "Dele&te", {7, 53, 50, 14}},
    {CTessarineView::IDC_SERVERS_LABEL, ControlKind::label, "&Web Site FTP Servers:", {61, 7, 132, 8}},
    {CTessarineView::IDC_SERVER_LIST, ControlKind::listControl, "", {61, 17, 132, 50}},
    {CTessarineView::IDC_FILE_ADD, ControlKind::pushButton, "&Add...", {7, 85, 50, 14}},
    {CTessarineView::IDC_FILE_EDIT, ControlKind::pushButton, "&Edit...", {7, 103, 50, 14}},
    {CTessarineView::IDC_FILE_DELETE, ControlKind::pushButton, "De&lete", {7, 121, 50, 14}},
    {0, ControlKind::label, "Local Files To &Upload:", {61, 75, 132, 8}},
    {CTessarineView::IDC_FILE_LIST, ControlKind::listControl, "", {61, 85, 132, 51}},
};

}  // namespace

CTessarineView::CTessarineView(QWidget* parent) : QWidget(parent)
{
    CreateControls(*this, kForm);
    // A form's buttons are not the default of anything: Enter in a list
    // presses none of them.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    DoDataExchange();
    setMinimumSize(FormSize(*this));
    const std::pair<int, void (CTessarineView::*)()> buttons[] = {
        {IDC_SERVER_ADD, &CTessarineView::OnServerAdd},   {IDC_SERVER_EDIT, &CTessarineView::OnServerEdit},
        {IDC_SERVER_DELETE, &CTessarineView::OnServerDelete}, {IDC_FILE_ADD, &CTessarineView::OnFileAdd},
        {IDC_FILE_EDIT, &CTessarineView::OnFileEdit},     {IDC_FILE_DELETE, &CTessarineView::OnFileDelete},
    };
    for (const auto& [id, handler] : buttons)
        connect(FindControlAs<QPushButton>(*this, id), &QPushButton::clicked, this, [this, handler] {
            (this->*handler)();
        });
    m_listServers->onClick = [this] { OnListClick(); };
    m_listFiles->onClick = [this] { OnListClick(); };
    m_listServers->onDoubleClick = [this] { OnServerEdit(); };
    m_listFiles->onDoubleClick = [this] { OnFileEdit(); };
}

CTessarineView::~CTessarineView() = default;

void CTessarineView::DoDataExchange()
{
    m_listServers = static_cast<CQtListCtrl*>(GetDlgItem(IDC_SERVER_LIST));
    m_listFiles = static_cast<CQtListCtrl*>(GetDlgItem(IDC_FILE_LIST));
}

QSize CTessarineView::FormSize(const QWidget& widget)
{
    return DialogSize(widget, kFormSizeDlu);
}

QWidget* CTessarineView::GetDlgItem(int id) const
{
    return FindControl(*this, id);
}

CTessarineDoc* CTessarineView::Document() const
{
    return dynamic_cast<CTessarineDoc*>(GetDocument());
}

void CTessarineView::OnUpdate(CView*, long, CObject*)
{
    if (CTessarineDoc* doc = Document()) {
        doc->FillServerList(*m_listServers);
        doc->FillFileList(*m_listFiles);
    }
    UpdateButtons();
}

void CTessarineView::UpdateButtons()
{
    const int servers = m_listServers->GetSelectedCount();
    const int files = m_listFiles->GetSelectedCount();
    GetDlgItem(IDC_SERVER_EDIT)->setEnabled(servers == 1);
    GetDlgItem(IDC_SERVER_DELETE)->setEnabled(servers >= 1);
    GetDlgItem(IDC_FILE_EDIT)->setEnabled(files == 1);
    GetDlgItem(IDC_FILE_DELETE)->setEnabled(files >= 1);
}

void CTessarineView::OnListClick()
{
    UpdateButtons();
}

void CTessarineView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CTessarineView::OnSize(int width, int height)
{
    if (width <= 0 || height <= 0 || !m_listServers || !m_listFiles)
        return;
    const QWidget* add = GetDlgItem(IDC_SERVER_ADD);
    const QWidget* label = GetDlgItem(IDC_SERVERS_LABEL);
    if (!add || !label)
        return;
    // The margins of the form as designed: the buttons' distance from the
    // left edge on the right, the label's from the top at the bottom.
    const int rightMargin = add->x();
    const int bottomMargin = label->y();
    QRect servers = m_listServers->geometry();
    servers.setWidth(std::max(0, width - rightMargin - servers.left()));
    m_listServers->setGeometry(servers);
    QRect files = m_listFiles->geometry();
    files.setWidth(std::max(0, width - rightMargin - files.left()));
    files.setHeight(std::max(0, height - bottomMargin - files.top()));
    m_listFiles->setGeometry(files);
}

void CTessarineView::OnServerAdd()
{
    if (CTessarineDoc* doc = Document())
        doc->AddServerThroughDialog(*this);
}

void CTessarineView::OnServerEdit()
{
    if (CTessarineDoc* doc = Document(); doc && doc->EditServer(*this, *m_listServers))
        UpdateButtons();
}

void CTessarineView::OnServerDelete()
{
    if (CTessarineDoc* doc = Document())
        doc->DeleteServers(*m_listServers);
}

void CTessarineView::OnFileAdd()
{
    if (CTessarineDoc* doc = Document())
        doc->AddFileThroughDialog(*this);
}

void CTessarineView::OnFileEdit()
{
    if (CTessarineDoc* doc = Document(); doc && doc->EditFile(*this, *m_listFiles))
        UpdateButtons();
}

void CTessarineView::OnFileDelete()
{
    if (CTessarineDoc* doc = Document())
        doc->DeleteFiles(*m_listFiles);
}

int CTessarineView::RunServerDlg(ServerDlgValues& values)
{
    CServerDlg dlg(this);
    dlg.m_strServerName = values.m_strServerName;
    dlg.m_strPassword = values.m_strPassword;
    dlg.m_strUserName = values.m_strUserName;
    dlg.m_strBaseFolder = values.m_strBaseFolder;
    const int result = dlg.DoModal();
    if (result == IDOK)
        values = {dlg.m_strServerName, dlg.m_strPassword, dlg.m_strUserName, dlg.m_strBaseFolder};
    return result;
}

int CTessarineView::RunLocalFileDlg(LocalFileDlgValues& values)
{
    CLocalFileDlg dlg(this);
    dlg.m_strFileName = values.m_strFileName;
    dlg.m_strWebFolder = values.m_strWebFolder;
    dlg.m_nTransferType = values.m_nTransferType;
    dlg.m_nFilterIndex = values.m_nFilterIndex;
    dlg.m_strInitialFolder = values.m_strInitialFolder;
    const int result = dlg.DoModal();
    if (result == IDOK)
        values = {dlg.m_strFileName, dlg.m_strWebFolder, dlg.m_nTransferType, dlg.m_nFilterIndex,
                  dlg.m_strInitialFolder};
    return result;
}
