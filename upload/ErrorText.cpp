#include "upload/ErrorText.h"

namespace {

bool IsContinuationByte(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::string CutErrorText(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t cut = limit;
    // text[cut] is the first byte left out; step back while it continues the
    // character before it. A run of continuation bytes longer than a UTF-8
    // character is not UTF-8: then the cut stays at the limit.
    std::size_t back = 0;
    while (cut > 0 && back < 4 && IsContinuationByte(static_cast<unsigned char>(text[cut]))) {
        --cut;
        ++back;
    }
    if (back == 4)
        cut = limit;
    return text.substr(0, cut);
}
