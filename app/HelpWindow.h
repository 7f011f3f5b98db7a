#pragma once
// The help window: the contents (from Tessup.cnt) beside the topic text
// (Tessup.hlp, HTML with one anchor per context id). Both files sit beside
// the program. Context-help mode: after StartContextHelp the next click on
// any widget is swallowed and shows the topic of the nearest widget (it or
// a parent) carrying a "helpId" property. Clicks on menus go through, so a
// menu can be opened and its command chosen (whoever runs commands shows the
// command's topic instead while the mode is on); Escape ends the mode.

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QListWidget;
class QTextBrowser;

struct HelpContentsEntry {
    int contextId = 0;
    QString title;
};

// The entries of a contents file's text; lines starting with ":" are
// settings and skipped, as are lines without a number and a tab.
std::vector<HelpContentsEntry> ParseHelpContents(const QString& text);

class CHelpWindow : public QWidget {
public:
    // helpPath: the .hlp file; its contents file is the same path with ".cnt".
    explicit CHelpWindow(const QString& helpPath, QWidget* parent = nullptr);

    bool IsLoaded() const { return m_loaded; }
    const std::vector<HelpContentsEntry>& Contents() const { return m_contents; }
    // Shows the window with the topic of contextId; false when there is none.
    bool ShowTopic(int contextId);
    void ShowContents();
    int CurrentTopic() const { return m_current; }

    // Context-help mode: status(text) is called with the mode's prompt when
    // it starts and with an empty text when it ends.
    void StartContextHelp(std::function<void(const QString&)> status);
    bool InContextHelp() const { return m_helpMode; }
    void EndContextHelp();

    // The "helpId" of widget or of the nearest window around it; 0: none.
    static int HelpIdOf(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* m_list;
    QTextBrowser* m_text;
    std::vector<HelpContentsEntry> m_contents;
    std::function<void(const QString&)> m_status;
    bool m_loaded = false;
    bool m_helpMode = false;
    int m_current = 0;
};
