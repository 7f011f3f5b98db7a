#include "platform/ftp/ServerAddress.h"

#include "platform/ftp/ListingParser.h"

#include <netdb.h>

#include <cstring>
#include <thread>

namespace ftp {

namespace {

Error InvalidServer(const std::string& text)
{
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Error{ERROR_INTERNET_INVALID_URL, "The server name contains a line break or a zero byte."};
    return Error{ERROR_INTERNET_INVALID_URL, "Invalid server name \"" + text + "\"."};
}

bool ValidPort(const std::string& text, std::uint16_t& port)
{
    const auto n = ParseDecimal(text);
    if (!n || *n == 0 || *n > 65535)
        return false;
    port = static_cast<std::uint16_t>(*n);
    return true;
}

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() { if (head) freeaddrinfo(head); }
};

struct TryResult {
    Result<Fd> fd;
    bool timedOut;
};

// One pass over every address of the name.
TryResult TryAddresses(const addrinfo* list, const ServerAddress& server, const SessionOptions& options,
                       const TraceSink& trace)
{
    Error last{ERROR_INTERNET_CANNOT_CONNECT, "no address"};
    bool allTimedOut = true;
    for (const addrinfo* a = list; a; a = a->ai_next) {
        SocketAddress address;
        std::memcpy(&address.storage, a->ai_addr, a->ai_addrlen);
        address.length = a->ai_addrlen;
        if (trace)
            trace("* connecting to " + address.Host() + " port " + std::to_string(server.port));
        Result<Fd> fd = ConnectTo(address, options.connectTimeout);
        if (fd)
            return {std::move(fd), false};
        allTimedOut = allTimedOut && fd.error().code == ERROR_INTERNET_TIMEOUT;
        last = fd.error();
    }
    last.text = "Cannot connect to " + server.Name() + ": " + last.text;
    return {Result<Fd>(last), allTimedOut};
}

}  // namespace

std::string ServerAddress::Name() const
{
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

Result<ServerAddress> ParseServerAddress(const std::string& text, std::uint16_t port)
{
    ServerAddress server;
    server.port = port == 0 ? 21 : port;
    std::string rest;
    if (!text.empty() && text[0] == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos)
            return InvalidServer(text);
        server.host = text.substr(1, close - 1);
        rest = text.substr(close + 1);
        if (!rest.empty() && (rest[0] != ':' || !ValidPort(rest.substr(1), server.port)))
            return InvalidServer(text);
    } else if (text.find(':') != text.rfind(':')) {
        server.host = text;  // a bare IPv6 address
    } else {
        const std::size_t colon = text.find(':');
        server.host = text.substr(0, colon);
        if (colon != std::string::npos && !ValidPort(text.substr(colon + 1), server.port))
            return InvalidServer(text);
    }
    if (server.host.empty() || server.host.find_first_of(std::string(" \t\r\n\0", 5)) != std::string::npos)
        return InvalidServer(text);
    return server;
}

Result<Fd> ConnectToServer(const ServerAddress& server, const SessionOptions& options, const TraceSink& trace)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    AddressList list;
    const int rc = getaddrinfo(server.host.c_str(), std::to_string(server.port).c_str(), &hints, &list.head);
    if (rc != 0)
        return Error{ERROR_INTERNET_NAME_NOT_RESOLVED,
                     "Cannot find the server " + server.host + ": " + gai_strerror(rc)};
    for (unsigned attempt = 0;; ++attempt) {
        TryResult tried = TryAddresses(list.head, server, options, trace);
        if (tried.fd || !tried.timedOut || attempt >= options.connectRetries)
            return std::move(tried.fd);
        std::this_thread::sleep_for(options.connectBackoff);
    }
}

}  // namespace ftp
