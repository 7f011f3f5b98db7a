#include "app/RecentFileList.h"

#include "common/RegistryHelpers.h"
#include "platform/registry/RegistryStore.h"

#include <algorithm>
#include <string_view>

CRecentFileList::CRecentFileList(std::string keyPath, int size)
    : m_keyPath(std::move(keyPath)), m_size(size)
{
}

void CRecentFileList::Add(const std::string& path)
{
    m_names.erase(std::remove(m_names.begin(), m_names.end(), path), m_names.end());
    m_names.insert(m_names.begin(), path);
    if (GetSize() > m_size)
        m_names.resize(static_cast<std::size_t>(m_size));
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < GetSize())
        m_names.erase(m_names.begin() + index);
}

void CRecentFileList::ReadList()
{
    m_names.clear();
    for (int i = 1; i <= m_size; ++i) {
        std::string name;
        RegistryGetString(HKEY_CURRENT_USER, m_keyPath, "File" + std::to_string(i), name, "");
        if (!name.empty())
            m_names.push_back(name);
    }
}

bool CRecentFileList::WriteList() const
{
    // The key is written anew so that entries beyond the list do not stay.
    RegistryStore& store = RegistryStore::Default();
    const LONG deleted = store.DeleteKey(HKEY_CURRENT_USER, m_keyPath);
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
        return false;
    if (m_names.empty())
        return true;
    if (!RegistryCreateKey(HKEY_CURRENT_USER, m_keyPath))
        return false;
    for (int i = 0; i < GetSize(); ++i)
        if (!RegistryWriteString(HKEY_CURRENT_USER, m_keyPath, "File" + std::to_string(i + 1), (*this)[i]))
            return false;
    return true;
}

std::string CRecentFileList::GetMenuText(int index, int maxLength) const
{
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : AbbreviatePath((*this)[index], maxLength)) {
        if (c == '&')
            text += '&';
        text += c;
    }
    return text;
}

namespace {

// Characters, not bytes: a name is UTF-8, and a byte that continues a
// character (10xxxxxx) starts none.
std::size_t CharCount(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The first count characters of text, never part of one.
std::string FirstChars(const std::string& text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t chars = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && chars++ == count)
            break;
    }
    return text.substr(0, end);
}

}  // namespace

std::string AbbreviatePath(const std::string& path, int maxLength)
{
    const std::size_t max = static_cast<std::size_t>(std::max(maxLength, 0));
    if (CharCount(path) <= max)
        return path;
    const std::size_t slash = path.rfind('/');
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string root = !path.empty() && path[0] == '/' ? "/" : "";
    const std::string dots = "...";
    // Drop leading folders one at a time until the rest fits behind "/...".
    std::size_t from = path.find('/', root.size());
    while (from != std::string::npos) {
        if (root.size() + dots.size() + CharCount(std::string_view(path).substr(from)) <= max)
            return root + dots + path.substr(from);
        from = path.find('/', from + 1);
    }
    return FirstChars(fileName, max);
}
