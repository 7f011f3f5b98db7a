#pragma once
// The archive's error: thrown by CArchive when a read runs past the end of
// its data (endOfFile) or a value cannot be stored (generic).

#include "platform/framework/Exception.h"

class CArchiveException : public CException {
public:
    enum Cause { none, generic, endOfFile };

    explicit CArchiveException(Cause cause = none) : m_cause(cause) {}
    const char* what() const noexcept override;

    Cause m_cause;
};
