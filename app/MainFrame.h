#pragma once
// The program's one top-level window: menu, accelerators, toolbar, status
// bar, the advertisement bar (created with the frame, hidden by start-up)
// and the view as the client area. Commands go to the application, the
// document or the frame as the framework routes them; before a menu opens,
// and while the program idles, each command's update handler (through
// CCmdUI) says whether it is available.
//
// The window cannot be made smaller than the form plus the menu, toolbar and
// status bar (hidden bars count too); the window manager adds its borders.
//
// Closing (File Exit, the close box, a quit request from outside) asks to
// save a modified configuration first. A close asked for while an upload
// runs stops the run; the window then closes the normal way once the run
// has ended.

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

class CAdvertisementBar;
class CDocument;
class CHelpWindow;
class CQtUploadUi;
class CTessarineView;
class QDockWidget;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the bars and the view for doc (not owned) from resource
    // resourceId. False when a bar or the toolbar's pictures cannot be made.
    bool LoadFrame(unsigned int resourceId, CDocument& doc,
                   const std::function<CTessarineView*(QWidget*)>& makeView);

    // The document was made new, opened or saved: title and commands.
    void OnDocumentChanged();
    // "<document> - Tessarine".
    QString FrameTitle() const;
    void UpdateRecentFileMenu();
    // Runs every command's update handler.
    void UpdateCommandUI();
    // Runs command id as a menu choice would: nothing when it is disabled or
    // has no handler.
    void SendCommand(unsigned int id);

    // Shows or hides the bar with id (toolbar 59392, status bar 59393,
    // advertisement bar 1).
    void ShowControlBar(unsigned int barId, bool show, bool delay);
    QWidget* GetControlBar(unsigned int barId) const;
    void DragAcceptFiles(bool accept);
    void ShowAboutBox();

    QAction* CommandAction(unsigned int id) const;
    QMenu* FileMenu() const { return m_fileMenu; }
    CTessarineView* View() const { return m_view; }
    // The text the status bar shows when no prompt is up.
    QString IdleText() const;
    bool InHelpMode() const;
    // The help window (made on first use from the application's help file).
    CHelpWindow& HelpWindow();
    CAdvertisementBar* AdvertisementBar() const { return m_wndAdvertisementBar; }
    // The window's upload UI: the progress dialog over this window.
    CQtUploadUi& UploadUi() const { return *m_uploadUi; }

    // The minimum the frame's client side may be made.
    void UpdateMinimumSize();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Another copy (the installer) asks whether the program may end: a
    // modified configuration is offered for saving first, as at log-off.
    bool event(QEvent* event) override;

private:
    bool CreateCommands();
    void CreateMenus();
    bool CreateToolBar();
    void CreateStatusBar();
    void CreateAdvertisementBar();
    void Route(unsigned int id, std::function<void()> handler);
    void OnContextHelp();
    void OnHelp();
    void OnHelpFinder();
    void OnUpload();
    // The topic for F1: the open menu's command, else the window or control
    // with the focus, else the main window's.
    int CurrentHelpContext() const;

    CDocument* m_pDocument = nullptr;
    CTessarineView* m_view = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    QDockWidget* m_wndAdvertisementDock = nullptr;
    CAdvertisementBar* m_wndAdvertisementBar = nullptr;
    CHelpWindow* m_help = nullptr;
    std::unique_ptr<CQtUploadUi> m_uploadUi;
    QLabel* m_idleLabel = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentPlaceholder = nullptr;
    std::vector<QAction*> m_recentActions;
    std::map<unsigned int, QAction*> m_actions;
    std::map<unsigned int, std::function<void()>> m_handlers;
    // The user agreed to end (and was asked about saving) at the request
    // of another copy: the close that follows asks no second time.
    bool m_bEndSessionApproved = false;
};
