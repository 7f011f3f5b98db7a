#include "platform/framework/Document.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
}

void CDocument::SetPathName(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    m_strPathName = error || path.empty() ? path : absolute.string();
    const std::string::size_type slash = m_strPathName.rfind('/');
    m_strTitle = slash == std::string::npos ? m_strPathName : m_strPathName.substr(slash + 1);
}

void CDocument::AddView(CView* view)
{
    if (view->m_pDocument == this)
        return;
    if (view->m_pDocument)
        view->m_pDocument->RemoveView(view);
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, long hint, CObject* hintObject)
{
    // A view may detach itself while being told; work on a copy.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint, hintObject);
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
    m_strTitle = kUntitled;
    SetModifiedFlag(false);
    return true;
}
