#pragma once
// Turns the bytes of a control connection into FTP replies (RFC 959 4.2):
// "DDD text" or a multi-line "DDD-text ... DDD text". Never touches a socket:
// the control connection feeds it what it read, in pieces of any size.
// Lines end in CRLF (a bare LF is accepted). A line longer than kMaxLineBytes,
// a reply of more than kMaxLines lines, or a first line that is not a reply
// is an error, after which the reader stays broken.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ftp {

struct Reply {
    int code = 0;
    std::vector<std::string> lines;  // as received, without line ends

    int Class() const { return code / 100; }  // 1 to 5
    // The lines joined by "\n": the reply as it came, for error texts.
    std::string Text() const;
    // The text of the first line after the code and its separator.
    std::string FirstLineText() const;
};

class ReplyReader {
public:
    static constexpr std::size_t kMaxLineBytes = 8192;
    static constexpr std::size_t kMaxLines = 1000;

    enum class State { NeedMore, Ready, Broken };

    void Feed(std::string_view bytes);
    // Ready: reply holds the next complete reply. NeedMore: feed more bytes.
    // Broken: the input is not FTP; error says how.
    State Next(Reply& reply, std::string& error);
    // Whether bytes are buffered that no reply has consumed yet.
    bool HasBufferedBytes() const { return m_scan < m_buffer.size(); }

private:
    // Takes one line from the buffer into line; false when none is complete.
    bool TakeLine(std::string& line);
    State Broken(std::string& error, std::string text);
    State AcceptLine(std::string line, Reply& reply, std::string& error);

    std::string m_buffer;
    std::size_t m_scan = 0;  // first byte not yet consumed
    Reply m_partial;         // the multi-line reply being read
    bool m_broken = false;
    std::string m_brokenText;
};

}  // namespace ftp
