#pragma once
// Pure parsers for what FTP servers say about files: listing lines (Unix
// "ls -l" with and without the year, DOS/IIS, EPLF), MLST fact lines and
// the time stamps of MLST and MDTM. No I/O; what cannot be parsed gives no
// entry, never an error or a crash. Every time is read as UTC and turned
// into calendar seconds the same way.

#include "platform/ftp/RemoteEntry.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ftp {

// One line of a LIST reply, without its line end. now (calendar seconds) is
// the moment of listing: a Unix entry shown with a time instead of a year is
// given the latest year that does not put it in the future (two days of
// slack for the server's clock and time zone).
std::optional<RemoteEntry> ParseListLine(std::string_view line, std::int64_t now);

// Every entry of a LIST reply (lines ending in LF or CRLF); lines that are
// not entries ("total 12", blank, garbage) are left out.
std::vector<RemoteEntry> ParseListing(std::string_view text, std::int64_t now);

// An MLST/MLSD fact line: "type=file;size=12;modify=20240101120000; name"
// (the leading space of an MLST reply line allowed). Facts other than type,
// size and modify are ignored.
std::optional<RemoteEntry> ParseMlstLine(std::string_view line);

// "YYYYMMDDHHMMSS" with an optional ".fraction" (dropped): calendar seconds.
std::optional<std::int64_t> ParseFtpTime(std::string_view text);

// A decimal byte count, all digits, no overflow.
std::optional<std::uint64_t> ParseDecimal(std::string_view text);

// Calendar seconds of a UTC date and time; none when a field is out of range.
std::optional<std::int64_t> UtcSeconds(int year, int month, int day, int hour, int minute, int second);

}  // namespace ftp
