#pragma once
// The application object: one per program run. InitInstance brings the
// program up in its fixed order of steps; each failing step tells the user
// why (if it has anything to say) and returns false, which ends the program
// without a main window. The application also owns the File New, Open,
// recent-file and About commands and the framework's save questions.
//
// The platform services come through IStartupServices (the program's own by
// default); the user is reached only through AfxMessageBox and the windows.

#include "app/CommandLineInfo.h"
#include "app/RecentFileList.h"
#include "app/SingleDocTemplate.h"
#include "app/StartupServices.h"
#include "platform/registry/RegistryTypes.h"

#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class QPrinter;
class QtRunningCopiesService;

class CTessarineApp {
public:
    // services: not owned; null for the system's. The newest application
    // object is the one AfxGetApp answers.
    explicit CTessarineApp(IStartupServices* services = nullptr);
    ~CTessarineApp();
    CTessarineApp(const CTessarineApp&) = delete;
    CTessarineApp& operator=(const CTessarineApp&) = delete;

    // The process arguments (argv[0] the program): the program file name and
    // the raw command line come from them.
    void SetArguments(const std::vector<std::string>& argv);

    bool InitInstance();
    // After the run (also after a failed InitInstance): saves the recent
    // files and PreviewPages unless the run was an unregistration. The exit
    // code.
    int ExitInstance();

    // The installer's entry point: true when the program must end now.
    bool SelfInstall();

    // ---- Commands ----------------------------------------------------
    void OnAppAbout();
    // The printer choice (command 57606, no menu entry): kept for the run.
    void OnFilePrintSetup();
    void OnFileNew();
    void OnFileOpen();
    // Opens recent file index; an entry that cannot be opened leaves the list.
    void OnOpenRecentFile(int index);
    // Opens path (the document already open under that path stays as it is).
    CDocument* OpenDocumentFile(const std::string& path);
    void AddToRecentFileList(const std::string& path);

    // The framework's document saving: asks "Save changes to NAME?" when the
    // document is modified; Yes saves (through Save As when it has no file),
    // No goes on, Cancel or a failed save stop. True to go on.
    bool SaveModified();
    bool DoFileSave();
    // Saves under path, or asks for a name (Save As) when path is empty.
    bool DoSave(const std::string& path);
    // A file dialog with the template's filter; false when cancelled.
    bool DoPromptFileName(std::string& fileName, bool open);

    // ---- Framework state -------------------------------------------------
    std::string m_pszAppName = "Tessarine";
    std::string m_pszExeName;
    std::string m_pszRegistryKey;
    std::string m_lpCmdLine;
    // The program file's path with ".hlp": the help window's file.
    std::string m_pszHelpFilePath;
    std::vector<std::string> m_arguments;  // after the program name
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    DWORD m_nNumPreviewPages = 0;
    CCommandLineInfo m_cmdInfo;  // the command line processed last

    CMainFrame* GetMainWnd() const;
    CDocument* GetDocument() const;
    // "Software\Orvik\Tessarine" once the company key is set.
    std::string GetProfileKey() const;

    // ---- Start-up steps ----------------------------------------------
    void SetRegistryKey(const char* company);
    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    void EnableShellOpen();
    void RegisterShellFileTypes();
    void LoadStdProfileSettings(int maxRecentFiles);
    void SaveStdProfileSettings();
    bool ProcessShellCommand(CCommandLineInfo& info);
    // Removes the settings key (and its company key when left empty).
    bool Unregister();
    // The program's path as the document type rows name it.
    static std::string ProgramPath();

private:
    std::unique_ptr<SystemStartupServices> m_systemServices;
    // Answers the other copies (the installer closing running copies).
    std::unique_ptr<QtRunningCopiesService> m_runningCopies;
    IStartupServices* m_services;
    std::string m_strShellOpenService;  // the program file name, once enabled
    std::unique_ptr<QPrinter> m_printer;  // made by the first Print Setup
};

CTessarineApp* AfxGetApp();
