#pragma once
// A TCP proxy that makes loopback look like a long network path: every byte
// is passed on a fixed one-way delay after it arrived, in both directions,
// in order and without any limit on bandwidth, so that commands sent
// together gain exactly what they would gain on a real link.
//
// A new connection costs what a TCP handshake costs: the server sees it one
// delay after the client connected, and the client's first bytes reach the
// server no earlier than three delays after that. A close (end of stream)
// is passed on one delay later, after the bytes before it.
//
// It listens on listenHost at each of the ports given and connects to
// targetHost at the same port: in front of an FTP server's control port and
// of its passive port range (the server names listenHost as its passive
// address), so that data connections take the same path. All of it runs on
// one thread of its own, started by the constructor and ended by the
// destructor.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

class LatencyProxy {
public:
    // Throws std::runtime_error when a port cannot be listened on.
    LatencyProxy(std::string listenHost, std::string targetHost, const std::vector<std::uint16_t>& ports,
                 std::chrono::microseconds oneWayDelay);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy&) = delete;
    LatencyProxy& operator=(const LatencyProxy&) = delete;

    // Connections accepted so far (control and data).
    std::uint64_t Connections() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace bench
