#include "model/TessarineDoc.h"

void CTessarineDoc::DeleteContents()
{
    // Swapping with empty arrays frees the storage, not just the entries.
    std::vector<ServerEntry>().swap(m_servers);
    std::vector<FileEntry>().swap(m_files);
    m_strLastWebFolder.clear();
    m_nLastFilterIndex = 0;
    m_strLastBrowseFolder.clear();
}

bool CTessarineDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

void CTessarineDoc::OnUpdateUpload(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_servers.empty() && !m_files.empty());
}
