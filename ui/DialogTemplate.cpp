#include "ui/DialogTemplate.h"

#include "platform/widgets/QtListCtrl.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>
#include <vector>

namespace {

QWidget* MakeControl(const DialogControl& control, QWidget* parent)
{
    const QString text = QString::fromUtf8(control.text ? control.text : "");
    switch (control.kind) {
    case ControlKind::label: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::groupBox: return new QGroupBox(text, parent);
    case ControlKind::edit:
    case ControlKind::passwordEdit: {
        auto* edit = new QLineEdit(parent);
        // A text read from a configuration may be longer than Qt's default
        // limit; cutting it would lose part of it on OK.
        edit->setMaxLength(std::numeric_limits<int>::max());
        if (control.kind == ControlKind::passwordEdit)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    case ControlKind::pushButton:
    case ControlKind::defPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setDefault(control.kind == ControlKind::defPushButton);
        return button;
    }
    case ControlKind::radioButton: return new QRadioButton(text, parent);
    case ControlKind::listControl: return new CQtListCtrl(parent);
    }
    return nullptr;
}

bool TakesFocus(ControlKind kind)
{
    return kind != ControlKind::label && kind != ControlKind::groupBox;
}

}  // namespace

void CreateControls(QWidget& parent, std::span<const DialogControl> controls)
{
    const DialogBaseUnits base = BaseUnitsOf(parent.font());
    std::vector<QLabel*> waitingForBuddy;
    QGroupBox* group = nullptr;
    QRect groupDu;
    for (const DialogControl& control : controls) {
        const bool inGroup = control.kind == ControlKind::radioButton && group && groupDu.contains(control.du);
        QWidget* owner = inGroup ? static_cast<QWidget*>(group) : &parent;
        QWidget* widget = MakeControl(control, owner);
        QRect pixels = MapDialogRect(control.du, base);
        if (inGroup)
            pixels.translate(-group->pos());
        widget->setGeometry(pixels);
        widget->setProperty("controlId", control.id);
        if (control.kind == ControlKind::groupBox) {
            group = static_cast<QGroupBox*>(widget);
            groupDu = control.du;
        }
        if (control.kind == ControlKind::label)
            waitingForBuddy.push_back(static_cast<QLabel*>(widget));
        if (TakesFocus(control.kind)) {
            for (QLabel* label : waitingForBuddy)
                label->setBuddy(widget);
            waitingForBuddy.clear();
        }
    }
}

QWidget* FindControl(const QWidget& parent, int id)
{
    for (QWidget* child : parent.findChildren<QWidget*>())
        if (child->property("controlId").isValid() && child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

QSize DialogSize(const QWidget& dialog, QSize du)
{
    return MapDialogSize(du, BaseUnitsOf(dialog.font()));
}
