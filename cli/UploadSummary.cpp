#include "cli/UploadSummary.h"

#include "cli/ProgressLine.h"

#include <algorithm>

namespace cli {

void OutcomeCounts::Add(UploadOutcome outcome, std::int64_t bytes)
{
    switch (outcome) {
    case UploadOutcome::Sent:
        ++sent;
        sentBytes += bytes;
        break;
    case UploadOutcome::Unchanged: ++unchanged; break;
    case UploadOutcome::Skipped: ++skipped; break;
    case UploadOutcome::Failed: ++errors; break;
    case UploadOutcome::Stopped: ++stopped; break;
    case UploadOutcome::WouldSend:
        ++wouldSend;
        wouldSendBytes += bytes;
        break;
    }
}

OutcomeCounts& OutcomeCounts::operator+=(const OutcomeCounts& other)
{
    sent += other.sent;
    unchanged += other.unchanged;
    skipped += other.skipped;
    errors += other.errors;
    stopped += other.stopped;
    wouldSend += other.wouldSend;
    sentBytes += other.sentBytes;
    wouldSendBytes += other.wouldSendBytes;
    seconds += other.seconds;
    return *this;
}

std::string FormatSummary(const OutcomeCounts& c, bool dryRun)
{
    std::string line = dryRun ? std::to_string(c.wouldSend) + " would be sent (" + FormatBytes(c.wouldSendBytes) + ")"
                              : std::to_string(c.sent) + " sent (" + FormatBytes(c.sentBytes) + ")";
    line += ", " + std::to_string(c.unchanged) + " unchanged, " + std::to_string(c.skipped) + " skipped, " +
            std::to_string(c.errors) + (c.errors == 1 ? " error" : " errors");
    if (c.stopped > 0)
        line += ", " + std::to_string(c.stopped) + " stopped";
    line += " in " + FormatDuration(c.seconds, true);
    if (!dryRun) {
        const double rate = c.seconds > 0 ? static_cast<double>(c.sentBytes) / c.seconds : 0;
        // The bytes' unit where it is the larger, so "3.4 MiB ... 0.6 MiB/s" read together,
        // but never "1180.2 KiB/s" for a rate that has a unit of its own.
        const int unit = std::max(ByteUnit(c.sentBytes), ByteUnit(static_cast<std::int64_t>(std::min(rate, 1e18))));
        line += ", " + FormatBytesInUnit(rate, unit) + "/s";
    }
    return line;
}

}  // namespace cli
