// GetModulePath and GetModuleFolder (declared in common/RegistryHelpers.h),
// apart from the registry functions so that a program using only these does
// not bring the registry store along.

#include "common/RegistryHelpers.h"

#include <unistd.h>

namespace {

constexpr std::size_t kModulePathBuffer = 260;

}  // namespace

std::string GetModulePath()
{
    char buffer[kModulePathBuffer];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= kModulePathBuffer - 1)
        return std::string();
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string GetModuleFolder()
{
    const std::string path = GetModulePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
