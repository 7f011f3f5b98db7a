#pragma once
// CAboutDlg: the About box. The program icon, "Tessarine™" in large bold
// type (a font as tall as its control), "Version " and the version text,
// the notices and OK. Laid out in dialog units of its own font; keeps the
// size of its template. Owns its title font.

#include <QDialog>
#include <QFont>

class QLabel;

class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Builds the controls and sets the version line and the title font.
    // True (focus goes to OK).
    bool OnInitDialog();

    QLabel* titleLabel() const { return m_title; }
    QLabel* versionLabel() const { return m_version; }

private:
    QFont m_fontTitle;
    QLabel* m_title = nullptr;
    QLabel* m_version = nullptr;
};
