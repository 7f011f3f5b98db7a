#include "cli/JsonWriter.h"

#include "cli/Utf8.h"

#include <cstdio>

namespace {

void AppendEscaped(std::string& out, unsigned char byte)
{
    switch (byte) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    char escape[7];
    std::snprintf(escape, sizeof escape, "\\u%04X", byte);
    out += escape;
}

bool NeedsEscape(unsigned char byte)
{
    return byte < 0x20 || byte == '"' || byte == '\\';
}

}  // namespace

std::string JsonWriter::Quote(const std::string& bytes)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const std::size_t valid = ValidUtf8Length(bytes, i);
        if (valid == 0 || NeedsEscape(byte)) {
            AppendEscaped(out, byte);
            ++i;
        } else {
            out.append(bytes, i, valid);
            i += valid;
        }
    }
    return out + "\"";
}

void JsonWriter::NewLine()
{
    if (m_layout == Layout::oneLine) {
        if (!m_out.empty() && m_out.back() == ',')
            m_out += ' ';
        return;
    }
    m_out += '\n';
    m_out.append(2 * m_hasMember.size(), ' ');
}

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_hasMember.empty())
        return;
    if (m_hasMember.back())
        m_out += ',';
    m_hasMember.back() = true;
    NewLine();
}

void JsonWriter::Close(char bracket)
{
    const bool hadMembers = m_hasMember.back();
    m_hasMember.pop_back();
    if (hadMembers)
        NewLine();
    m_out += bracket;
}

void JsonWriter::BeginObject()
{
    BeforeValue();
    m_out += '{';
    m_hasMember.push_back(false);
}

void JsonWriter::EndObject() { Close('}'); }

void JsonWriter::BeginArray()
{
    BeforeValue();
    m_out += '[';
    m_hasMember.push_back(false);
}

void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(const std::string& name)
{
    BeforeValue();
    m_out += Quote(name) + ": ";
    m_afterKey = true;
}

void JsonWriter::String(const std::string& bytes)
{
    BeforeValue();
    m_out += Quote(bytes);
}

void JsonWriter::Number(std::int64_t value)
{
    BeforeValue();
    m_out += std::to_string(value);
}

void JsonWriter::Member(const std::string& name, const std::string& bytes)
{
    Key(name);
    String(bytes);
}

void JsonWriter::Member(const std::string& name, std::int64_t value)
{
    Key(name);
    Number(value);
}

void JsonWriter::Null()
{
    BeforeValue();
    m_out += "null";
}

std::string JsonWriter::Text() const
{
    return m_hasMember.empty() && !m_out.empty() ? m_out + "\n" : m_out;
}
