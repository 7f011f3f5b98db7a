#pragma once
// A view of a document, as the document sees it: something to tell when the
// document changed. The window's configuration view implements it; tests can
// too. A view does not own its document, nor the document its views; either
// may go first, the other forgets it.

#include "platform/framework/Object.h"

class CDocument;

class CView {
public:
    CView() = default;
    // Detaches the view from its document.
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // The document changed; sender is the view that caused it (or nullptr),
    // hint and hintObject say what changed (0 and nullptr: everything).
    virtual void OnUpdate(CView* sender, long hint, CObject* hintObject) = 0;

    // The document the view is attached to (CDocument::AddView), or nullptr.
    CDocument* GetDocument() const { return m_pDocument; }

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};
