#include "platform/ftp/ListingParser.h"

#include <array>
#include <cctype>
#include <string>

namespace ftp {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kFutureSlack = 2 * kDay;

struct Token {
    std::string_view text;
    std::size_t end;  // offset just past the token in the line
};

std::vector<Token> Tokens(std::string_view line, std::size_t limit)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size() && tokens.size() < limit) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back({line.substr(start, i - start), i});
    }
    return tokens;
}

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::optional<int> SmallNumber(std::string_view text)
{
    if (!AllDigits(text) || text.size() > 4)
        return std::nullopt;
    int n = 0;
    for (char c : text)
        n = n * 10 + (c - '0');
    return n;
}

std::optional<int> MonthNumber(std::string_view text)
{
    static constexpr std::array<std::string_view, 12> names = {"jan", "feb", "mar", "apr", "may", "jun",
                                                              "jul", "aug", "sep", "oct", "nov", "dec"};
    if (text.size() != 3)
        return std::nullopt;
    for (std::size_t m = 0; m < names.size(); ++m) {
        bool same = true;
        for (std::size_t i = 0; i < 3; ++i)
            same = same && std::tolower(static_cast<unsigned char>(text[i])) == names[m][i];
        if (same)
            return static_cast<int>(m) + 1;
    }
    return std::nullopt;
}

// "HH:MM" into hour and minute.
bool ParseClock(std::string_view text, int& hour, int& minute)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const auto h = SmallNumber(text.substr(0, colon));
    const auto m = SmallNumber(text.substr(colon + 1));
    if (!h || !m || text.size() - colon - 1 != 2)
        return false;
    hour = *h;
    minute = *m;
    return true;
}

int YearOf(std::int64_t seconds)
{
    // Civil year of a day count (Howard Hinnant's algorithm).
    std::int64_t z = (seconds >= 0 ? seconds : seconds - (kDay - 1)) / kDay + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    return static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

// Date and time of a Unix entry: tokens month, day, "HH:MM" or year.
std::optional<std::int64_t> UnixTime(std::string_view monthText, std::string_view dayText,
                                     std::string_view last, std::int64_t now)
{
    const auto month = MonthNumber(monthText);
    const auto day = SmallNumber(dayText);
    if (!month || !day)
        return std::nullopt;
    int hour = 0, minute = 0;
    if (ParseClock(last, hour, minute)) {
        const int year = YearOf(now);
        const auto t = UtcSeconds(year, *month, *day, hour, minute, 0);
        if (t && *t > now + kFutureSlack)
            return UtcSeconds(year - 1, *month, *day, hour, minute, 0);
        return t;
    }
    const auto year = SmallNumber(last);
    if (!year || last.size() != 4)
        return std::nullopt;
    return UtcSeconds(*year, *month, *day, 0, 0, 0);
}

std::string_view NameAfter(std::string_view line, const Token& token)
{
    if (token.end + 1 >= line.size())
        return {};
    return line.substr(token.end + 1);
}

// "-rw-r--r-- 1 owner group 1234 Jan  2 12:34 name" (group may be missing).
std::optional<RemoteEntry> ParseUnix(std::string_view line, std::int64_t now)
{
    static constexpr std::string_view kinds = "-dlpscbD";
    if (line.size() < 10 || kinds.find(line[0]) == std::string_view::npos)
        return std::nullopt;
    const std::vector<Token> tokens = Tokens(line, 9);
    for (std::size_t m = 2; m + 2 < tokens.size(); ++m) {
        const auto size = ParseDecimal(tokens[m - 1].text);
        if (!size || !MonthNumber(tokens[m].text))
            continue;
        const auto time = UnixTime(tokens[m].text, tokens[m + 1].text, tokens[m + 2].text, now);
        std::string_view name = NameAfter(line, tokens[m + 2]);
        if (!time || name.empty())
            return std::nullopt;
        if (line[0] == 'l') {
            const std::size_t arrow = name.find(" -> ");
            if (arrow != std::string_view::npos)
                name = name.substr(0, arrow);
        }
        RemoteEntry e;
        e.name = std::string(name);
        e.mtime = *time;
        e.hasTime = true;
        e.size = *size;
        e.hasSize = true;
        e.isDirectory = line[0] == 'd';
        return e;
    }
    return std::nullopt;
}

// "MM-DD-YY" or "MM-DD-YYYY" and "HH:MMAM" or "HH:MMPM".
std::optional<std::int64_t> DosTime(std::string_view date, std::string_view clock)
{
    if (date.size() != 8 && date.size() != 10)
        return std::nullopt;
    if (date[2] != '-' || date[5] != '-' || clock.size() < 7)
        return std::nullopt;
    const auto month = SmallNumber(date.substr(0, 2));
    const auto day = SmallNumber(date.substr(3, 2));
    auto year = SmallNumber(date.substr(6));
    int hour = 0, minute = 0;
    const std::string_view half = clock.substr(clock.size() - 2);
    if (!month || !day || !year || !ParseClock(clock.substr(0, clock.size() - 2), hour, minute))
        return std::nullopt;
    if (date.size() == 8)
        *year += *year < 70 ? 2000 : 1900;
    const bool pm = half == "PM" || half == "pm";
    if (!pm && half != "AM" && half != "am")
        return std::nullopt;
    if (hour < 1 || hour > 12)
        return std::nullopt;
    hour = (hour % 12) + (pm ? 12 : 0);
    return UtcSeconds(*year, *month, *day, hour, minute, 0);
}

// "01-02-24  03:04PM       <DIR>          name" or with a size.
std::optional<RemoteEntry> ParseDos(std::string_view line)
{
    const std::vector<Token> tokens = Tokens(line, 3);
    if (tokens.size() < 3 || !std::isdigit(static_cast<unsigned char>(line[0])))
        return std::nullopt;
    const auto time = DosTime(tokens[0].text, tokens[1].text);
    if (!time)
        return std::nullopt;
    std::size_t start = tokens[2].end;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    if (start >= line.size())
        return std::nullopt;
    RemoteEntry e;
    e.name = std::string(line.substr(start));
    e.mtime = *time;
    e.hasTime = true;
    if (tokens[2].text == "<DIR>") {
        e.isDirectory = true;
    } else {
        const auto size = ParseDecimal(tokens[2].text);
        if (!size)
            return std::nullopt;
        e.size = *size;
        e.hasSize = true;
    }
    return e;
}

// "+i8388621.48594,m825718503,r,s280,\tname"
std::optional<RemoteEntry> ParseEplf(std::string_view line)
{
    const std::size_t tab = line.find('\t');
    if (line.size() < 2 || line[0] != '+' || tab == std::string_view::npos || tab + 1 >= line.size())
        return std::nullopt;
    RemoteEntry e;
    e.name = std::string(line.substr(tab + 1));
    std::string_view facts = line.substr(1, tab - 1);
    while (!facts.empty()) {
        const std::size_t comma = facts.find(',');
        const std::string_view fact = facts.substr(0, comma);
        facts = comma == std::string_view::npos ? std::string_view() : facts.substr(comma + 1);
        if (fact.empty())
            continue;
        if (fact[0] == '/')
            e.isDirectory = true;
        const auto number = ParseDecimal(fact.substr(1));
        if (fact[0] == 's' && number) {
            e.size = *number;
            e.hasSize = true;
        } else if (fact[0] == 'm' && number && *number <= static_cast<std::uint64_t>(INT64_MAX)) {
            e.mtime = static_cast<std::int64_t>(*number);
            e.hasTime = true;
        }
    }
    return e;
}

bool SameFactName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void ApplyMlstFact(std::string_view name, std::string_view value, RemoteEntry& e)
{
    if (SameFactName(name, "size")) {
        if (const auto n = ParseDecimal(value)) {
            e.size = *n;
            e.hasSize = true;
        }
    } else if (SameFactName(name, "modify")) {
        if (const auto t = ParseFtpTime(value)) {
            e.mtime = *t;
            e.hasTime = true;
        }
    } else if (SameFactName(name, "type")) {
        e.isDirectory = SameFactName(value, "dir") || SameFactName(value, "cdir") || SameFactName(value, "pdir");
    }
}

}  // namespace

