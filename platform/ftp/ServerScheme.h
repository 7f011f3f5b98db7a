#pragma once
// The server name field with its optional scheme: which protocol to speak
// and where. Pure: no sockets, no look-ups.
//
//   host, host:port, ftp://host[:port]   plain FTP (port 21 by default)
//   ftpes://host[:port]                  explicit TLS: AUTH TLS on port 21
//   ftps://host[:port]                   implicit TLS from the first byte, port 990
//
// The host part takes every form ParseServerAddress takes (IPv6 in brackets).
// Any other scheme, a user name ("user@") or a path after the host is refused
// with a text that says what to write instead.

#include "platform/ftp/Result.h"
#include "platform/ftp/ServerAddress.h"

#include <cstdint>
#include <string>

namespace ftp {

enum class TlsMode { None, Explicit, Implicit };

struct ServerName {
    TlsMode tls = TlsMode::None;
    ServerAddress address;
};

// port: the caller's port, used when the text names none; 0 (or 21 with
// ftps://, where 21 would be the plain default) gives the scheme's default.
// Errors carry ERROR_INTERNET_INVALID_URL (unknown or other-protocol scheme,
// user name, path) or ParseServerAddress's error for the host part.
Result<ServerName> ParseServerName(const std::string& text, std::uint16_t port = 0);

// Only the scheme, user-name and path rules, not the host and port: what a
// server entry is checked against when it is added or changed (a host the
// run cannot reach stays the run's to report, as for plain FTP).
Status CheckServerScheme(const std::string& text);

// "explicit", "implicit", or nullptr for plain FTP: how `show --json` names it.
const char* TlsModeName(TlsMode mode);

}  // namespace ftp
