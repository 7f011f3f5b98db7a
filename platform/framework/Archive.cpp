#include "platform/framework/Archive.h"

#include "platform/framework/Utf16.h"

#include <limits>

const char* CArchiveException::what() const noexcept
{
    switch (m_cause) {
    case endOfFile:
        return "archive: end of file";
    case generic:
        return "archive: generic error";
    default:
        return "archive: no error";
    }
}

namespace {

template <typename T>
T DecodeLittleEndian(std::string_view bytes)
{
    T value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;)
        value = static_cast<T>((value << 8) | static_cast<unsigned char>(bytes[i]));
    return value;
}

template <typename T>
void EncodeLittleEndian(std::string& out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

CArchive::CArchive() : m_bStoring(true) {}

CArchive::CArchive(std::string_view bytes) : m_bStoring(false), m_input(bytes) {}

void CArchive::EnsureCanHold(std::size_t count, std::size_t minBytes) const
{
    if (minBytes != 0 && count > GetRemaining() / minBytes)
        throw CArchiveException(CArchiveException::endOfFile);
}

std::string_view CArchive::Take(std::size_t size)
{
    if (size > GetRemaining())
        throw CArchiveException(CArchiveException::endOfFile);
    std::string_view bytes = m_input.substr(m_position, size);
    m_position += size;
    return bytes;
}

void CArchive::Write(const void* data, std::size_t size)
{
    m_output.append(static_cast<const char*>(data), size);
}

CArchive& CArchive::operator<<(BYTE value)
{
    EncodeLittleEndian(m_output, value);
    return *this;
}

CArchive& CArchive::operator<<(WORD value)
{
    EncodeLittleEndian(m_output, value);
    return *this;
}

CArchive& CArchive::operator<<(DWORD value)
{
    EncodeLittleEndian(m_output, value);
    return *this;
}

CArchive& CArchive::operator<<(CTime value)
{
    return *this << static_cast<DWORD>(value.GetTime());
}

CArchive& CArchive::operator<<(const std::string& text)
{
    WriteStringLength(text.size());
    m_output += text;
    return *this;
}

void CArchive::WriteStringLength(std::size_t length)
{
    if (length > std::numeric_limits<DWORD>::max())
        throw CArchiveException(CArchiveException::generic);
    if (length < 0xFF) {
        *this << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(length);
    }
}

CArchive& CArchive::operator>>(BYTE& value)
{
    value = DecodeLittleEndian<BYTE>(Take(sizeof value));
    return *this;
}

CArchive& CArchive::operator>>(WORD& value)
{
    value = DecodeLittleEndian<WORD>(Take(sizeof value));
    return *this;
}

CArchive& CArchive::operator>>(DWORD& value)
{
    value = DecodeLittleEndian<DWORD>(Take(sizeof value));
    return *this;
}

CArchive& CArchive::operator>>(CTime& value)
{
    DWORD seconds = 0;
    *this >> seconds;
    value = CTime(static_cast<std::int32_t>(seconds));
    return *this;
}

DWORD CArchive::ReadStringLength(bool& wide)
{
    wide = false;
    BYTE byteLength = 0;
    *this >> byteLength;
    if (byteLength < 0xFF)
        return byteLength;
    WORD wordLength = 0;
    *this >> wordLength;
    if (wordLength == 0xFFFE) {
        // Wide string: the length follows again; here 0xFFFE is a length.
        wide = true;
        *this >> byteLength;
        if (byteLength < 0xFF)
            return byteLength;
        *this >> wordLength;
    }
    if (wordLength < 0xFFFF)
        return wordLength;
    DWORD dwordLength = 0;
    *this >> dwordLength;
    return dwordLength;
}

CArchive& CArchive::operator>>(std::string& text)
{
    bool wide = false;
    const std::size_t length = ReadStringLength(wide);
    if (wide) {
        EnsureCanHold(length, 2);
        text = Utf16LeToUtf8(Take(2 * length));
    } else {
        text.assign(Take(length));
    }
    return *this;
}
