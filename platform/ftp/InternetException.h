#pragma once
// The error the internet classes raise: a code and the text to show. Thrown
// by value (catch `const CInternetException&`) from CInternetSession::
// GetFtpConnection, CFtpConnection::OpenFile and CInternetFile::Write/Close.
// The text never contains a password.

#include "platform/ftp/FtpConstants.h"

#include <cstdint>
#include <string>

class CInternetException {
public:
    CInternetException(std::uint32_t error, std::string text);

    // Copies the error text into buffer (at most maxChars - 1 bytes and a
    // terminating zero; cut on a UTF-8 character boundary). helpContext, when
    // given, is set to 0. Returns false, with an empty buffer, when there is
    // no text.
    bool GetErrorMessage(char* buffer, unsigned int maxChars, unsigned int* helpContext = nullptr) const;

    // The whole text.
    const std::string& ErrorText() const { return m_text; }

    // One of the ERROR_INTERNET_* codes; ERROR_INTERNET_EXTENDED_ERROR when
    // the text is the server's reply.
    std::uint32_t m_dwError;

private:
    std::string m_text;
};
