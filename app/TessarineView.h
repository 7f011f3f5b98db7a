#pragma once
// The configuration view as the frame hosts it: the form that fills the
// frame's client area, attached to the document. For now the form is empty;
// its lists and buttons arrive with the configuration window.

#include "platform/framework/View.h"

#include <QWidget>

class CTessarineView : public QWidget, public CView {
public:
    explicit CTessarineView(QWidget* parent);

    // The form's size: 200 x 140 dialog units of the form's font.
    static QSize FormSize(const QWidget& widget);

    void OnUpdate(CView* sender, long hint, CObject* hintObject) override;
};
