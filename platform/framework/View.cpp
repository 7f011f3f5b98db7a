#include "platform/framework/View.h"

#include "platform/framework/Document.h"

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}
