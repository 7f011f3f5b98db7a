#pragma once
// The installer's background window: a plain purple window that owns every
// installer dialog and message box. Hidden until a flow shows it with its
// caption ("Tessarine Setup", "Tessarine Uninstall"), which it also paints
// in large white letters with a black shadow in its top-left corner.

#include <QWidget>

#include <string>

class CSelfInstallWindow : public QWidget {
public:
    // title: the application title the caption begins with. Created hidden.
    explicit CSelfInstallWindow(std::string title);

    // The caption becomes title + " " + word; the window is shown (or
    // hidden, for a show command of 0) and painted at once.
    void ShowWithCaption(int showCommand, const std::string& word);
    const std::string& Caption() const { return m_strCaption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string m_strTitle;
    std::string m_strCaption;
};

// The show commands the flows pass.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

// Icon 137: the installer's picture in its windows and dialogs.
QIcon InstallerIcon();
