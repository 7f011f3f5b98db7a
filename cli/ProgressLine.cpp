#include "cli/ProgressLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace cli {

namespace {

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The first count code points of text.
std::string Head(const std::string& text, std::size_t count)
{
    std::size_t pos = 0;
    for (std::size_t seen = 0; pos < text.size(); ++pos) {
        if (!IsContinuation(text[pos]) && seen++ == count)
            break;
    }
    return text.substr(0, pos);
}

// The last count code points of text.
std::string Tail(const std::string& text, std::size_t count)
{
    std::size_t pos = text.size();
    for (std::size_t seen = 0; pos > 0 && seen < count;) {
        --pos;
        if (!IsContinuation(text[pos]))
            ++seen;
    }
    return text.substr(pos);
}

std::string Percent(std::int64_t part, std::int64_t whole)
{
    if (whole <= 0)
        return "100%";
    const long double share = static_cast<long double>(std::min(part, whole)) * 100 / whole;
    return std::to_string(static_cast<int>(share)) + "%";
}

std::string RateText(double bytesPerSecond)
{
    return bytesPerSecond > 0 ? FormatBytes(static_cast<std::int64_t>(bytesPerSecond)) + "/s" : "--/s";
}

std::string LeftText(const ProgressFigures& f)
{
    const double left = SecondsLeft(f.allTotal - f.allSent, f.bytesPerSecond);
    return left < 0 ? "-- left" : FormatDuration(left, false) + " left";
}

}  // namespace

int ByteUnit(std::int64_t bytes)
{
    double value = static_cast<double>(bytes);
    int unit = 0;
    // Rounded to tenths first, so 1048575 bytes reads "1.0 MiB", never "1024.0 KiB".
    while (unit < 6 && (unit == 0 ? value >= 1024 : std::round(value * 10) / 10 >= 1024)) {
        value /= 1024;
        ++unit;
    }
    return unit;
}

std::string FormatBytesInUnit(double bytes, int unit)
{
    static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    if (!(bytes > 0))
        bytes = 0;
    unit = std::clamp(unit, 0, 6);
    char text[40];
    if (unit == 0)
        std::snprintf(text, sizeof text, "%.0f B", std::floor(bytes));
    else
        std::snprintf(text, sizeof text, "%.1f %s", bytes / std::pow(1024.0, unit), units[unit]);
    return text;
}

std::string FormatBytes(std::int64_t bytes)
{
    return FormatBytesInUnit(static_cast<double>(bytes), ByteUnit(bytes));
}

std::string FormatDuration(double seconds, bool tenths)
{
    if (!(seconds > 0))
        seconds = 0;
    char text[40];
    if (tenths && std::round(seconds * 10) < 600) {
        std::snprintf(text, sizeof text, "%.1f s", std::round(seconds * 10) / 10);
        return text;
    }
    const long long whole = std::llround(seconds);
    if (whole < 60)
        std::snprintf(text, sizeof text, "%lld s", whole);
    else if (whole < 3600)
        std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld h %02lld min", whole / 3600, whole / 60 % 60);
    return text;
}

void RateMeter::Add(double seconds, std::int64_t totalBytes)
{
    m_samples.push_back({seconds, totalBytes});
    // Keep one sample at or before the window's start, so the span covers it.
    while (m_samples.size() > 2 && m_samples[1].seconds <= seconds - m_window)
        m_samples.pop_front();
}

double RateMeter::BytesPerSecond() const
{
    if (m_samples.size() < 2)
        return 0;
    const double span = m_samples.back().seconds - m_samples.front().seconds;
    if (span < 0.2)
        return 0;
    return static_cast<double>(m_samples.back().bytes - m_samples.front().bytes) / span;
}

double SecondsLeft(std::int64_t remaining, double bytesPerSecond)
{
    if (!(bytesPerSecond > 0))
        return -1;
    return remaining <= 0 ? 0 : static_cast<double>(remaining) / bytesPerSecond;
}

std::size_t Columns(const std::string& text)
{
    std::size_t columns = 0;
    for (char byte : text)
        columns += IsContinuation(byte) ? 0 : 1;
    return columns;
}

std::string ShortenMiddle(const std::string& text, std::size_t width)
{
    if (Columns(text) <= width)
        return text;
    if (width <= 3)
        return Head("...", width);
    const std::size_t kept = width - 3;
    const std::size_t head = kept / 2;  // the end, with the file's name, gets the extra column
    return Head(text, head) + "..." + Tail(text, kept - head);
}

std::string FormatProgressLine(const ProgressFigures& f, std::size_t width)
{
    const std::string count = std::to_string(f.fileNumber) + "/" + std::to_string(f.fileCount) + " ";
    const std::string file = "  " + FormatBytes(f.fileSent) + "/" + FormatBytes(f.fileSize);
    const std::string all = "  all " + FormatBytes(f.allSent) + "/" + FormatBytes(f.allTotal);
    const std::string percent = Percent(f.allSent, f.allTotal);
    const std::string figures = "  " + percent + "  " + RateText(f.bytesPerSecond) + "  " + LeftText(f);
    // From the fullest form to the barest: the first whose fixed parts leave
    // the name enough columns is taken. The richer forms give way before the
    // name is cut to a stub; the barest keeps at least a few of its columns.
    struct Form {
        std::string tail;
        std::size_t nameAtLeast;
    };
    const Form forms[] = {{file + all + figures, 30}, {all + figures, 30}, {figures, 8}};
    for (const Form& form : forms) {
        const std::size_t fixed = Columns(count) + Columns(form.tail);
        if (fixed + std::min(form.nameAtLeast, Columns(f.name)) <= width)
            return count + ShortenMiddle(f.name, width - fixed) + form.tail;
    }
    // No room for a name: the figures alone, as many as fit.
    const std::string bare[] = {count + percent + "  " + RateText(f.bytesPerSecond) + "  " + LeftText(f),
                                count + percent + "  " + RateText(f.bytesPerSecond), count + percent};
    for (const std::string& line : bare)
        if (Columns(line) <= width)
            return line;
    return Head(count + percent, width);
}

}  // namespace cli
