#include "platform/ftp/RemoteFolder.h"

namespace ftp {

namespace {

// Without doubled and trailing slashes ("/" stays "/").
std::string Tidy(const std::string& path)
{
    std::string tidy;
    for (const char c : path)
        if (c != '/' || tidy.empty() || tidy.back() != '/')
            tidy += c;
    while (tidy.size() > 1 && tidy.back() == '/')
        tidy.pop_back();
    return tidy;
}

bool HasDotLevel(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string level = path.substr(start, end - start);
        if (level == "." || level == "..")
            return true;
        start = end + 1;
    }
    return false;
}

std::string Join(const std::string& base, const std::string& relative)
{
    return Tidy(base + "/" + relative);
}

}  // namespace

std::optional<std::string> FolderAfterCwd(const std::optional<std::string>& base, const std::string& argument)
{
    if (argument.empty() || HasDotLevel(argument))
        return std::nullopt;
    if (argument[0] == '/')
        return Tidy(argument);
    if (!base || base->empty() || (*base)[0] != '/')
        return std::nullopt;
    return Join(*base, argument);
}

bool SameFolder(const std::string& a, const std::string& b)
{
    return Tidy(a) == Tidy(b);
}

std::string CombinedFolder(const std::string& root, const std::string& target)
{
    if (root.empty() || root[0] != '/')
        return {};
    if (!target.empty() && target[0] == '/')
        return target;
    if (target.empty())
        return root;
    return root.back() == '/' ? root + target : root + "/" + target;
}

}  // namespace ftp
