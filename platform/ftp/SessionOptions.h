#pragma once
// The limits a session hands to each connection it opens.

#include "platform/ftp/Result.h"

#include <chrono>
#include <functional>
#include <string>

namespace ftp {

struct CertificateReport;

using Millis = std::chrono::milliseconds;

struct SessionOptions {
    Millis connectTimeout{10000};
    unsigned connectRetries = 5;   // further tries after the first timed-out one
    Millis connectBackoff{1000};   // pause between tries
    Millis controlSendTimeout{60000};
    Millis controlReceiveTimeout{60000};
    Millis dataSendTimeout{60000};
    Millis dataReceiveTimeout{60000};
    // Read-only commands may be sent ahead, several in one write; off: one
    // command at a time.
    bool pipelining = true;
    // How long the second reply of the first write of several commands may
    // take before the server is taken to drop commands sent ahead.
    Millis pipelineProbeWait{3000};
    // Decides on a TLS certificate that did not verify (server "host:port");
    // none: such a certificate ends the connection, naming its fingerprint.
    std::function<Status(const std::string& server, const CertificateReport& report)> certificateCheck;
};

}  // namespace ftp
