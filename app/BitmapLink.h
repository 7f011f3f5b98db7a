#pragma once
// CBitmapLink: a picture with an optional caption under it that opens a
// target when clicked. Over the picture or caption the pointer is the
// pointing hand; the tooltip shows over the picture only. A click there
// posts a LinkCommandEvent (the link's control id) to the parent, then
// opens the target with LaunchDocument (which tells the user of failures).

#include "app/BitmapLinkGeometry.h"

#include <QEvent>
#include <QFont>
#include <QPixmap>
#include <QWidget>

#include <string>

struct BitmapLinkInfo {
    unsigned int bitmapId = 0;  // only the low 16 bits are used
    const char* caption = "";
    const char* tooltip = "";
    const char* target = "";
};

// The command a link posts to its parent: the control id (notification 0)
// and the link itself.
class LinkCommandEvent : public QEvent {
public:
    static QEvent::Type EventType();
    LinkCommandEvent(int id, QWidget* link) : QEvent(EventType()), m_id(id), m_link(link) {}
    int id() const { return m_id; }
    QWidget* link() const { return m_link; }

private:
    int m_id;
    QWidget* m_link;
};

class CBitmapLink : public QWidget {
public:
    CBitmapLink() = default;
    // Creates the link as a visible child of parent. When parent has a child
    // whose "controlId" property is id, the link goes under it; otherwise
    // the parent is treated as a tiny window. Grows the parent (keeping its
    // place) when the link does not fit. False when the bitmap is missing.
    bool Create(QWidget* parent, int id, const BitmapLinkInfo& info);

    int controlId() const { return m_id; }
    const QRect& bitmapRect() const { return m_rectBitmap; }
    const QRect& captionRect() const { return m_rectCaption; }
    const QFont& captionFont() const { return m_font; }
    // The caption colour for a button-face colour: pure blue, unless the
    // face is itself pure blue, then the button text colour.
    static QColor CaptionColor(const QPalette& palette);
    // The caption font for a screen of dpiY pixels per inch.
    static QFont MakeCaptionFont(int dpiY);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool Hit(const QPoint& p) const;

    std::string m_strCaption, m_strTooltip, m_strTarget;
    QPixmap m_bitmap;
    QFont m_font;
    QRect m_rectBitmap, m_rectCaption;
    int m_id = 0;
};
