#pragma once
// The message window shown while an installer step works: a small window
// without caption holding the installer icon and one line of text, centred
// over its owner. Scoped: the constructor shows it and disables the owner,
// the destructor keeps it up until it has been seen for half a second,
// then enables the owner again and removes it.
//
// "Disabled" means the owner's own window takes no input: Qt's disabling
// would also disable every window the owner owns (this one, and the
// prompts a step raises meanwhile), so input to the owner's window is held
// back instead, and the windows it owns stay usable.

#include "install/InstallerClock.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <string>

class QLabel;

class CSelfInstallMessageDlg : public QDialog {
public:
    // owner: may be null (then nothing is disabled). clock: not owned.
    CSelfInstallMessageDlg(const std::string& text, QWidget* owner,
                           IInstallerClock& clock = DefaultInstallerClock());
    ~CSelfInstallMessageDlg() override;

    QString Text() const;
    // True while a message window holds owner's input back.
    static bool IsOwnerDisabled(const QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_pOwner;
    const QWidget* m_disabledOwner = nullptr;  // as recorded, also after the owner went
    std::uint32_t m_dwShownAt = 0;
    IInstallerClock& m_clock;
    QLabel* m_text = nullptr;
};
