#include "app/TessarineApp.h"

#include "app/DesktopRegistration.h"
#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/ShellRegistration.h"
#include "ui/TessarineView.h"
#include "common/RegistryHelpers.h"
#include "install/QtInstallerWindows.h"
#include "install/SessionManager.h"
#include "install/TessarineDescription.h"
#include "res/VersionText.h"
#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "platform/framework/MessageBox.h"
#include "platform/registry/RegistryStore.h"
#include "platform/shell/CommandLine.h"
#include "platform/shell/RuntimeFolder.h"
#include "platform/widgets/QtRunningCopiesService.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QPrintDialog>
#include <QPrinter>

#include <filesystem>
#include <system_error>

namespace {

CTessarineApp* g_app = nullptr;

constexpr const char* kRecentFileSection = "Recent File List";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kPreviewPages = "PreviewPages";

std::string Replace1(std::string text, const std::string& value)
{
    const std::size_t at = text.find("%1");
    return at == std::string::npos ? text : text.replace(at, 2, value);
}

}  // namespace

CTessarineApp* AfxGetApp()
{
    return g_app;
}

CTessarineApp::CTessarineApp(IStartupServices* services)
    : m_systemServices(services ? nullptr : std::make_unique<SystemStartupServices>()),
      m_services(services ? services : m_systemServices.get())
{
    g_app = this;
    m_pszHelpFilePath = std::filesystem::path(GetModulePath()).replace_extension(".hlp").string();
}

CTessarineApp::~CTessarineApp()
{
    m_runningCopies.reset();
    m_pDocTemplate.reset();
    if (g_app == this)
        g_app = nullptr;
}

void CTessarineApp::SetArguments(const std::vector<std::string>& argv)
{
    m_arguments.assign(argv.size() > 1 ? argv.begin() + 1 : argv.end(), argv.end());
    m_pszExeName = argv.empty() ? "Tessup" : std::filesystem::path(argv[0]).stem().string();
    m_lpCmdLine.clear();
    for (const std::string& argument : m_arguments)
        m_lpCmdLine += (m_lpCmdLine.empty() ? "" : " ") + QuoteArgument(argument);
}

bool CTessarineApp::InitInstance()
{
    if (!m_services->InitSockets()) {
        AfxMessageBox(res::IDS_SOCKETS_INIT_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!m_services->InitRuntimeFolder()) {
        AfxMessageBox(res::IDP_OLE_INIT_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // Without the service the program runs on; only an installer could
    // not close it.
    m_runningCopies = std::make_unique<QtRunningCopiesService>(RuntimeFolderPath());
    m_runningCopies->Listen();
    // Qt's dialogs host any widget and draw the platform's look: the control
    // container and three-dimensional controls need no step of their own.
    SetRegistryKey(res::kCompanyKey);
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        res::IDR_MAINFRAME, res::IDR_MAINFRAME_TEXT,
        DocTemplateClasses{[] { return std::make_unique<CTessarineDoc>(); },
                           [] { return new CMainFrame(); },
                           [](QWidget* parent) { return new CTessarineView(parent); }}));
    EnableShellOpen();
    if (m_services->SelfInstall(*this))
        return false;
    RegisterShellFileTypes();
    LoadStdProfileSettings(res::kRecentFileCount);
    CCommandLineInfo info;
    ParseCommandLine(m_arguments, info);
    if (!ProcessShellCommand(info))
        return false;
    CMainFrame* frame = GetMainWnd();
    frame->ShowControlBar(res::ID_ADVERTISEMENT_BAR, false, true);
    frame->show();
    frame->update();
    frame->DragAcceptFiles(true);
    return true;
}

int CTessarineApp::ExitInstance()
{
    m_runningCopies.reset();
    if (m_cmdInfo.m_nShellCommand != CCommandLineInfo::AppUnregister)
        SaveStdProfileSettings();
    if (m_pDocTemplate)
        m_pDocTemplate->CloseAll();
    return 0;
}

bool CTessarineApp::SelfInstall()
{
    SelfInstallApplication application{m_pszAppName, m_pszRegistryKey, m_pszAppName, GetModulePath(),
                                       GetVersionText()};
    QtInstallerWindows windows(m_pszAppName);
    SystemSessionManager session;
    // Uninstalling takes start-up's desktop registration of the type along.
    auto removeDesktopType = [this] {
        UnregisterDesktopType([this](const std::string& commandLine) { m_services->RunRefresh(commandLine); });
    };
    return RunTessarineSelfInstall(application, windows, session, removeDesktopType, m_lpCmdLine);
}

CMainFrame* CTessarineApp::GetMainWnd() const
{
    return m_pDocTemplate ? m_pDocTemplate->GetFrame() : nullptr;
}

CDocument* CTessarineApp::GetDocument() const
{
    return m_pDocTemplate ? m_pDocTemplate->GetDocument() : nullptr;
}

std::string CTessarineApp::GetProfileKey() const
{
    return "Software\\" + m_pszRegistryKey + "\\" + m_pszAppName;
}

void CTessarineApp::SetRegistryKey(const char* company)
{
    m_pszRegistryKey = company;
}

void CTessarineApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate)
{
    m_pDocTemplate = std::move(docTemplate);
}

