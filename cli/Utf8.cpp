#include "cli/Utf8.h"

namespace {

bool InRange(std::string_view text, std::size_t pos, unsigned char lo, unsigned char hi)
{
    if (pos >= text.size())
        return false;
    const auto byte = static_cast<unsigned char>(text[pos]);
    return byte >= lo && byte <= hi;
}

// The allowed range of the second byte after lead byte `lead`, and the
// sequence length; 0 for a byte that cannot start a sequence.
std::size_t SequenceShape(unsigned char lead, unsigned char& lo, unsigned char& hi)
{
    lo = 0x80;
    hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead == 0xE0)
        lo = 0xA0;
    else if (lead == 0xED)
        hi = 0x9F;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead == 0xF0)
        lo = 0x90;
    else if (lead == 0xF4)
        hi = 0x8F;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

std::size_t ValidUtf8Length(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80)
        return 1;
    unsigned char lo = 0, hi = 0;
    const std::size_t length = SequenceShape(lead, lo, hi);
    if (length == 0 || !InRange(text, pos + 1, lo, hi))
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!InRange(text, pos + i, 0x80, 0xBF))
            return 0;
    return length;
}

std::string PrintableText(std::string_view text)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t valid = ValidUtf8Length(text, i);
        if (valid == 0 || byte < 0x20 || byte == 0x7F || byte == '\\') {
            out += byte == '\\' ? "\\\\" : std::string{'\\', 'x', digits[byte >> 4], digits[byte & 0xF]};
            ++i;
        } else {
            out.append(text.substr(i, valid));
            i += valid;
        }
    }
    return out;
}
