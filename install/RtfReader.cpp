#include "install/RtfReader.h"

#include "install/CodePage1252.h"
#include "platform/framework/Utf16.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace {

constexpr std::size_t kMaxDepth = 256;     // deeper groups share the deepest state
constexpr std::size_t kMaxWordLength = 32;  // longer control words are consumed, never matched
constexpr int kDefaultHalfPoints = 24;
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 400;
constexpr char32_t kLineSeparator = 0x2028;

struct GroupState {
    bool bold = false;
    bool italic = false;
    int halfPoints = kDefaultHalfPoints;
    bool skip = false;  // inside a destination that shows nothing
    int unicodeSkip = 1;  // characters that stand for the last \uN
};

// Destinations whose contents are never shown.
constexpr std::array<std::string_view, 27> kHiddenDestinations = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "headerl", "headerr",
    "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "object", "listtable",
    "listoverridetable", "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping",
    "datastore", "latentstyles", "fldinst", "filetbl", "revtbl",
};

struct Symbol {
    std::string_view word;
    char32_t character;
};

constexpr std::array<Symbol, 11> kSymbols = {{
    {"tab", U'\t'}, {"emdash", 0x2014}, {"endash", 0x2013}, {"lquote", 0x2018},
    {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022},
    {"emspace", 0x2003}, {"enspace", 0x2002}, {"cell", U'\t'},
}};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Appends bytes as UTF-8: valid sequences as they are, every other byte
// read in code page 1252.
void AppendUtf8Or1252(std::string& out, std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        bool valid = length > 0 && i + length <= bytes.size();
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= least[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (valid) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            AppendUtf8(out, CodePage1252ToUnicode(lead));
            ++i;
        }
    }
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_in(bytes) {}

    RichText Read()
    {
        while (m_pos < m_in.size())
            Step();
        FlushBytes();
        if (!m_paragraph.runs.empty())
            m_out.paragraphs.push_back(std::move(m_paragraph));
        return std::move(m_out);
    }

