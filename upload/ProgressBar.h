#pragma once
// The arithmetic of the upload progress bar, apart from any toolkit: the
// window's bar and the tool's terminal bar both show what this computes.
//
// The bar counts kilobytes rounded up, in 64 bits, over the whole range of a
// file's size (a file of 64 MiB or more is a true bar, and a count near 2 GiB
// does not overflow). An empty file is an empty bar: a range of 0 kilobytes,
// position 0, never the "busy" look that some bar controls give a 0..0 range.

#include <cstdint>

// (bytes + 1023) / 1024 in 64 bits: 0 gives 0, 1 to 1024 give 1, 1025 gives 2.
// A negative count gives 0.
std::int64_t KilobytesRoundedUp(std::int64_t bytes);

// What a bar control is to be given: bounds 0..maximum and a value, both in
// the control's int range, maximum at least 1 (so 0..0 never reaches it).
struct BarControlValues {
    int maximum = 1;
    int value = 0;
    bool operator==(const BarControlValues&) const = default;
};

class CUploadProgressBar {
public:
    // Range 0..K (K the kilobytes of bytes), position 0.
    void SetFileSize(std::int64_t bytes);
    // Position: the kilobytes of bytes, held inside the range (a file that
    // grows while it is sent ends as a full bar, not past it).
    void SetBytesSent(std::int64_t bytes);

    std::int64_t RangeKilobytes() const { return m_range; }
    std::int64_t PositionKilobytes() const { return m_position; }
    // The share of the bar that is filled, 0 to 1000; 0 for an empty file.
    int Permille() const;
    // The values for a control that takes int bounds (scaled down when the
    // kilobyte count does not fit an int).
    BarControlValues ControlValues() const;

private:
    std::int64_t m_range = 0;
    std::int64_t m_position = 0;
};
