#include "platform/shell/RunningCopies.h"

#include <charconv>

namespace running_copies {

namespace {

std::optional<std::uint64_t> ParseId(std::string_view text)
{
    std::uint64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return id;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

}  // namespace

std::string EscapeField(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeField(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::string FormatWindowLine(const RunningWindow& window)
{
    return "WINDOW\t" + std::to_string(window.id) + '\t' + (window.enabled ? "1" : "0") + '\t' +
           EscapeField(window.className) + '\t' + EscapeField(window.title) + '\n';
}

std::optional<RunningWindow> ParseWindowLine(std::string_view line)
{
    const std::vector<std::string_view> fields = Split(line, '\t');
    if (fields.size() != 5 || fields[0] != "WINDOW" || (fields[2] != "0" && fields[2] != "1"))
        return std::nullopt;
    const std::optional<std::uint64_t> id = ParseId(fields[1]);
    std::optional<std::string> className = UnescapeField(fields[3]);
    std::optional<std::string> title = UnescapeField(fields[4]);
    if (!id || !className || !title)
        return std::nullopt;
    return RunningWindow{*id, fields[2] == "1", std::move(*className), std::move(*title)};
}

std::optional<std::vector<RunningWindow>> ParseListReply(std::string_view reply)
{
    if (reply.empty() || reply.back() != '\n')
        return std::nullopt;
    reply.remove_suffix(1);
    const std::vector<std::string_view> lines = Split(reply, '\n');
    if (lines.back() != "END")
        return std::nullopt;
    std::vector<RunningWindow> windows;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        std::optional<RunningWindow> window = ParseWindowLine(lines[i]);
        if (!window)
            return std::nullopt;
        windows.push_back(std::move(*window));
    }
    return windows;
}

std::string FormatRequest(const Request& request)
{
    switch (request.kind) {
    case RequestKind::List: return "LIST\n";
    case RequestKind::QueryEnd: return "QUERYEND " + std::to_string(request.id) + '\n';
    case RequestKind::Close: return "CLOSE " + std::to_string(request.id) + '\n';
    }
    return "LIST\n";
}

std::optional<Request> ParseRequest(std::string_view line)
{
    if (line == "LIST")
        return Request{RequestKind::List, 0};
    for (const auto& [word, kind] : {std::pair{std::string_view("QUERYEND "), RequestKind::QueryEnd},
                                     std::pair{std::string_view("CLOSE "), RequestKind::Close}}) {
        if (line.substr(0, word.size()) == word)
            if (const std::optional<std::uint64_t> id = ParseId(line.substr(word.size())))
                return Request{kind, *id};
    }
    return std::nullopt;
}

}  // namespace running_copies
