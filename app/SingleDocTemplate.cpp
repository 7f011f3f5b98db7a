#include "app/SingleDocTemplate.h"

#include "app/MainFrame.h"
#include "platform/framework/DocumentFile.h"

CSingleDocTemplate::CSingleDocTemplate(unsigned int resourceId, std::string templateString,
                                       DocTemplateClasses classes)
    : m_nIDResource(resourceId), m_strDocStrings(std::move(templateString)), m_classes(std::move(classes))
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    Destroy();
}

bool CSingleDocTemplate::GetDocString(std::string& text, DocStringIndex index) const
{
    text.clear();
    std::size_t start = 0;
    for (int field = 0; field < index; ++field) {
        start = m_strDocStrings.find('\n', start);
        if (start == std::string::npos)
            return false;
        ++start;
    }
    const std::size_t end = m_strDocStrings.find('\n', start);
    text = m_strDocStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
}

bool CSingleDocTemplate::EnsureCreated()
{
    if (m_pFrame)
        return true;
    m_pDocument = m_classes.document();
    m_pFrame = m_classes.frame();
    if (!m_pFrame->LoadFrame(m_nIDResource, *m_pDocument, m_classes.view)) {
        Destroy();
        return false;
    }
    return true;
}

CDocument* CSingleDocTemplate::NewDocument()
{
    if (!EnsureCreated())
        return nullptr;
    if (!m_pDocument->OnNewDocument())
        return nullptr;
    m_pDocument->UpdateAllViews(nullptr);  // the view's first update
    m_pFrame->OnDocumentChanged();
    return m_pDocument.get();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::string& path)
{
    const bool created = m_pFrame == nullptr;
    if (!EnsureCreated())
        return nullptr;
    const OpenOutcome outcome = ::OpenDocumentFile(*m_pDocument, path);
    if (outcome != OpenOutcome::opened && created) {
        Destroy();
        return nullptr;
    }
    m_pDocument->UpdateAllViews(nullptr);  // shows what the document holds now
    m_pFrame->OnDocumentChanged();
    return outcome == OpenOutcome::opened ? m_pDocument.get() : nullptr;
}

void CSingleDocTemplate::CloseAll()
{
    Destroy();
}

void CSingleDocTemplate::Destroy()
{
    delete m_pFrame;
    m_pFrame = nullptr;
    m_pDocument.reset();
}
