#pragma once
// A dialog template as a table: each control with its identifier, kind, text
// and rectangle in dialog units, in template order. CreateControls makes the
// Qt widgets at those places, in that order, which is also their tab order.
// A label's mnemonic moves the focus to the next control in the table that
// takes the focus; a radio button goes inside the group box listed before it
// that encloses it, so the box's mnemonic reaches its checked button.

#include "platform/widgets/DialogUnits.h"

#include <QRect>
#include <QWidget>

#include <span>

enum class ControlKind {
    label,
    groupBox,
    edit,          // one line, scrolls sideways, no length limit
    passwordEdit,  // as edit, shows a mask character for every character
    pushButton,
    defPushButton, // the button Enter presses
    radioButton,   // automatic: checking one unchecks the others of its group
    listControl,   // CQtListCtrl
};

struct DialogControl {
    int id;  // 0: a control the code never addresses (IDC_STATIC)
    ControlKind kind;
    const char* text;
    QRect du;  // x, y, width, height in dialog units
};

// Makes the controls on parent with parent's font as the dialog font. Each
// control carries its identifier as the property "controlId".
void CreateControls(QWidget& parent, std::span<const DialogControl> controls);

// The control with identifier id among parent's descendants, or nullptr.
QWidget* FindControl(const QWidget& parent, int id);
template <typename Widget>
Widget* FindControlAs(const QWidget& parent, int id)
{
    return qobject_cast<Widget*>(FindControl(parent, id));
}

// The designed size of a dialog in dialog units, in pixels of its font.
QSize DialogSize(const QWidget& dialog, QSize du);
