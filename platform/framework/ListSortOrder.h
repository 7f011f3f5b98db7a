#pragma once
// The order in which the configuration window's lists keep their rows:
// ascending by the first column's text. The Qt list and CMemoryListCtrl both
// sort with this one comparator, so the tool and the tests see the rows where
// the window shows them. Toolkit-free and header-only.

#include <string_view>

// ASCII letters compare without case ("alpha" before "Beta"); texts equal that
// way are ordered by their bytes, so the order is total and does not depend on
// insertion. Every other byte compares by its unsigned value.
// Returns < 0, 0 or > 0 as a sorts before, equal to or after b.
inline int CompareListText(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : int(c); };
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int d = lower(static_cast<unsigned char>(a[i])) - lower(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

// Strict weak order for sorting containers of texts.
struct ListTextLess {
    bool operator()(std::string_view a, std::string_view b) const { return CompareListText(a, b) < 0; }
};
