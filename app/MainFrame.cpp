#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/AdvertisementBar.h"
#include "app/FrameCommands.h"
#include "app/HelpWindow.h"
#include "app/Resource.h"
#include "app/ResourcePictures.h"
#include "app/TessarineApp.h"
#include "ui/TessarineView.h"
#include "model/TessarineDoc.h"
#include "platform/framework/CmdUI.h"
#include "upload/QtUploadUi.h"
#include "platform/shell/RunningCopies.h"
#include "platform/widgets/QtRunningCopiesService.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <utility>

using namespace res;

namespace {

// CCmdUI for a menu item and toolbar button: the answer goes to the action.
class ActionCmdUI : public CCmdUI {
public:
    ActionCmdUI(unsigned int id, QAction* action) : CCmdUI(id), m_action(action) {}
    void Enable(bool on) override
    {
        CCmdUI::Enable(on);
        m_action->setEnabled(on);
    }

private:
    QAction* m_action;
};

constexpr int kIdleUpdateMs = 250;
const QSize kToolbarButtonSize(kToolbarButtonWidth, kToolbarButtonHeight);
// Help topics of the windows that have no command of their own.
constexpr int kMainWindowTopic = 1;
constexpr int kViewTopic = 2;

}  // namespace

CMainFrame::CMainFrame() : m_uploadUi(std::make_unique<CQtUploadUi>(this))
{
    setProperty("helpId", kMainWindowTopic);
    setProperty("windowClass", kMainFrameWindowClass);
}

CMainFrame::~CMainFrame()
{
    if (m_help)
        m_help->EndContextHelp();
}

bool CMainFrame::LoadFrame(unsigned int, CDocument& doc, const std::function<CTessarineView*(QWidget*)>& makeView)
{
    m_pDocument = &doc;
    if (!CreateCommands() || !CreateToolBar())
        return false;
    CreateMenus();
    CreateStatusBar();
    CreateAdvertisementBar();
    // F1 in the dialogs opened over this window.
    qApp->installEventFilter(this);
    m_view = makeView(this);
    m_view->setProperty("helpId", kViewTopic);
    doc.AddView(m_view);
    setCentralWidget(m_view);
    UpdateMinimumSize();
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] { UpdateCommandUI(); });
    idle->start(kIdleUpdateMs);
    OnDocumentChanged();
    return true;
}

bool CMainFrame::CreateCommands()
{
    for (const FrameCommand& command : FrameCommands()) {
        auto* action = new QAction(QString::fromUtf8(command.menuText), this);
        action->setStatusTip(QString::fromUtf8(command.prompt));
        action->setToolTip(QString::fromUtf8(command.tooltip));
        if (*command.key)
            action->setShortcut(QKeySequence(QString::fromUtf8(command.key)));
        const unsigned int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
        addAction(action);  // accelerators work without a menu entry too
        m_actions[id] = action;
    }
    CTessarineApp* app = AfxGetApp();
    Route(ID_FILE_NEW, [app] { app->OnFileNew(); });
    Route(ID_FILE_OPEN, [app] { app->OnFileOpen(); });
    Route(ID_FILE_SAVE, [app] { app->DoFileSave(); });
    Route(ID_FILE_SAVE_AS, [app] { app->DoSave(std::string()); });
    Route(ID_APP_EXIT, [this] { close(); });
    Route(ID_APP_ABOUT, [app] { app->OnAppAbout(); });
    Route(ID_FILE_PRINT_SETUP, [app] { app->OnFilePrintSetup(); });
    Route(ID_FILE_UPLOAD, [this] { OnUpload(); });
    Route(ID_VIEW_TOOLBAR, [this] { ShowControlBar(ID_VIEW_TOOLBAR, !m_wndToolBar->isVisible(), false); });
    Route(ID_VIEW_STATUS_BAR, [this] { ShowControlBar(ID_VIEW_STATUS_BAR, !m_wndStatusBar->isVisible(), false); });
    Route(ID_HELP_FINDER, [this] { OnHelpFinder(); });
    Route(ID_DEFAULT_HELP, [this] { OnHelpFinder(); });
    Route(ID_HELP, [this] { OnHelp(); });
    Route(ID_CONTEXT_HELP, [this] { OnContextHelp(); });
    m_actions[ID_VIEW_TOOLBAR]->setCheckable(true);
    m_actions[ID_VIEW_STATUS_BAR]->setCheckable(true);
    return true;
}

void CMainFrame::Route(unsigned int id, std::function<void()> handler)
{
    m_handlers[id] = std::move(handler);
}

