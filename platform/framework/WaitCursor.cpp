#include "platform/framework/WaitCursor.h"

namespace {

IWaitCursorHandler* g_waitCursorHandler = nullptr;

}  // namespace

IWaitCursorHandler* SetWaitCursorHandler(IWaitCursorHandler* handler)
{
    IWaitCursorHandler* previous = g_waitCursorHandler;
    g_waitCursorHandler = handler;
    return previous;
}

CWaitCursor::CWaitCursor() : m_handler(g_waitCursorHandler)
{
    if (m_handler)
        m_handler->BeginWaitCursor();
}

CWaitCursor::~CWaitCursor()
{
    if (m_handler)
        m_handler->EndWaitCursor();
}
