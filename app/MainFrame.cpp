#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/FrameCommands.h"
#include "app/Resource.h"
#include "app/TessarineApp.h"
#include "app/TessarineView.h"
#include "model/TessarineDoc.h"
#include "platform/framework/CmdUI.h"
#include "platform/shell/RunningCopies.h"
#include "platform/widgets/QtRunningCopiesService.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
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
const QSize kToolbarButtonSize(16, 15);

}  // namespace

CMainFrame::CMainFrame()
{
    setProperty("windowClass", kMainFrameWindowClass);
}

CMainFrame::~CMainFrame()
{
    EndHelpMode();
}

bool CMainFrame::LoadFrame(unsigned int, CDocument& doc, const std::function<CTessarineView*(QWidget*)>& makeView)
{
    m_pDocument = &doc;
    if (!CreateCommands() || !CreateToolBar())
        return false;
    CreateMenus();
    CreateStatusBar();
    CreateAdvertisementBar();
    m_view = makeView(this);
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
    // Until the toolbar strip is in the resources, the style's pictures.
    const QStyle::StandardPixmap pictures[] = {
        QStyle::SP_FileIcon, QStyle::SP_DialogOpenButton, QStyle::SP_DialogSaveButton, QStyle::SP_ArrowUp,
        QStyle::SP_MessageBoxInformation, QStyle::SP_DialogHelpButton, QStyle::SP_TitleBarContextHelpButton,
    };
    int picture = 0;
    for (unsigned int id : ToolbarButtons()) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(id);
        action->setIcon(style()->standardIcon(pictures[picture++]));
        m_wndToolBar->addAction(action);
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
    // The advertisement bar and its link are made here once they exist.
}

QWidget* CMainFrame::GetControlBar(unsigned int barId) const
{
    switch (barId) {
    case ID_VIEW_TOOLBAR: return m_wndToolBar;
    case ID_VIEW_STATUS_BAR: return m_wndStatusBar;
    case ID_ADVERTISEMENT_BAR: return m_wndAdvertisementBar;
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

void CMainFrame::OnHelpFinder()
{
    // The help window's contents open here once it exists.
}

void CMainFrame::OnHelp()
{
    // The help window's topic for the active window opens here once it exists.
}

void CMainFrame::OnContextHelp()
{
    if (m_bHelpMode)
        return;
    m_bHelpMode = true;
    m_idleLabel->setText(QString::fromUtf8(IDS_HELPMODEMESSAGE));
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    qApp->installEventFilter(this);
}

void CMainFrame::EndHelpMode()
{
    if (!m_bHelpMode)
        return;
    m_bHelpMode = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (m_idleLabel)
        m_idleLabel->setText(QString::fromUtf8(IDS_IDLEMESSAGE));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (m_bHelpMode && event->type() == QEvent::MouseButtonPress) {
        // The click picks the object; it does not reach it.
        EndHelpMode();
        return true;
    }
    if (m_bHelpMode && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        EndHelpMode();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
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
    CTessarineApp* app = AfxGetApp();
    // Only the close that follows an agreed end skips the question; any
    // other close asks again.
    const bool approved =
        std::exchange(m_bEndSessionApproved, false) && property(kCloseFromCopyProperty).toBool();
    if (!approved && app && !app->SaveModified()) {
        event->ignore();
        return;
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
