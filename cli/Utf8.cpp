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

// The length of the control character at text[pos]: 1 for C0 or DEL, 2 for
// a C1 character in its UTF-8 form, 0 for anything else.
std::size_t ControlLength(std::string_view text, std::size_t pos)
{
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x20 || byte == 0x7F)
        return 1;
    return byte == 0xC2 && InRange(text, pos + 1, 0x80, 0x9F) ? 2 : 0;
}

void AppendHex(std::string& out, unsigned char byte, const char* digits)
{
    out += {'\\', 'x', digits[byte >> 4], digits[byte & 0xF]};
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
        if (byte == '\\') {
            out += "\\\\";
            ++i;
        } else if (valid == 0 || ControlLength(text, i) != 0) {
            for (std::size_t end = i + (valid == 0 ? 1 : valid); i < end; ++i)
                AppendHex(out, static_cast<unsigned char>(text[i]), digits);
        } else {
            out.append(text.substr(i, valid));
            i += valid;
        }
    }
    return out;
}

std::string EscapeControls(std::string_view text, LineBreaks breaks)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char byte = text[i];
        const bool kept = breaks == LineBreaks::keep && (byte == '\n' || byte == '\t');
        const std::size_t control = kept ? 0 : ControlLength(text, i);
        if (control == 0) {
            out += byte;
            ++i;
            continue;
        }
        for (std::size_t end = i + control; i < end; ++i)
            AppendHex(out, static_cast<unsigned char>(text[i]), digits);
    }
    return out;
}