void CTessarineApp::EnableShellOpen()
{
    // The running copies find each other through the runtime folder; the
    // service name is kept for them, nothing else listens on it.
    m_strShellOpenService = m_pszExeName;
}

std::string CTessarineApp::ProgramPath()
{
    std::error_code error;
    const std::string module = GetModulePath();
    const std::filesystem::path canonical = std::filesystem::canonical(module, error);
    return error ? module : canonical.string();
}

void CTessarineApp::RegisterShellFileTypes()
{
    DocumentTypeInfo info;
    m_pDocTemplate->GetDocString(info.fileTypeId, CSingleDocTemplate::regFileTypeId);
    m_pDocTemplate->GetDocString(info.description, CSingleDocTemplate::regFileTypeName);
    m_pDocTemplate->GetDocString(info.extension, CSingleDocTemplate::filterExt);
    info.programPath = ProgramPath();
    ::RegisterShellFileTypes(info);
    RegisterDesktopType(info.programPath, [this](const std::string& line) { m_services->RunRefresh(line); });
}

void CTessarineApp::LoadStdProfileSettings(int maxRecentFiles)
{
    m_pRecentFileList = std::make_unique<CRecentFileList>(GetProfileKey() + "\\" + kRecentFileSection,
                                                          maxRecentFiles);
    m_pRecentFileList->ReadList();
    m_nNumPreviewPages =
        RegistryGetDword(HKEY_CURRENT_USER, GetProfileKey() + "\\" + kSettingsSection, kPreviewPages, 0);
}

void CTessarineApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    if (m_nNumPreviewPages != 0) {
        const std::string key = GetProfileKey() + "\\" + kSettingsSection;
        if (RegistryCreateKey(HKEY_CURRENT_USER, key))
            RegistryWriteDword(HKEY_CURRENT_USER, key, kPreviewPages, m_nNumPreviewPages);
    }
}

bool CTessarineApp::ProcessShellCommand(CCommandLineInfo& info)
{
    m_cmdInfo = info;
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileDDE:  // no conversation to wait for: a plain start
        OnFileNew();
        return GetMainWnd() != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // Opened hidden; the direct-print command finds no handler, so
        // nothing is printed, and the program ends.
        if (OpenDocumentFile(info.m_strFileName))
            GetMainWnd()->SendCommand(res::ID_FILE_PRINT_DIRECT);
        return false;
    case CCommandLineInfo::AppUnregister: {
        DocumentTypeInfo type;
        CSingleDocTemplate& docTemplate = *m_pDocTemplate;
        docTemplate.GetDocString(type.fileTypeId, CSingleDocTemplate::regFileTypeId);
        docTemplate.GetDocString(type.extension, CSingleDocTemplate::filterExt);
        const auto refresh = [this](const std::string& line) { m_services->RunRefresh(line); };
        bool removed = UnregisterShellFileTypes(type);
        removed = UnregisterDesktopType(refresh) && removed;
        removed = Unregister() && removed;
        if (!info.m_bRunEmbedded)
            AfxMessageBox(removed ? res::IDP_UNREG_DONE : res::IDP_UNREG_FAILURE,
                          MB_OK | (removed ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
        return false;
    }
    case CCommandLineInfo::FileNothing:
        return true;
    }
    return false;
}

bool CTessarineApp::Unregister()
{
    RegistryStore& store = RegistryStore::Default();
    const LONG deleted = store.DeleteKey(HKEY_CURRENT_USER, GetProfileKey());
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
        return false;
    const std::string company = "Software\\" + m_pszRegistryKey;
    std::vector<RegistryKeyRecord> keys;
    const LONG listed = store.ExportTree(HKEY_CURRENT_USER, company, keys);
    if (listed == ERROR_FILE_NOT_FOUND)
        return true;
    if (listed != ERROR_SUCCESS)
        return false;
    if (keys.size() == 1 && keys.front().values.empty())
        return store.DeleteKey(HKEY_CURRENT_USER, company) == ERROR_SUCCESS;
    return true;
}

// ---- Commands --------------------------------------------------------------

void CTessarineApp::OnAppAbout()
{
    if (CMainFrame* frame = GetMainWnd())
        frame->ShowAboutBox();
}

void CTessarineApp::OnFilePrintSetup()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    QPrintDialog dialog(m_printer.get(), GetMainWnd());
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOptions({});
    // Choosing a printer prints nothing: the button says so.
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    dialog.exec();
}

