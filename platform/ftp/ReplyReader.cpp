#include "platform/ftp/ReplyReader.h"

#include <cctype>

namespace ftp {

namespace {

bool IsCode(const std::string& line)
{
    return line.size() >= 3 && line[0] >= '1' && line[0] <= '5' && std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2]));
}

int CodeOf(const std::string& line)
{
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// "DDD" alone or "DDD text": the last line of a reply with that code.
bool IsFinalLine(const std::string& line, int code)
{
    return IsCode(line) && CodeOf(line) == code && (line.size() == 3 || line[3] == ' ');
}

}  // namespace

std::string Reply::Text() const
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

std::string Reply::FirstLineText() const
{
    if (lines.empty() || lines.front().size() <= 4)
        return {};
    return lines.front().substr(4);
}

void ReplyReader::Feed(std::string_view bytes)
{
    m_buffer.erase(0, m_scan);
    m_scan = 0;
    m_buffer.append(bytes);
}

bool ReplyReader::TakeLine(std::string& line)
{
    const std::size_t end = m_buffer.find('\n', m_scan);
    if (end == std::string::npos)
        return false;
    std::size_t stop = end;
    if (stop > m_scan && m_buffer[stop - 1] == '\r')
        --stop;
    line.assign(m_buffer, m_scan, stop - m_scan);
    m_scan = end + 1;
    return true;
}

ReplyReader::State ReplyReader::Broken(std::string& error, std::string text)
{
    m_broken = true;
    m_brokenText = std::move(text);
    error = m_brokenText;
    return State::Broken;
}

ReplyReader::State ReplyReader::AcceptLine(std::string line, Reply& reply, std::string& error)
{
    if (line.size() > kMaxLineBytes)
        return Broken(error, "reply line longer than " + std::to_string(kMaxLineBytes) + " bytes");
    if (m_partial.lines.empty()) {
        if (!IsCode(line) || (line.size() > 3 && line[3] != ' ' && line[3] != '-'))
            return Broken(error, "not an FTP reply");
        m_partial.code = CodeOf(line);
        const bool single = line.size() == 3 || line[3] == ' ';
        m_partial.lines.push_back(std::move(line));
        if (!single)
            return State::NeedMore;
    } else {
        if (m_partial.lines.size() >= kMaxLines)
            return Broken(error, "reply of more than " + std::to_string(kMaxLines) + " lines");
        const bool last = IsFinalLine(line, m_partial.code);
        m_partial.lines.push_back(std::move(line));
        if (!last)
            return State::NeedMore;
    }
    reply = std::move(m_partial);
    m_partial = Reply{};
    return State::Ready;
}

ReplyReader::State ReplyReader::Next(Reply& reply, std::string& error)
{
    if (m_broken) {
        error = m_brokenText;
        return State::Broken;
    }
    std::string line;
    while (TakeLine(line)) {
        const State state = AcceptLine(std::move(line), reply, error);
        if (state != State::NeedMore)
            return state;
    }
    if (m_buffer.size() - m_scan > kMaxLineBytes)
        return Broken(error, "reply line longer than " + std::to_string(kMaxLineBytes) + " bytes");
    return State::NeedMore;
}

}  // namespace ftp
