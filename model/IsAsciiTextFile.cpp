#include "model/TessarineDoc.h"
#include "platform/framework/RegularFile.h"
#include "platform/framework/WaitCursor.h"

#include <array>
#include <cerrno>
#include <strings.h>
#include <unistd.h>

namespace {

constexpr std::array kAsciiExtensions = {".htm", ".html", ".shtml", ".txt"};
constexpr std::array kBinaryExtensions = {".gif", ".jpg", ".jpeg", ".bmp", ".wav", ".avi", ".mov", ".zip"};

// The name's extension from its last dot on, dot included; the name is the
// part of path after its last "/". Empty when the name has no dot.
std::string ExtensionOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

template <std::size_t N>
bool IsOneOf(const std::string& extension, const std::array<const char*, N>& list)
{
    for (const char* candidate : list)
        if (::strcasecmp(extension.c_str(), candidate) == 0)
            return true;
    return false;
}

bool IsTextByte(unsigned char byte)
{
    return byte != 0 && byte < 0x80;
}

// Reads fd to its end in blocks, stopping at the first byte that is 0 or
// above 0x7F. True when there is none; false also when a read fails.
bool HoldsOnlyText(int fd)
{
    unsigned char block[4096];
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got == 0)
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        for (ssize_t i = 0; i < got; ++i)
            if (!IsTextByte(block[i]))
                return false;
    }
}

}  // namespace

bool CTessarineDoc::IsAsciiTextFile(const std::string& path)
{
    const std::string extension = ExtensionOf(path);
    if (IsOneOf(extension, kAsciiExtensions))
        return true;
    if (IsOneOf(extension, kBinaryExtensions))
        return false;
    CWaitCursor wait;
    FileOpenResult file = OpenRegularFileForReading(path);
    return !file.error && HoldsOnlyText(file.fd.Get());
}
