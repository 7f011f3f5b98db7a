#pragma once
// Where to connect: the server text as the user typed it, and reaching it.

#include "platform/ftp/ControlChannel.h"
#include "platform/ftp/Result.h"
#include "platform/ftp/SessionOptions.h"
#include "platform/ftp/Socket.h"

#include <cstdint>
#include <string>

namespace ftp {

struct ServerAddress {
    std::string host;  // name or numeric address, without brackets
    std::uint16_t port = 21;

    // "host:port", "[v6]:port": how texts name the server.
    std::string Name() const;
};

// "host", "host:port", "[v6-address]", "[v6-address]:port" or a bare IPv6
// address. A port in the text wins over port; 0 means 21. Invalid texts
// (empty host, bad port, a line break) give an error.
Result<ServerAddress> ParseServerAddress(const std::string& text, std::uint16_t port);

// Resolves the name and connects to each address in turn. A try that times
// out (on every address) is repeated up to options.connectRetries times
// with options.connectBackoff between; a refusal ends at once.
// Error texts: "Cannot connect to host:port: reason",
// "Cannot find the server host: reason".
Result<Fd> ConnectToServer(const ServerAddress& server, const SessionOptions& options, const TraceSink& trace);

}  // namespace ftp
