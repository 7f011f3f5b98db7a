#include "platform/ftp/ReplyParsers.h"

#include "platform/ftp/ListingParser.h"

#include <cctype>
#include <vector>

namespace ftp {

namespace {

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::uint16_t> PortNumber(std::uint64_t value)
{
    if (value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<std::string> ParsePwdPath(std::string_view text)
{
    // Several servers send the path without quotation marks
    // ("257 /home/u is cwd"): the first word, when it is an absolute path.
    if (!text.empty() && text.front() == '/')
        return std::string(text.substr(0, text.find(' ')));
    const std::size_t open = text.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string path;
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            path += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            path += '"';
            ++i;
        } else {
            return path;
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> ParseEpsvPort(std::string_view text)
{
    const std::size_t open = text.find('(');
    const std::size_t close = text.find(')', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos || close - open < 6)
        return std::nullopt;
    const std::string_view inner = text.substr(open + 1, close - open - 1);
    const char d = inner[0];
    if (inner.size() < 5 || inner[1] != d || inner[2] != d || inner.back() != d)
        return std::nullopt;
    const auto port = ParseDecimal(inner.substr(3, inner.size() - 4));
    return port ? PortNumber(*port) : std::nullopt;
}

std::optional<std::uint16_t> ParsePasvPort(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && !std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    std::vector<std::uint64_t> numbers;
    while (i < text.size() && numbers.size() < 6) {
        std::size_t j = i;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
            ++j;
        const auto n = ParseDecimal(text.substr(i, j - i));
        if (!n || *n > 255)
            return std::nullopt;
        numbers.push_back(*n);
        if (numbers.size() < 6 && (j >= text.size() || text[j] != ','))
            return std::nullopt;
        i = j + 1;
    }
    if (numbers.size() != 6)
        return std::nullopt;
    return PortNumber(numbers[4] * 256 + numbers[5]);
}

Features ParseFeatures(const Reply& reply)
{
    Features f;
    if (reply.code != 211)
        return f;
    for (std::size_t i = 1; i + 1 < reply.lines.size(); ++i) {
        const std::string line = Upper(reply.lines[i]);
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos)
            continue;
        const std::string feature = line.substr(start, line.find(' ', start) - start);
        if (feature == "MLST")
            f.mlst = line.find("SIZE", start) != std::string::npos && line.find("MODIFY", start) != std::string::npos;
        else if (feature == "MDTM")
            f.mdtm = true;
        else if (feature == "SIZE")
            f.size = true;
        else if (feature == "AUTH")
            f.authTls = line.find("TLS", start) != std::string::npos;
    }
    return f;
}

}  // namespace ftp
