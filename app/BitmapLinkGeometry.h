#pragma once
// Where a bitmap link goes and how much it grows its parent. Pure
// arithmetic, toolkit-free; all divisions truncate toward zero.

struct LinkRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const LinkRect&) const = default;
};

struct LinkGeometryInput {
    int bitmapWidth = 0, bitmapHeight = 0;    // Wb, Hb
    int captionWidth = 0, captionHeight = 0;  // Wt, Ht (an empty caption: 0 and one line)
    bool captionEmpty = true;
    int parentWidth = 0, parentHeight = 0;    // the parent's window rectangle P
    bool hasAnchor = false;                   // the parent has a child with the link's id
    LinkRect anchor;                          // that child, in the parent's client coordinates
    int gap = 0;                              // 8 vertical dialog units when the parent is a dialog
    int edgeX = 2, edgeY = 2;                 // the system's edge sizes
};

struct LinkGeometry {
    int growX = 0, growY = 0;       // dX, dY: how much the parent's window grows
    int parentWidth = 0, parentHeight = 0;  // the parent's size afterwards (P, or P as taken when no anchor)
    bool resizeParent = false;
    LinkRect window;   // the link in the parent's client coordinates
    LinkRect bitmap;   // B, in the link's client coordinates
    LinkRect caption;  // T, in the link's client coordinates (zero height when empty)
};

LinkGeometry ComputeLinkGeometry(const LinkGeometryInput& in);