void CMainFrame::CreateMenus()
{
    for (const FrameMenu& menu : FrameMenus()) {
        QMenu* popup = menuBar()->addMenu(QString::fromUtf8(menu.title));
        for (unsigned int id : menu.ids) {
            if (id == 0)
                popup->addSeparator();
            else
                popup->addAction(m_actions.at(id));
        }
        popup->installEventFilter(this);  // F1 on a highlighted command
        if (menu.ids.front() == ID_FILE_NEW) {
            m_fileMenu = popup;
            connect(popup, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
        }
    }
    m_recentPlaceholder = m_actions.at(ID_FILE_MRU_FILE1);
    UpdateRecentFileMenu();
}

bool CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName("toolbar");
    m_wndToolBar->setIconSize(kToolbarButtonSize);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    if (ToolbarBitmap().isNull())
        return false;
    int picture = 0;
    for (unsigned int id : ToolbarButtons()) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(id);
        action->setIcon(QIcon(ToolbarButtonPixmap(static_cast<ToolbarImage>(picture++))));
        m_wndToolBar->addAction(action);
        m_wndToolBar->widgetForAction(action)->setProperty("helpId", id);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    return true;
}

void CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new QStatusBar(this);
    m_idleLabel = new QLabel(QString::fromUtf8(IDS_IDLEMESSAGE), m_wndStatusBar);
    m_wndStatusBar->addWidget(m_idleLabel, 1);
    m_wndStatusBar->setSizeGripEnabled(false);
    setStatusBar(m_wndStatusBar);
}

void CMainFrame::CreateAdvertisementBar()
{
    // The bar docks along the bottom edge only. Docked it has no title of
    // its own; floating, its window shows the bar's text as caption.
    m_wndAdvertisementDock = new QDockWidget(QString::fromUtf8(IDS_ADVERTISEMENT_TEXT), this);
    m_wndAdvertisementDock->setObjectName("advertisementBar");
    m_wndAdvertisementDock->setProperty("controlId", ID_ADVERTISEMENT_BAR);
    m_wndAdvertisementDock->setAllowedAreas(Qt::BottomDockWidgetArea);
    m_wndAdvertisementDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* docked = new QWidget(m_wndAdvertisementDock);
    m_wndAdvertisementDock->setTitleBarWidget(docked);
    connect(m_wndAdvertisementDock, &QDockWidget::topLevelChanged, this, [this, docked](bool floating) {
        m_wndAdvertisementDock->setTitleBarWidget(floating ? nullptr : docked);
    });
    m_wndAdvertisementBar = new CAdvertisementBar();
    m_wndAdvertisementBar->Create(m_wndAdvertisementDock, ID_ADVERTISEMENT_BAR, IDC_ADVERTISEMENT_LINK,
                                  AdvertisementInfo());
    m_wndAdvertisementBar->setWindowTitle(QString::fromUtf8(IDS_ADVERTISEMENT_TEXT));
    m_wndAdvertisementDock->setWidget(m_wndAdvertisementBar);
    addDockWidget(Qt::BottomDockWidgetArea, m_wndAdvertisementDock);
}

QWidget* CMainFrame::GetControlBar(unsigned int barId) const
{
    switch (barId) {
    case ID_VIEW_TOOLBAR: return m_wndToolBar;
    case ID_VIEW_STATUS_BAR: return m_wndStatusBar;
    case ID_ADVERTISEMENT_BAR: return m_wndAdvertisementDock;
    default: return nullptr;
    }
}

void CMainFrame::ShowControlBar(unsigned int barId, bool show, bool)
{
    if (QWidget* bar = GetControlBar(barId))
        bar->setVisible(show);
    UpdateCommandUI();
}

void CMainFrame::UpdateMinimumSize()
{
    // Every bar that exists counts, shown or not, so that the minimum stays
    // the same when the View menu hides one.
    const QSize form = CTessarineView::FormSize(*m_view);
    const int bars = menuBar()->sizeHint().height() + m_wndToolBar->sizeHint().height() +
                     m_wndStatusBar->sizeHint().height();
    setMinimumSize(form.width(), form.height() + bars);
}

void CMainFrame::OnDocumentChanged()
{
    setWindowTitle(FrameTitle());
    UpdateCommandUI();
}

QString CMainFrame::FrameTitle() const
{
    const std::string title = m_pDocument ? m_pDocument->GetTitle() : std::string();
    return QString::fromStdString(title.empty() ? IDS_UNTITLED : title) + " - " +
           QString::fromUtf8(IDS_APP_TITLE);
}

void CMainFrame::UpdateRecentFileMenu()
{
    CTessarineApp* app = AfxGetApp();
    for (QAction* action : m_recentActions)
        delete action;
    m_recentActions.clear();
    const CRecentFileList* list = app ? app->m_pRecentFileList.get() : nullptr;
    const int count = list ? list->GetSize() : 0;
    m_recentPlaceholder->setVisible(count == 0);
    m_recentPlaceholder->setEnabled(false);
    for (int i = 0; i < count; ++i) {
        auto* action = new QAction(QString::fromStdString(list->GetMenuText(i, kRecentFileDisplayLength)), this);
        action->setStatusTip(m_recentPlaceholder->statusTip());
        connect(action, &QAction::triggered, this, [i] { AfxGetApp()->OnOpenRecentFile(i); });
        m_fileMenu->insertAction(m_recentPlaceholder, action);
        m_recentActions.push_back(action);
    }
}

