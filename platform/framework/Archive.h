#pragma once
// The framework's archive: the byte encodings of documents on disk.
//
// Numbers are little-endian: BYTE 1, WORD 2, DWORD 4 bytes; a CTime is its
// seconds value as a DWORD. A string is a length prefix and its bytes, no
// terminator:
//   length 0..254       one byte n
//   length 255..65533   0xFF, n as WORD
//   65534 and more      0xFF, WORD 0xFFFF, n as DWORD
// On reading, 0xFF then WORD 0xFFFE announces a wide string: its length
// follows in the same prefix form (0xFFFE there is a length), counts UTF-16LE
// units, and the text is converted to UTF-8 (a lone surrogate becomes
// U+FFFD). The writer never produces the wide form.
//
// A loading archive reads from bytes it does not own (they must outlive it);
// any read that needs more bytes than remain throws CArchiveException
// (endOfFile) and consumes nothing. A storing archive collects its bytes in
// memory; the caller writes them out.

#include "platform/framework/ArchiveException.h"
#include "platform/framework/Time.h"
#include "platform/framework/Types.h"

#include <cstddef>
#include <string>
#include <string_view>

class CArchive {
public:
    // Storing: starts empty.
    CArchive();
    // Loading: reads bytes from the start.
    explicit CArchive(std::string_view bytes);

    bool IsStoring() const { return m_bStoring; }
    bool IsLoading() const { return !m_bStoring; }

    // Loading: the number of bytes not read yet.
    std::size_t GetRemaining() const { return m_input.size() - m_position; }
    // Storing: everything written so far.
    const std::string& GetStoredBytes() const { return m_output; }

    // Loading: throws endOfFile unless count records of at least minBytes
    // each fit in the rest of the data, so that a count read from a file
    // never makes the reader allocate more than the file could hold.
    void EnsureCanHold(std::size_t count, std::size_t minBytes) const;

    // The loader stopped on purpose after telling the user why (a foreign or
    // newer file); whoever runs the load fails it without a second message.
    void RefuseLoad() { m_bLoadRefused = true; }
    bool IsLoadRefused() const { return m_bLoadRefused; }

    void Write(const void* data, std::size_t size);

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(DWORD value);
    CArchive& operator<<(CTime value);
    // Throws CArchiveException (generic) for a text longer than a DWORD can count.
    CArchive& operator<<(const std::string& text);

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(DWORD& value);
    CArchive& operator>>(CTime& value);
    CArchive& operator>>(std::string& text);

private:
    // Loading: the next size bytes, consumed; throws endOfFile when short.
    std::string_view Take(std::size_t size);
    DWORD ReadStringLength(bool& wide);
    void WriteStringLength(std::size_t length);

    bool m_bStoring;
    bool m_bLoadRefused = false;
    std::string_view m_input;
    std::size_t m_position = 0;
    std::string m_output;
};
