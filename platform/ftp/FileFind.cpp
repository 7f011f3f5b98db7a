#include "platform/ftp/FileFind.h"

const ftp::RemoteEntry* CFileFind::Current() const
{
    if (m_next == 0 || m_next > m_entries.size())
        return nullptr;
    return &m_entries[m_next - 1];
}

bool CFileFind::GetLastWriteTime(std::int64_t& time) const
{
    const ftp::RemoteEntry* e = Current();
    if (!e || !e->hasTime)
        return false;
    time = e->mtime;
    return true;
}

std::uint64_t CFileFind::GetLength() const
{
    const ftp::RemoteEntry* e = Current();
    return e && e->hasSize ? e->size : 0;
}

std::string CFileFind::GetFileName() const
{
    const ftp::RemoteEntry* e = Current();
    return e ? e->name : std::string();
}

bool CFileFind::IsDirectory() const
{
    const ftp::RemoteEntry* e = Current();
    return e && e->isDirectory;
}

void CFileFind::Close()
{
    m_entries.clear();
    m_next = 0;
}

void CFileFind::SetResults(std::vector<ftp::RemoteEntry> entries)
{
    m_entries = std::move(entries);
    m_next = 0;
}

bool CFileFind::StepNext()
{
    if (m_next < m_entries.size())
        ++m_next;
    return m_next < m_entries.size();
}
