#pragma once
// The single-document template: ties the resource id and its template string
// to the classes of the one document, its frame and its view, and owns the
// document and the frame once made. The frame is made (with its view) the
// first time a document is created or opened.

#include "platform/framework/Document.h"

#include <functional>
#include <memory>
#include <string>

class CMainFrame;
class CTessarineView;
class QWidget;

// How the template makes each of its three objects.
struct DocTemplateClasses {
    std::function<std::unique_ptr<CDocument>()> document;
    std::function<CMainFrame*()> frame;                 // a frame without a window parent
    std::function<CTessarineView*(QWidget* parent)> view;
};

class CSingleDocTemplate {
public:
    // The fields of the template string, separated there by line feeds.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CSingleDocTemplate(unsigned int resourceId, std::string templateString, DocTemplateClasses classes);
    ~CSingleDocTemplate();
    CSingleDocTemplate(const CSingleDocTemplate&) = delete;
    CSingleDocTemplate& operator=(const CSingleDocTemplate&) = delete;

    unsigned int GetResourceId() const { return m_nIDResource; }
    // Field index of the template string; false (and empty) when missing.
    bool GetDocString(std::string& text, DocStringIndex index) const;

    CDocument* GetDocument() const { return m_pDocument.get(); }
    CMainFrame* GetFrame() const { return m_pFrame; }

    // Makes the document and its frame when they do not exist yet; false
    // when the frame cannot be made (nothing is left behind then).
    bool EnsureCreated();
    // A new, empty document (OnNewDocument); null when it could not be made.
    CDocument* NewDocument();
    // Opens path into the one document. Null when it could not: a document
    // made for this open goes again; an existing one is as it was when the
    // file could not be read, or new when its contents could not be loaded.
    CDocument* OpenDocumentFile(const std::string& path);
    // Destroys the frame and the document (the frame first).
    void CloseAll();

private:
    void Destroy();

    unsigned int m_nIDResource;
    std::string m_strDocStrings;
    DocTemplateClasses m_classes;
    std::unique_ptr<CDocument> m_pDocument;
    CMainFrame* m_pFrame = nullptr;
};
