#include "platform/ftp/InternetException.h"

#include <cstring>

namespace {

// Length of the longest prefix of text that fits in limit bytes without
// cutting a UTF-8 sequence.
std::size_t Utf8PrefixLength(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

}  // namespace

CInternetException::CInternetException(std::uint32_t error, std::string text)
    : m_dwError(error), m_text(std::move(text))
{
}

bool CInternetException::GetErrorMessage(char* buffer, unsigned int maxChars, unsigned int* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return false;
    const std::size_t n = Utf8PrefixLength(m_text, maxChars - 1);
    std::memcpy(buffer, m_text.data(), n);
    buffer[n] = '\0';
    return n > 0;
}
