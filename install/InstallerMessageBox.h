#pragma once
// The installer's message box: captioned with the text of the background
// window above owner (the first CSelfInstallWindow on owner's parent chain,
// owner included), or with the application title when there is none. It
// goes through the framework's message-box handler, so the program's Qt
// box, the unattended answers and tests' scripts all answer it; the Qt box
// belongs to owner.
//
// Owners disabled by a message window ("Closing programs...") are enabled
// for the time of the question: a disabled owner would disable the box it
// owns. The box is modal, so they take no input meanwhile.

#include <QWidget>

#include <string>

int InstallerMessageBox(QWidget* owner, const std::string& text, unsigned int style);

// The caption InstallerMessageBox gives a box owned by owner.
std::string InstallerCaption(const QWidget* owner);
