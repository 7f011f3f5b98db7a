#include "upload/ProgressBar.h"

#include <algorithm>
#include <climits>

std::int64_t KilobytesRoundedUp(std::int64_t bytes)
{
    if (bytes <= 0)
        return 0;
    // bytes / 1024 rounded up without forming bytes + 1023, which could
    // overflow for the largest counts.
    return bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
}

void CUploadProgressBar::SetFileSize(std::int64_t bytes)
{
    m_range = KilobytesRoundedUp(bytes);
    m_position = 0;
}

void CUploadProgressBar::SetBytesSent(std::int64_t bytes)
{
    m_position = std::min(KilobytesRoundedUp(bytes), m_range);
}

int CUploadProgressBar::Permille() const
{
    if (m_range == 0)
        return 0;
    // m_position <= m_range, so the quotient is at most 1000; the product is
    // formed in long double to stay exact enough for any 64-bit count.
    return static_cast<int>(static_cast<long double>(m_position) * 1000 / m_range);
}

BarControlValues CUploadProgressBar::ControlValues() const
{
    if (m_range == 0)
        return {1, 0};
    std::int64_t scale = 1;
    while (m_range / scale > INT_MAX)
        scale *= 2;
    return {static_cast<int>(m_range / scale), static_cast<int>(m_position / scale)};
}