private:
    GroupState& State() { return m_stack.back(); }

    void Step()
    {
        const char c = m_in[m_pos++];
        switch (c) {
        case '{':
            OpenGroup();
            return;
        case '}':
            CloseGroup();
            return;
        case '\\':
            ControlSequence();
            return;
        case '\r':
        case '\n':
            return;
        default:
            if (!SkippedByUnicode())
                Byte(static_cast<unsigned char>(c));
        }
    }

    void OpenGroup()
    {
        FlushBytes();
        m_unicodeToSkip = 0;
        if (m_stack.size() < kMaxDepth)
            m_stack.push_back(State());
        else
            ++m_overflow;
    }

    void CloseGroup()
    {
        FlushBytes();
        m_unicodeToSkip = 0;
        if (m_overflow > 0)
            --m_overflow;
        else if (m_stack.size() > 1)
            m_stack.pop_back();
        // A closing brace without its opening one is ignored.
    }

    void ControlSequence()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (std::isalpha(static_cast<unsigned char>(c))) {
            ControlWord();
            return;
        }
        ++m_pos;
        if (c == '\'') {
            const int high = m_pos < m_in.size() ? HexValue(m_in[m_pos]) : -1;
            const int low = m_pos + 1 < m_in.size() ? HexValue(m_in[m_pos + 1]) : -1;
            if (high < 0 || low < 0) {
                m_pos += high >= 0 ? 1 : 0;  // a cut escape shows nothing
                return;
            }
            m_pos += 2;
            if (!SkippedByUnicode())
                Byte(static_cast<unsigned char>(high * 16 + low));
            return;
        }
        if (c == '*') {
            State().skip = true;  // an ignorable destination we do not know
            return;
        }
        if (SkippedByUnicode())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Byte(static_cast<unsigned char>(c));
            return;
        case '~':
            Character(0x00A0);
            return;
        case '_':
            Character(0x2011);
            return;
        case '\r':
        case '\n':
            EndParagraph();
            return;
        default:
            return;  // \- (optional hyphen) and unknown symbols show nothing
        }
    }

    void ControlWord()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])))
            ++m_pos;
        const std::string_view word = m_in.substr(start, std::min(m_pos - start, kMaxWordLength + 1));
        bool hasValue = false;
        bool negative = false;
        long long value = 0;
        if (m_pos < m_in.size() && m_in[m_pos] == '-' && m_pos + 1 < m_in.size() &&
            std::isdigit(static_cast<unsigned char>(m_in[m_pos + 1]))) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in[m_pos]))) {
            hasValue = true;
            value = std::min<long long>(value * 10 + (m_in[m_pos] - '0'), 1'000'000'000LL);
            ++m_pos;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        Word(word, hasValue, static_cast<int>(negative ? -value : value));
    }

    void Word(std::string_view word, bool hasValue, int value)
    {
        GroupState& state = State();
        if (std::find(kHiddenDestinations.begin(), kHiddenDestinations.end(), word) != kHiddenDestinations.end()) {
            state.skip = true;
            return;
        }
        if (word == "bin") {
            // Binary data of value bytes follows; it is never text.
            m_pos += std::min<std::size_t>(hasValue && value > 0 ? value : 0, m_in.size() - m_pos);
            return;
        }
        if (word == "ansicpg" && hasValue) {
            FlushBytes();
            m_codePage = value;
        } else if (word == "ansi") {
            m_codePage = 1252;
        } else if (word == "uc" && hasValue) {
            state.unicodeSkip = std::clamp(value, 0, 16);
        } else if (word == "u" && hasValue) {
            UnicodeCharacter(value);
        } else if (word == "b") {
            state.bold = !hasValue || value != 0;
        } else if (word == "i") {
            state.italic = !hasValue || value != 0;
        } else if (word == "fs") {
            state.halfPoints = hasValue && value > 0 ? std::clamp(value, kMinHalfPoints, kMaxHalfPoints) : kDefaultHalfPoints;
        } else if (word == "plain") {
            state.bold = state.italic = false;
            state.halfPoints = kDefaultHalfPoints;
        } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
            EndParagraph();
        } else if (word == "line") {
            Character(kLineSeparator);
        } else {
            for (const Symbol& symbol : kSymbols)
                if (symbol.word == word && !SkippedByUnicode())
                    Character(symbol.character);
        }
    }

    void UnicodeCharacter(int value)
    {
        // \uN is a signed 16-bit number; characters beyond the first plane
        // come as a surrogate pair.
        char32_t c = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF) {
            FlushBytes();
            m_highSurrogate = c;
        } else if (c >= 0xDC00 && c <= 0xDFFF && m_highSurrogate != 0) {
            const char32_t combined = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (c - 0xDC00);
            m_highSurrogate = 0;
            Character(combined);
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            Character(0xFFFD);  // half of a pair without its first half
        } else {
            Character(c);
        }
        m_unicodeToSkip = State().unicodeSkip;
    }

    // True (and counts it) when this character stands in for the last \uN.
    bool SkippedByUnicode()
    {
        if (m_unicodeToSkip == 0)
            return false;
        --m_unicodeToSkip;
        return true;
    }

    void Byte(unsigned char b)
    {
        if (State().skip)
            return;
        if (m_codePage == 65001) {
            m_bytes += static_cast<char>(b);
            return;
        }
        Character(CodePage1252ToUnicode(b));
    }

    void Character(char32_t c)
    {
        if (State().skip)
            return;
        FlushBytes();
        if (m_highSurrogate != 0 && !(c >= 0x10000)) {
            m_highSurrogate = 0;
            AppendUtf8(Run(), 0xFFFD);
        }
        AppendUtf8(Run(), c);
    }

    // UTF-8 bytes gathered from escapes, written as one piece.
    void FlushBytes()
    {
        if (m_bytes.empty())
            return;
        std::string bytes;
        bytes.swap(m_bytes);
        AppendUtf8Or1252(Run(), bytes);
    }

    // The run that takes text in the current formatting.
    std::string& Run()
    {
        const GroupState& state = State();
        std::vector<RichTextRun>& runs = m_paragraph.runs;
        if (runs.empty() || runs.back().bold != state.bold || runs.back().italic != state.italic ||
            runs.back().halfPoints != state.halfPoints)
            runs.push_back({"", state.bold, state.italic, state.halfPoints});
        return runs.back().text;
    }

    void EndParagraph()
    {
        if (State().skip)
            return;
        FlushBytes();
        m_out.paragraphs.push_back(std::move(m_paragraph));
        m_paragraph = {};
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_stack{GroupState{}};
    std::size_t m_overflow = 0;
    int m_codePage = 1252;
    int m_unicodeToSkip = 0;
    char32_t m_highSurrogate = 0;
    std::string m_bytes;
    RichTextParagraph m_paragraph;
    RichText m_out;
};

RichText ReadPlainText(std::string_view bytes)
{
    RichText text;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        RichTextParagraph paragraph;
        if (!line.empty()) {
            paragraph.runs.push_back({});
            AppendUtf8Or1252(paragraph.runs.back().text, line);
        }
        text.paragraphs.push_back(std::move(paragraph));
        start = end + 1;
    }
    return text;
}

}  // namespace

std::string RichText::PlainText() const
{
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += '\n';
        for (const RichTextRun& run : paragraphs[i].runs)
            text += run.text;
    }
    return text;
}

RichText ReadRichText(std::string_view bytes)
{
    if (bytes.substr(0, 5) != "{\\rtf")
        return ReadPlainText(bytes);
    return Reader(bytes).Read();
}
