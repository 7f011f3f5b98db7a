#pragma once
// The framework's document: modified flag, path name and title, attached
// views, and the virtual steps that open, new and save run (DeleteContents,
// OnNewDocument, Serialize). Toolkit-free; the open and save steps
// themselves are in platform/framework/DocumentFile.h.

#include "platform/framework/Object.h"
#include "platform/framework/View.h"

#include <string>
#include <vector>

class CArchive;

class CDocument : public CObject {
public:
    CDocument() = default;
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    // The full path of the file the document was loaded from or saved to;
    // empty for an untitled document.
    const std::string& GetPathName() const { return m_strPathName; }
    // Takes path as the document's file, made absolute (a relative path is
    // taken from the current folder; links are not resolved), and its file
    // name (after the last "/") as the title.
    void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& title) { m_strTitle = title; }

    // Attaches view (not owned); a view attached elsewhere moves here.
    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }
    // Calls OnUpdate of every attached view but sender, in attach order.
    void UpdateAllViews(CView* sender, long hint = 0, CObject* hintObject = nullptr);

    // Empties the document's data. Leaves the modified flag and path alone.
    virtual void DeleteContents() {}
    // A new document: DeleteContents, no path, untitled, not modified.
    // Returns true.
    virtual bool OnNewDocument();
    // Stores to or loads from ar (ar.IsStoring()). May throw the archive's
    // exceptions; a load that stops after telling the user why calls
    // ar.RefuseLoad() and returns normally.
    virtual void Serialize(CArchive& ar) = 0;

    static constexpr const char* kUntitled = "Untitled";

private:
    bool m_bModified = false;
    std::string m_strPathName;
    std::string m_strTitle = kUntitled;
    std::vector<CView*> m_views;
};