void CTessarineApp::OnFileNew()
{
    if (GetDocument() && !SaveModified())
        return;
    m_pDocTemplate->NewDocument();
}

void CTessarineApp::OnFileOpen()
{
    std::string name;
    if (DoPromptFileName(name, true))
        OpenDocumentFile(name);
}

void CTessarineApp::OnOpenRecentFile(int index)
{
    if (!m_pRecentFileList || index < 0 || index >= m_pRecentFileList->GetSize())
        return;
    const std::string path = (*m_pRecentFileList)[index];
    if (!OpenDocumentFile(path)) {
        // The entry may have moved when the open added or removed others.
        for (int i = 0; i < m_pRecentFileList->GetSize(); ++i)
            if ((*m_pRecentFileList)[i] == path)
                m_pRecentFileList->Remove(i);
    }
    if (CMainFrame* frame = GetMainWnd())
        frame->UpdateRecentFileMenu();
}

CDocument* CTessarineApp::OpenDocumentFile(const std::string& path)
{
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    CDocument* doc = GetDocument();
    if (doc && !doc->GetPathName().empty() && doc->GetPathName() == absolute)
        return doc;
    if (doc && !SaveModified())
        return nullptr;
    doc = m_pDocTemplate->OpenDocumentFile(error ? path : absolute);
    if (doc)
        AddToRecentFileList(doc->GetPathName());
    return doc;
}

void CTessarineApp::AddToRecentFileList(const std::string& path)
{
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(path);
    if (CMainFrame* frame = GetMainWnd())
        frame->UpdateRecentFileMenu();
}

bool CTessarineApp::SaveModified()
{
    CDocument* doc = GetDocument();
    if (!doc || !doc->IsModified())
        return true;
    const std::string name = doc->GetTitle().empty() ? res::IDS_UNTITLED : doc->GetTitle();
    switch (AfxMessageBox(Replace1(res::IDP_ASK_TO_SAVE, name), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return DoFileSave();
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool CTessarineApp::DoFileSave()
{
    CDocument* doc = GetDocument();
    return doc && DoSave(doc->GetPathName());
}

bool CTessarineApp::DoSave(const std::string& path)
{
    CDocument* doc = GetDocument();
    if (!doc)
        return false;
    std::string name = path;
    if (name.empty()) {
        name = doc->GetPathName().empty() ? doc->GetTitle() : doc->GetPathName();
        std::string ext;
        m_pDocTemplate->GetDocString(ext, CSingleDocTemplate::filterExt);
        if (doc->GetPathName().empty() && name.find('.') == std::string::npos)
            name += ext;
        if (!DoPromptFileName(name, false))
            return false;
    }
    if (!SaveDocumentFile(*doc, name))
        return false;
    AddToRecentFileList(doc->GetPathName());
    if (CMainFrame* frame = GetMainWnd())
        frame->OnDocumentChanged();
    return true;
}

bool CTessarineApp::DoPromptFileName(std::string& fileName, bool open)
{
    std::string filterName;
    std::string filterExt;
    m_pDocTemplate->GetDocString(filterName, CSingleDocTemplate::filterName);
    m_pDocTemplate->GetDocString(filterExt, CSingleDocTemplate::filterExt);
    QFileDialog dialog(GetMainWnd(), open ? "Open" : "Save As");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({QString::fromStdString(filterName), "All Files (*)"});
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!open) {
        dialog.setDefaultSuffix(QString::fromStdString(filterExt.substr(filterExt.empty() ? 0 : 1)));
        dialog.selectFile(QString::fromStdString(fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().front().toStdString();
    return true;
}
