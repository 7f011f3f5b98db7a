#include "install/InstallerMessageBox.h"

#include "install/SelfInstallWindow.h"
#include "platform/framework/MessageBox.h"
#include "platform/widgets/QtMessageBoxHandler.h"

#include <QPointer>

#include <vector>

namespace {

// Enables the disabled windows from owner up for its lifetime.
class EnabledWhileAsking {
public:
    explicit EnabledWhileAsking(QWidget* owner)
    {
        for (QWidget* widget = owner; widget; widget = widget->parentWidget()) {
            if (widget->testAttribute(Qt::WA_Disabled)) {
                m_disabled.emplace_back(widget);
                widget->setEnabled(true);
            }
        }
    }
    ~EnabledWhileAsking()
    {
        for (auto it = m_disabled.rbegin(); it != m_disabled.rend(); ++it)
            if (*it)
                (*it)->setEnabled(false);
    }
    EnabledWhileAsking(const EnabledWhileAsking&) = delete;
    EnabledWhileAsking& operator=(const EnabledWhileAsking&) = delete;

private:
    std::vector<QPointer<QWidget>> m_disabled;
};

}  // namespace

std::string InstallerCaption(const QWidget* owner)
{
    for (const QWidget* widget = owner; widget; widget = widget->parentWidget())
        if (dynamic_cast<const CSelfInstallWindow*>(widget)) {
            // Before its first showing the window has no caption yet.
            const std::string caption = widget->windowTitle().toStdString();
            return caption.empty() ? kAppCaption : caption;
        }
    return kAppCaption;
}

int InstallerMessageBox(QWidget* owner, const std::string& text, unsigned int style)
{
    const std::string caption = InstallerCaption(owner);
    EnabledWhileAsking enabled(owner);
    MessageBoxOwner boxOwner(owner);
    return CaptionedMessageBox(caption, text, style);
}
