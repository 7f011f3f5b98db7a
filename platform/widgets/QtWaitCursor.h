#pragma once
// The wait cursor in the window: Qt's application-wide override cursor,
// shown while a CWaitCursor lives. Install it with SetWaitCursorHandler once
// the QApplication exists.

#include "platform/framework/WaitCursor.h"

class QtWaitCursor : public IWaitCursorHandler {
public:
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
};
