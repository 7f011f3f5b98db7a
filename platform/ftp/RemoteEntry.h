#pragma once
// One entry of a remote folder as a listing or a fact reply describes it.

#include <cstdint>
#include <string>

namespace ftp {

struct RemoteEntry {
    std::string name;
    std::int64_t mtime = 0;     // calendar seconds, UTC
    bool hasTime = false;
    std::uint64_t size = 0;
    bool hasSize = false;
    bool isDirectory = false;

    bool operator==(const RemoteEntry&) const = default;
};

}  // namespace ftp
