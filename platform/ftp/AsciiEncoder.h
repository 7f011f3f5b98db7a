#pragma once
// Turns local text into the network's line ends for an ASCII transfer:
// every LF that does not follow a CR becomes CRLF; everything else passes
// unchanged. The state carries across calls, so a CRLF split between two
// blocks stays one CRLF.

#include <string>
#include <string_view>

namespace ftp {

class AsciiEncoder {
public:
    // Appends the converted bytes of block to out.
    void Encode(std::string_view block, std::string& out);

private:
    bool m_lastWasCr = false;
};

}  // namespace ftp
