#include "platform/ftp/Fingerprint.h"

#include <cctype>

namespace ftp {

std::string FormatFingerprint(const Sha256& digest)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : digest) {
        if (!text.empty())
            text += ':';
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    return text;
}

std::optional<std::string> ParseFingerprint(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    std::string canonical = text.substr(first, last - first + 1);
    constexpr std::size_t kLength = 32 * 3 - 1;
    if (canonical.size() != kLength)
        return std::nullopt;
    for (std::size_t i = 0; i < canonical.size(); ++i) {
        unsigned char& c = reinterpret_cast<unsigned char&>(canonical[i]);
        if (i % 3 == 2) {
            if (c != ':')
                return std::nullopt;
        } else if (!std::isxdigit(c)) {
            return std::nullopt;
        } else {
            c = static_cast<unsigned char>(std::toupper(c));
        }
    }
    return canonical;
}

}  // namespace ftp
