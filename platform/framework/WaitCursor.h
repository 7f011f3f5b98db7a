#pragma once
// The wait cursor, reduced to a seam: a CWaitCursor object shows the wait
// cursor for its lifetime through the installed handler (Qt's override
// cursor in the window; none in the tool, where it does nothing). Being an
// object, it is taken away on every path out of the scope, exceptions
// included.

class IWaitCursorHandler {
public:
    virtual ~IWaitCursorHandler() = default;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// Installs handler (nullptr: none) and returns the one it replaces. The
// caller keeps ownership.
IWaitCursorHandler* SetWaitCursorHandler(IWaitCursorHandler* handler);

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    // The handler that began, so that the matching one ends.
    IWaitCursorHandler* m_handler;
};
