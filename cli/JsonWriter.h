#pragma once
// Writes one JSON document, indented by two spaces, for the tool's --json
// output. Strings are the stored bytes: valid UTF-8 as it stands, every
// other byte as \u00XX of its value, so any text survives as JSON.

#include <cstdint>
#include <string>
#include <vector>

class JsonWriter {
public:
    // indented: a member a line, two spaces a level; oneLine: the whole
    // document on one line ("{"a": 1, "b": 2}"), for a stream of records.
    enum class Layout { indented, oneLine };
    explicit JsonWriter(Layout layout = Layout::indented) : m_layout(layout) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the open object.
    void Key(const std::string& name);
    void String(const std::string& bytes);
    void Number(std::int64_t value);
    void Null();
    // Key(name), then the value.
    void Member(const std::string& name, const std::string& bytes);
    void Member(const std::string& name, const char* text) { Member(name, std::string(text)); }
    void Member(const std::string& name, std::int64_t value);

    // The document so far, with a final line feed once it is complete.
    std::string Text() const;

    // bytes as a JSON string literal, quotes included.
    static std::string Quote(const std::string& bytes);

private:
    void BeforeValue();
    void NewLine();
    void Close(char bracket);

    Layout m_layout;
    std::string m_out;
    // One entry per open object or array: whether it has a member yet.
    std::vector<bool> m_hasMember;
    bool m_afterKey = false;
};
