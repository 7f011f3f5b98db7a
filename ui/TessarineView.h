#pragma once
// The configuration view (form 101): the one view of the document, filling
// the main window's client area with the list of the configuration's FTP
// servers above the list of its local files, each with Add, Edit and Delete
// buttons beside it. It holds no data: each button calls the document's
// editing operation, and the document's refresh of its views (OnUpdate)
// rebuilds both lists. Both lists keep the window's width, the file list
// also its height; buttons and labels never move.
//
// The view is also the window that runs the two entry dialogs for the
// document's operations (IEntryDialogs), modally over itself.

#include "model/EntryDialogs.h"
#include "platform/framework/View.h"

#include <QWidget>

class CQtListCtrl;
class CTessarineDoc;
class QPushButton;

class CTessarineView : public QWidget, public CView, public IEntryDialogs {
public:
    explicit CTessarineView(QWidget* parent);
    ~CTessarineView() override;

    // The form's size: 200 x 143 dialog units of the widget's font. The view
    // is never made smaller, so nothing of the form is ever cut off.
    static QSize FormSize(const QWidget& widget);

    // Fills the server list, then the file list, from the document, and sets
    // the buttons for the (now empty) selection.
    void OnUpdate(CView* sender, long hint, CObject* hintObject) override;

    int RunServerDlg(ServerDlgValues& values) override;
    int RunLocalFileDlg(LocalFileDlgValues& values) override;

    // The buttons' and lists' handlers.
    void OnServerAdd();
    void OnServerEdit();
    void OnServerDelete();
    void OnFileAdd();
    void OnFileEdit();
    void OnFileDelete();
    void OnListClick();

    // The control of form 101 with identifier id, or nullptr.
    QWidget* GetDlgItem(int id) const;

    CQtListCtrl* m_listServers = nullptr;
    CQtListCtrl* m_listFiles = nullptr;

    static constexpr int kResourceId = 101;
    static constexpr int IDC_SERVER_LIST = 1000;
    static constexpr int IDC_SERVER_ADD = 1001;
    static constexpr int IDC_SERVER_DELETE = 1003;
    static constexpr int IDC_FILE_LIST = 1004;
    static constexpr int IDC_FILE_ADD = 1005;
    static constexpr int IDC_FILE_DELETE = 1006;
    static constexpr int IDC_SERVERS_LABEL = 1018;
    static constexpr int IDC_SERVER_EDIT = 1020;
    static constexpr int IDC_FILE_EDIT = 1021;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CTessarineDoc* Document() const;
    void DoDataExchange();
    // Edit needs exactly one selected row, Delete one or more.
    void UpdateButtons();
    // Lays the lists out for a client area of width x height pixels.
    void OnSize(int width, int height);
};
