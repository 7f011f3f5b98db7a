// libFuzzer target: the licence reader on any bytes. It must end, never
// crash, and give valid UTF-8 text.

#include "install/RtfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool IsValidUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RichText text = ReadRichText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const RichTextParagraph& paragraph : text.paragraphs)
        for (const RichTextRun& run : paragraph.runs)
            if (!IsValidUtf8(run.text) || run.halfPoints < 2 || run.halfPoints > 400)
                std::abort();
    return 0;
}
