#include "platform/ftp/AsciiEncoder.h"

namespace ftp {

void AsciiEncoder::Encode(std::string_view block, std::string& out)
{
    for (char c : block) {
        if (c == '\n' && !m_lastWasCr)
            out += '\r';
        out += c;
        m_lastWasCr = c == '\r';
    }
}

}  // namespace ftp
