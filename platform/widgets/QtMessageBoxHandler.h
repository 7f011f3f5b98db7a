#pragma once
// AfxMessageBox in the window: a modal QMessageBox over the active window,
// with the icon, buttons and default button the MB_ style asks for.
// Install it with SetMessageBoxHandler once the QApplication exists.
// MessageBoxOwner names the box's owner for the boxes of its lifetime.

#include "platform/framework/MessageBox.h"

#include <QMessageBox>

class QtMessageBoxHandler : public IMessageBoxHandler {
public:
    // The window the next boxes belong to (null: the active window), for
    // callers that know their owner, such as the installer.
    static QWidget* SetOwner(QWidget* owner);
    static QWidget* Owner();

    // Blocks in the box's own event loop until a button is chosen; closing
    // the box counts as the safe answer (Cancel, No or OK).
    int Show(const std::string& caption, const std::string& text, unsigned int style) override;

    // The parts of a style, for the box and for tests.
    static QMessageBox::Icon IconFor(unsigned int style);
    static QMessageBox::StandardButtons ButtonsFor(unsigned int style);
    static QMessageBox::StandardButton DefaultButtonFor(unsigned int style);
    // The ID (IDOK, IDYES, ...) of a chosen button.
    static int IdFor(QMessageBox::StandardButton button, unsigned int style);
};

// Sets the owner of the boxes shown while it lives; the previous comes back.
class MessageBoxOwner {
public:
    explicit MessageBoxOwner(QWidget* owner) : m_previous(QtMessageBoxHandler::SetOwner(owner)) {}
    ~MessageBoxOwner() { QtMessageBoxHandler::SetOwner(m_previous); }
    MessageBoxOwner(const MessageBoxOwner&) = delete;
    MessageBoxOwner& operator=(const MessageBoxOwner&) = delete;

private:
    QWidget* m_previous;
};
