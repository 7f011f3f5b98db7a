#pragma once
// The framework's file error: what went wrong with which file, and the text
// the user is shown for it. File operations of the stand-ins return it as a
// value (they do not throw); the open and save steps show its message.

#include "platform/framework/Exception.h"

#include <string>

class CFileException : public CException {
public:
    enum Cause {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        isFolder,
        notRegularFile,
        diskFull,
        readOnlyFileSystem,
        hardIO,
        sharingViolation,
    };

    CFileException(Cause cause, int osError, std::string fileName);
    // The error errno (osError) raised for fileName.
    static CFileException FromErrno(int osError, const std::string& fileName);

    // The text for the user, naming the file, e.g. "/x/site.tsn was not found.".
    std::string GetErrorMessage() const;
    const char* what() const noexcept override { return "file error"; }

    Cause m_cause;
    int m_lOsError;  // errno, 0 when the error is not the system's
    std::string m_strFileName;
};
