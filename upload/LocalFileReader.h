#pragma once
// A local file read for sending: opened read-only without blocking (a FIFO
// or device named in a configuration must not hang the run; only regular
// files open), read through a fixed 64 KiB buffer that hands out blocks of
// at most 1024 bytes. A block stays the unit of progress and of the Cancel
// check while the system sees one read per 64 KiB; memory stays the same
// whatever the file's size. Closed by the destructor.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CLocalFileReader {
public:
    static constexpr std::size_t kBlockSize = 1024;
    static constexpr std::size_t kBufferSize = 64 * 1024;

    CLocalFileReader() = default;
    ~CLocalFileReader();
    CLocalFileReader(const CLocalFileReader&) = delete;
    CLocalFileReader& operator=(const CLocalFileReader&) = delete;

    // Opens path; false when it cannot be opened or is not a regular file.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    // The whole size as found when the file was opened.
    std::int64_t Size() const { return m_size; }

    // The next block: up to kBlockSize bytes at *block, valid until the next
    // call. Returns the count, 0 at the end, -1 on a read error (ErrorText()
    // says which).
    std::ptrdiff_t ReadBlock(const char** block);
    const std::string& ErrorText() const { return m_error; }

    void Close();

private:
    bool Refill();

    int m_fd = -1;
    std::int64_t m_size = 0;
    std::string m_path;
    std::string m_error;
    std::array<char, kBufferSize> m_buffer{};
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
};