std::optional<std::int64_t> UtcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    static constexpr int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > monthDays[month - 1])
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return std::nullopt;
    // Days from civil (Howard Hinnant's algorithm).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + doe - 719468;
    return days * kDay + hour * 3600 + minute * 60 + second;
}

std::optional<std::uint64_t> ParseDecimal(std::string_view text)
{
    if (!AllDigits(text) || text.size() > 20)
        return std::nullopt;
    std::uint64_t n = 0;
    for (char c : text) {
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (n > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        n = n * 10 + digit;
    }
    return n;
}

std::optional<std::int64_t> ParseFtpTime(std::string_view text)
{
    const std::size_t dot = text.find('.');
    if (dot != std::string_view::npos) {
        if (!AllDigits(text.substr(dot + 1)))
            return std::nullopt;
        text = text.substr(0, dot);
    }
    if (text.size() != 14 || !AllDigits(text))
        return std::nullopt;
    auto field = [&](std::size_t at, std::size_t n) { return *SmallNumber(text.substr(at, n)); };
    return UtcSeconds(field(0, 4), field(4, 2), field(6, 2), field(8, 2), field(10, 2), field(12, 2));
}

std::optional<RemoteEntry> ParseListLine(std::string_view line, std::int64_t now)
{
    if (line.empty())
        return std::nullopt;
    if (line[0] == '+')
        return ParseEplf(line);
    if (std::isdigit(static_cast<unsigned char>(line[0])))
        return ParseDos(line);
    return ParseUnix(line, now);
}

std::vector<RemoteEntry> ParseListing(std::string_view text, std::int64_t now)
{
    std::vector<RemoteEntry> entries;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (auto entry = ParseListLine(line, now))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

std::optional<RemoteEntry> ParseMlstLine(std::string_view line)
{
    if (!line.empty() && line[0] == ' ')
        line.remove_prefix(1);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || space + 1 >= line.size())
        return std::nullopt;
    RemoteEntry e;
    e.name = std::string(line.substr(space + 1));
    std::string_view facts = line.substr(0, space);
    while (!facts.empty()) {
        const std::size_t semi = facts.find(';');
        const std::string_view fact = facts.substr(0, semi);
        facts = semi == std::string_view::npos ? std::string_view() : facts.substr(semi + 1);
        const std::size_t eq = fact.find('=');
        if (eq != std::string_view::npos)
            ApplyMlstFact(fact.substr(0, eq), fact.substr(eq + 1), e);
    }
    return e;
}

}  // namespace ftp
