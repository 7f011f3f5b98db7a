// Feeds arbitrary bytes to everything in the FTP client that parses what a
// server sends: the reply reader (in pieces whose sizes come from the input),
// the reply parsers, listing lines and MLST facts, the server text with its
// scheme, and a typed fingerprint.

#include "platform/ftp/Fingerprint.h"
#include "platform/ftp/ListingParser.h"
#include "platform/ftp/ReplyParsers.h"
#include "platform/ftp/ReplyReader.h"
#include "platform/ftp/ServerAddress.h"
#include "platform/ftp/ServerScheme.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::int64_t kNow = 1796702400;

void ReadReplies(std::string_view bytes)
{
    ftp::ReplyReader reader;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t n = 1 + static_cast<unsigned char>(bytes[at]) % 64;
        reader.Feed(bytes.substr(at, n));
        at += n;
        ftp::Reply reply;
        std::string error;
        while (reader.Next(reply, error) == ftp::ReplyReader::State::Ready) {
            ftp::ParseFeatures(reply);
            const std::string text = reply.FirstLineText();
            ftp::ParsePwdPath(text);
            ftp::ParseEpsvPort(text);
            ftp::ParsePasvPort(text);
            ftp::ParseFtpTime(text);
            for (const std::string& line : reply.lines)
                ftp::ParseMlstLine(line);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ftp::ParseListing(bytes, kNow);
    ftp::ParseListing(bytes, -kNow);
    ftp::ParseMlstLine(bytes);
    ftp::ParseServerAddress(std::string(bytes), 0);
    ftp::ParseServerName(std::string(bytes), 0);
    ftp::ParseFingerprint(std::string(bytes));
    ReadReplies(bytes);
    return 0;
}
