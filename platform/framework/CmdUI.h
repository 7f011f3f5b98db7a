#pragma once
// The framework's command user-interface object: handed to a command's
// update handler, which says whether the command is available now. The
// window applies the answer to its menu item and toolbar button; the tool
// and tests read it back.

class CCmdUI {
public:
    explicit CCmdUI(unsigned int id = 0) : m_nID(id) {}
    virtual ~CCmdUI() = default;

    virtual void Enable(bool on = true) { m_bEnabled = on; }
    bool IsEnabled() const { return m_bEnabled; }

    unsigned int m_nID;

private:
    bool m_bEnabled = true;
};
