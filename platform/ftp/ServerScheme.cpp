#include "platform/ftp/ServerScheme.h"

#include <algorithm>
#include <cctype>

namespace ftp {

namespace {

constexpr std::uint16_t kExplicitPort = 21;
constexpr std::uint16_t kImplicitPort = 990;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

Error Refused(const std::string& text, const std::string& why)
{
    return Error{ERROR_INTERNET_INVALID_URL, "The server name \"" + text + "\" " + why};
}

// The scheme's TLS mode, or an error naming what the scheme is.
Result<TlsMode> ModeOfScheme(const std::string& text, const std::string& scheme)
{
    const std::string lower = Lower(scheme);
    if (lower == "ftp")
        return TlsMode::None;
    if (lower == "ftpes")
        return TlsMode::Explicit;
    if (lower == "ftps")
        return TlsMode::Implicit;
    if (lower == "sftp")
        return Refused(text, "names SFTP, another protocol (file transfer over SSH), which this program does not "
                             "speak. For FTP over TLS write ftpes://host (or ftps://host for implicit TLS).");
    return Refused(text, "begins with \"" + scheme + "://\". Write the host name alone, or begin it with ftp://, "
                         "ftpes:// (FTP over TLS) or ftps:// (implicit TLS).");
}

}  // namespace

namespace {

struct SchemeAndRest {
    TlsMode tls = TlsMode::None;
    std::string rest;  // what follows the scheme: host[:port]
};

Result<SchemeAndRest> SplitScheme(const std::string& text)
{
    SchemeAndRest split{TlsMode::None, text};
    const std::size_t separator = text.find("://");
    if (separator != std::string::npos) {
        const Result<TlsMode> mode = ModeOfScheme(text, text.substr(0, separator));
        if (!mode)
            return mode.error();
        split.tls = *mode;
        split.rest = text.substr(separator + 3);
    }
    if (split.rest.find('@') != std::string::npos)
        return Refused(text, "holds a user name (\"user@\"). Write the host alone and the user name in its own field.");
    if (split.rest.find_first_of("/\\?#") != std::string::npos)
        return Refused(text, "holds a path after the host. Write the host alone and the folder as the base folder.");
    return split;
}

}  // namespace

Status CheckServerScheme(const std::string& text)
{
    return SplitScheme(text).status();
}

Result<ServerName> ParseServerName(const std::string& text, std::uint16_t port)
{
    const Result<SchemeAndRest> split = SplitScheme(text);
    if (!split)
        return split.error();
    ServerName name;
    name.tls = split->tls;
    if (name.tls == TlsMode::Implicit && (port == 0 || port == kExplicitPort))
        port = kImplicitPort;
    Result<ServerAddress> address = ParseServerAddress(split->rest, port == 0 ? kExplicitPort : port);
    if (!address) {
        Error error = address.error();
        if (error.text.rfind("Invalid server name", 0) == 0)
            error.text = "Invalid server name \"" + text + "\".";  // the whole text, scheme included
        return error;
    }
    name.address = std::move(*address);
    return name;
}

const char* TlsModeName(TlsMode mode)
{
    switch (mode) {
    case TlsMode::Explicit:
        return "explicit";
    case TlsMode::Implicit:
        return "implicit";
    case TlsMode::None:
        break;
    }
    return nullptr;
}

}  // namespace ftp
