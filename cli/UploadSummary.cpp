#include "cli/UploadSummary.h"

#include "cli/ProgressLine.h"

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
    if (!dryRun)
        line += ", " + FormatBytesInUnit(c.seconds > 0 ? static_cast<double>(c.sentBytes) / c.seconds : 0,
                                         ByteUnit(c.sentBytes)) + "/s";
    return line;
}

}  // namespace cli
