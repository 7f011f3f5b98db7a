#include "platform/registry/RegistryText.h"
#include "platform/registry/RegistryTree.h"

#include <cstdio>

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string HexBytes(const std::string& bytes)
{
    std::string out;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, i ? ",%02x" : "%02x", static_cast<unsigned char>(bytes[i]));
        out += pair;
    }
    return out;
}

// A REG_SZ written as "text": one line of text without zero bytes, then
// exactly one zero byte.
bool IsPlainText(const std::string& data)
{
    if (data.empty() || data.back() != '\0')
        return false;
    return data.find_first_of(std::string("\0\r\n", 3)) == data.size() - 1;
}

std::string FormatData(const RegistryValue& value)
{
    if (value.type == REG_SZ && IsPlainText(value.data))
        return Quoted(value.data.substr(0, value.data.size() - 1));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return text;
    }
    if (value.type == REG_BINARY)
        return "hex:" + HexBytes(value.data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    return prefix + HexBytes(value.data);
}

std::string HeaderName(const RegistryKeyRecord& key)
{
    std::string name = RootName(key.root);
    for (const std::string& part : key.path)
        name += "\\" + part;
    return name;
}

bool HasLineBreak(const std::string& name)
{
    return name.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

std::string FindNameWithLineBreak(const std::vector<RegistryKeyRecord>& keys)
{
    for (const RegistryKeyRecord& key : keys) {
        bool broken = false;
        for (const std::string& part : key.path)
            broken = broken || HasLineBreak(part);
        for (const RegistryValue& value : key.values)
            broken = broken || HasLineBreak(value.name);
        if (broken)
            return HeaderName(key);
    }
    return std::string();
}

std::string FormatRegistryText(const std::vector<RegistryKeyRecord>& keys)
{
    std::string out = "REGEDIT4\n";
    for (const RegistryKeyRecord& key : keys) {
        out += "\n[" + HeaderName(key) + "]\n";
        for (const RegistryValue& value : key.values)
            out += (value.name.empty() ? std::string("@") : Quoted(value.name)) + "=" +
                   FormatData(value) + "\n";
    }
    return out;
}

bool ParseRegistryKeyName(const std::string& text, HKEY& root, std::string& keyPath)
{
    const std::size_t slash = text.find('\\');
    const std::string rootName = text.substr(0, slash);
    if (!ParseRootName(rootName.c_str(), static_cast<std::uint32_t>(rootName.size()), root))
        return false;
    keyPath = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    return true;
}

namespace {

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// 1 to maxDigits hex digits, the whole of text.
bool ParseHexNumber(const std::string& text, std::size_t maxDigits, DWORD& number)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    number = 0;
    for (char c : text) {
        if (HexDigit(c) < 0)
            return false;
        number = (number << 4) | static_cast<DWORD>(HexDigit(c));
    }
    return true;
}

bool ParseHexBytes(const std::string& text, std::string& bytes)
{
    bytes.clear();
    if (Trimmed(text).empty())
        return true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        DWORD byte = 0;
        if (!ParseHexNumber(Trimmed(text.substr(start, comma - start)), 2, byte))
            return false;
        bytes += static_cast<char>(byte);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

class TextParser {
public:
    TextParser(const std::string& text, std::vector<RegistryEdit>& edits, RegistryTextError& error)
        : m_text(text), m_edits(edits), m_error(error)
    {
    }

    bool Run()
    {
        std::string line;
        if (!NextLine(line) || line != "REGEDIT4")
            return Fail("the file does not start with the line REGEDIT4");
        while (NextLine(line)) {
            if (line.empty() || line[0] == ';')
                continue;
            if (!(line[0] == '[' ? Header(line) : ValueLine(line)))
                return false;
        }
        return true;
    }

private:
    // The next line without its line end and surrounding blanks, joined with
    // the lines that continue it (a trailing "\"). m_lineNumber is the first.
    bool NextLine(std::string& line)
    {
        if (m_pos >= m_text.size() && m_lineNumber > 0)
            return false;
        line.clear();
        m_lineNumber = m_nextLine;
        for (;;) {
            std::size_t end = m_text.find('\n', m_pos);
            if (end == std::string::npos)
                end = m_text.size();
            std::string part = Trimmed(m_text.substr(m_pos, end - m_pos));
            m_pos = end + 1;
            ++m_nextLine;
            const bool continued = !part.empty() && part.back() == '\\' && part[0] != '[' &&
                                   m_pos < m_text.size();
            if (continued)
                part.pop_back();
            line += part;
            if (!continued)
                return true;
        }
    }

    bool Fail(const std::string& message)
    {
        m_error.line = m_lineNumber;
        m_error.message = message;
        return false;
    }

    bool Header(const std::string& line)
    {
        if (line.back() != ']')
            return Fail("a key header must end with ]");
        RegistryEdit edit;
        const bool remove = line.size() > 1 && line[1] == '-';
        const std::string name = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
        std::vector<std::string> parts;
        if (!ParseRegistryKeyName(name, edit.root, edit.keyPath))
            return Fail("unknown root key in [" + name + "]");
        if (RegistryTree::SplitPath(edit.keyPath, parts) != ERROR_SUCCESS)
            return Fail("empty key name in [" + name + "]");
        if (remove && parts.empty())
            return Fail("a root key cannot be deleted");
        edit.kind = remove ? RegistryEdit::DeleteKey : RegistryEdit::CreateKey;
        m_inKey = !remove;
        m_key = edit;
        m_edits.push_back(std::move(edit));
        return true;
    }

    bool ValueLine(const std::string& line)
    {
        if (!m_inKey)
            return Fail("a value line must follow a key header");
        RegistryEdit edit = m_key;
        std::size_t pos = 1;
        if (line[0] == '@')
            edit.value.name.clear();
        else if (line[0] != '"' || !Quoted(line, pos, edit.value.name))
            return Fail("a value line must start with \"name\" or @");
        pos = line.find_first_not_of(" \t", pos);
        if (pos == std::string::npos || line[pos] != '=')
            return Fail("= expected after the value name");
        if (!Data(Trimmed(line.substr(pos + 1)), edit))
            return false;
        m_edits.push_back(std::move(edit));
        return true;
    }

    // Reads "..." starting after its opening quote at pos; pos ends after the
    // closing quote.
    bool Quoted(const std::string& line, std::size_t& pos, std::string& text)
    {
        text.clear();
        while (pos < line.size() && line[pos] != '"') {
            if (line[pos] == '\\') {
                if (++pos >= line.size() || (line[pos] != '\\' && line[pos] != '"'))
                    return false;
            }
            text += line[pos++];
        }
        return pos++ < line.size();
    }

    bool Data(const std::string& text, RegistryEdit& edit)
    {
        RegistryValue& value = edit.value;
        edit.kind = RegistryEdit::SetValue;
        if (text == "-") {
            edit.kind = RegistryEdit::DeleteValue;
            return true;
        }
        if (!text.empty() && text[0] == '"') {
            std::size_t pos = 1;
            if (!Quoted(text, pos, value.data) || pos != text.size())
                return Fail("bad text value: " + text);
            value.type = REG_SZ;
            value.data.push_back('\0');
            return true;
        }
        if (text.rfind("dword:", 0) == 0)
            return Dword(text.substr(6), value);
        return Hex(text, value);
    }

    bool Dword(const std::string& digits, RegistryValue& value)
    {
        DWORD number = 0;
        if (!ParseHexNumber(digits, 8, number))
            return Fail("dword: needs 1 to 8 hex digits");
        value.type = REG_DWORD;
        value.data.clear();
        for (int i = 0; i < 4; ++i)
            value.data += static_cast<char>((number >> (8 * i)) & 0xff);
        return true;
    }

    bool Hex(const std::string& text, RegistryValue& value)
    {
        std::size_t colon = text.find(':');
        value.type = REG_BINARY;
        if (colon == std::string::npos || text.rfind("hex", 0) != 0)
            return Fail("unknown value form: " + text);
        if (colon != 3) {
            const std::string type = text.substr(3, colon - 3);
            if (type.size() < 3 || type.front() != '(' || type.back() != ')' ||
                !ParseHexNumber(type.substr(1, type.size() - 2), 8, value.type))
                return Fail("bad value type in " + text.substr(0, colon));
        }
        if (!ParseHexBytes(text.substr(colon + 1), value.data))
            return Fail("bad hex bytes (two hex digits each, separated by commas)");
        return true;
    }

    const std::string& m_text;
    std::vector<RegistryEdit>& m_edits;
    RegistryTextError& m_error;
    std::size_t m_pos = 0;
    int m_lineNumber = 0;
    int m_nextLine = 1;
    bool m_inKey = false;
    RegistryEdit m_key;
};

}  // namespace

bool ParseRegistryText(const std::string& text, std::vector<RegistryEdit>& edits,
                       RegistryTextError& error)
{
    std::string body = text;
    if (body.rfind("\xEF\xBB\xBF", 0) == 0)
        body.erase(0, 3);
    return TextParser(body, edits, error).Run();
}
