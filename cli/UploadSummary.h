#pragma once
// What an upload run did, counted per server and for the whole run, and the
// summary line people read at its end:
// "12 sent (3.4 MiB), 188 unchanged, 0 skipped, 0 errors in 6.1 s, 0.6 MiB/s".

#include "upload/UploadProgress.h"

#include <cstdint>
#include <string>

namespace cli {

struct OutcomeCounts {
    int sent = 0;
    int unchanged = 0;
    int skipped = 0;
    int errors = 0;
    int stopped = 0;
    int wouldSend = 0;
    std::int64_t sentBytes = 0;       // bytes of the files sent
    std::int64_t wouldSendBytes = 0;  // a dry run: bytes of the files it would send
    double seconds = 0;               // time spent

    // One file's outcome; bytes is its size (sent or to be sent).
    void Add(UploadOutcome outcome, std::int64_t bytes);
    OutcomeCounts& operator+=(const OutcomeCounts& other);
};

// The summary line. A dry run counts the files it would send in place of the
// files sent and shows no rate; "N stopped" is added only when a file was
// stopped half way. The rate is given in the unit of the bytes sent where that
// is the larger ("3.4 MiB ... 0.6 MiB/s"), so the two read together.
std::string FormatSummary(const OutcomeCounts& counts, bool dryRun);

}  // namespace cli
