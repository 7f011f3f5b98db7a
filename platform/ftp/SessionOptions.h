#pragma once
// The limits a session hands to each connection it opens.

#include <chrono>

namespace ftp {

using Millis = std::chrono::milliseconds;

struct SessionOptions {
    Millis connectTimeout{10000};
    unsigned connectRetries = 5;   // further tries after the first timed-out one
    Millis connectBackoff{1000};   // pause between tries
    Millis controlSendTimeout{60000};
    Millis controlReceiveTimeout{60000};
    Millis dataSendTimeout{60000};
    Millis dataReceiveTimeout{60000};
};

}  // namespace ftp
