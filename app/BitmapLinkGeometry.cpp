#include "app/BitmapLinkGeometry.h"

#include <algorithm>

LinkGeometry ComputeLinkGeometry(const LinkGeometryInput& in)
{
    LinkGeometry out;
    int pw = in.parentWidth, ph = in.parentHeight, gap = 0;
    LinkRect anchor;
    if (in.hasAnchor) {
        anchor = in.anchor;
        gap = in.gap;
    } else {
        // No placeholder: the parent is taken as a tiny window with the
        // anchor just inside its edges, so it grows to fit the link.
        pw = 2 * in.edgeX + 3;
        ph = 2 * in.edgeY + 3;
        anchor = {in.edgeX + 1, in.edgeY + 1, in.edgeX + 2, in.edgeY + 2};
    }
    const int lineHeight = in.captionHeight + 1;
    const int w = std::max(in.captionWidth, in.bitmapWidth);
    const int h = in.bitmapHeight + gap + (in.captionEmpty ? 0 : lineHeight);
    out.growX = anchor.width() < w ? w - anchor.width() : 0;
    out.growY = anchor.height() < h ? h - anchor.height() : 0;
    out.resizeParent = out.growX > 0 || out.growY > 0;
    out.parentWidth = out.resizeParent ? pw + out.growX : in.parentWidth;
    out.parentHeight = out.resizeParent ? ph + out.growY : in.parentHeight;

    const int left = anchor.left + (anchor.width() + out.growX) / 2 - w / 2;
    const int top = anchor.bottom + gap;
    out.window = {left, top, left + w, top + h};

    const int centre = w / 2;
    const int bl = centre - in.bitmapWidth / 2;
    out.bitmap = {bl, 0, bl + in.bitmapWidth, in.bitmapHeight};
    const int tl = centre - in.captionWidth / 2;
    out.caption = {tl, out.bitmap.bottom, tl + in.captionWidth, out.bitmap.bottom + (in.captionEmpty ? 0 : lineHeight)};
    return out;
}
