#pragma once
// The arithmetic of the tool's terminal progress line and summary, apart
// from any terminal or clock: units people read, the rate over the last
// seconds, the time left, and a line cut to the terminal's width.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace cli {

// "0 B", "999 B", "1.0 KiB", "3.4 MiB", "1.2 GiB": below 1024 bytes whole
// bytes, above one decimal of the largest unit the count reaches.
std::string FormatBytes(std::int64_t bytes);
// The unit FormatBytes takes for bytes: 0 for B, 1 for KiB, 2 for MiB, ...
int ByteUnit(std::int64_t bytes);
// bytes in the given unit: whole bytes for 0 ("512 B"), else one decimal ("0.6 MiB").
std::string FormatBytesInUnit(double bytes, int unit);

// "6.1 s" (tenths below a minute when tenths is true, else "45 s"),
// "2 min 05 s", "1 h 02 min". Negative counts as 0.
std::string FormatDuration(double seconds, bool tenths);

// The rate over a sliding window: the bytes sent between the oldest and the
// newest sample no older than the window, over the time between them.
class RateMeter {
public:
    explicit RateMeter(double windowSeconds = 5.0) : m_window(windowSeconds) {}
    // totalBytes sent by the time at seconds (a count that only grows).
    void Add(double seconds, std::int64_t totalBytes);
    // Bytes per second; 0 while the samples span less than a fifth of a second.
    double BytesPerSecond() const;

private:
    struct Sample {
        double seconds;
        std::int64_t bytes;
    };
    double m_window;
    std::deque<Sample> m_samples;
};

// The seconds until remaining bytes are sent at rate; negative when the
// rate is not known (0).
double SecondsLeft(std::int64_t remaining, double bytesPerSecond);

// What one progress line shows.
struct ProgressFigures {
    int fileNumber = 0;  // of the files visited in the run, from 1
    int fileCount = 0;
    std::int64_t fileSent = 0;
    std::int64_t fileSize = 0;
    std::int64_t allSent = 0;   // bytes of the run so far
    std::int64_t allTotal = 0;  // bytes the run is expected to send
    double bytesPerSecond = 0;  // 0: not known yet
    std::string name;           // the file's destination, printable already
};

// The line for figures in at most width columns: file number of total, name,
// bytes of the file and of all, percent of all, rate and time left; the
// name shortened in the middle first, then the less needed parts left out.
std::string FormatProgressLine(const ProgressFigures& figures, std::size_t width);

// text in at most width columns (a UTF-8 code point counts one), "..." in
// place of its middle when it is longer.
std::string ShortenMiddle(const std::string& text, std::size_t width);

// Columns text takes: its UTF-8 code points.
std::size_t Columns(const std::string& text);

}  // namespace cli