void CMainFrame::UpdateCommandUI()
{
    if (auto* doc = dynamic_cast<CTessarineDoc*>(m_pDocument)) {
        ActionCmdUI upload(ID_FILE_UPLOAD, m_actions.at(ID_FILE_UPLOAD));
        doc->OnUpdateUpload(&upload);
    }
    m_actions.at(ID_VIEW_TOOLBAR)->setChecked(!m_wndToolBar->isHidden());
    m_actions.at(ID_VIEW_STATUS_BAR)->setChecked(!m_wndStatusBar->isHidden());
}

void CMainFrame::SendCommand(unsigned int id)
{
    if (InHelpMode()) {
        // In context-help mode a command shows its topic instead of running.
        m_help->EndContextHelp();
        m_help->ShowTopic(static_cast<int>(id));
        return;
    }
    UpdateCommandUI();
    auto action = m_actions.find(id);
    if (action != m_actions.end() && !action->second->isEnabled())
        return;
    auto handler = m_handlers.find(id);
    if (handler != m_handlers.end())
        handler->second();
}

QAction* CMainFrame::CommandAction(unsigned int id) const
{
    auto action = m_actions.find(id);
    return action == m_actions.end() ? nullptr : action->second;
}

QString CMainFrame::IdleText() const
{
    return m_idleLabel->text();
}

void CMainFrame::DragAcceptFiles(bool accept)
{
    setAcceptDrops(accept);
}

void CMainFrame::ShowAboutBox()
{
    CAboutDlg aboutDlg(this);
    aboutDlg.exec();
}

CHelpWindow& CMainFrame::HelpWindow()
{
    if (!m_help) {
        CTessarineApp* app = AfxGetApp();
        m_help = new CHelpWindow(QString::fromStdString(app ? app->m_pszHelpFilePath : std::string()), this);
    }
    return *m_help;
}

bool CMainFrame::InHelpMode() const
{
    return m_help && m_help->InContextHelp();
}

void CMainFrame::OnHelpFinder()
{
    HelpWindow().ShowContents();
}

void CMainFrame::OnHelp()
{
    CHelpWindow& help = HelpWindow();
    if (!help.ShowTopic(CurrentHelpContext()))
        help.ShowTopic(kMainWindowTopic);
}

int CMainFrame::CurrentHelpContext() const
{
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        if (QAction* action = menu->activeAction())
            for (const auto& [id, command] : m_actions)
                if (command == action)
                    return static_cast<int>(id);
    const QWidget* focus = QApplication::focusWidget();
    const int id = CHelpWindow::HelpIdOf(focus ? focus : QApplication::activeWindow());
    return id != 0 ? id : kMainWindowTopic;
}

void CMainFrame::OnContextHelp()
{
    CHelpWindow& help = HelpWindow();
    if (help.InContextHelp())
        return;
    help.StartContextHelp([this](const QString& text) {
        if (m_idleLabel)
            m_idleLabel->setText(text.isEmpty() ? QString::fromUtf8(IDS_IDLEMESSAGE) : text);
    });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // F1 in one of the program's dialogs (they block this window's own F1):
    // the dialog's topic.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && watched->isWidgetType()) {
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (qobject_cast<QDialog*>(window) && window != this)
            if (const int id = CHelpWindow::HelpIdOf(window); id != 0 && HelpWindow().ShowTopic(id))
                return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        qobject_cast<QMenu*>(watched)) {
        const int id = CurrentHelpContext();
        static_cast<QMenu*>(watched)->close();
        HelpWindow().ShowTopic(id);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnUpload()
{
    auto* doc = dynamic_cast<CTessarineDoc*>(m_pDocument);
    if (!doc)
        return;
    IUploadUi* previous = SetUploadUi(m_uploadUi.get());
    doc->OnUpload();
    SetUploadUi(previous);
    // Plain FTP to a server that offers TLS: a hint, not a question.
    if (const QString hint = m_uploadUi->TakeTlsHint(); !hint.isEmpty())
        m_wndStatusBar->showMessage(hint);
    // A close asked for during the run stopped it; now the window closes the
    // normal way, asking to save what the run changed.
    if (m_uploadUi->TakeQuitRequest())
        QTimer::singleShot(0, this, [this] { close(); });
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QueryEndSessionEvent::EventType()) {
        CTessarineApp* app = AfxGetApp();
        m_bEndSessionApproved = !app || app->SaveModified();
        event->setAccepted(m_bEndSessionApproved);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_uploadUi->IsRunning()) {
        m_uploadUi->RequestQuit();
        event->ignore();
        return;
    }
    CTessarineApp* app = AfxGetApp();
    // Only the close that follows an agreed end skips the question; any
    // other close asks again.
    const bool approved =
        std::exchange(m_bEndSessionApproved, false) && property(kCloseFromCopyProperty).toBool();
    if (!approved && app && !app->SaveModified()) {
        event->ignore();
        return;
    }
    if (m_help) {
        m_help->EndContextHelp();
        m_help->close();
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    // Each dropped file is opened in turn, as the shell would open it.
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            AfxGetApp()->OpenDocumentFile(url.toLocalFile().toStdString());
}
