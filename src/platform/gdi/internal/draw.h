#pragma once
// Inside the platform: the implementation side of platform/gdi/draw.h.
#include "platform/gdi/draw.h"
#include "platform/gdi/internal/access.h"
#include "platform/gdi/internal/dc.h"

namespace win::gdi {

// The brush of a system colour (frame.cpp keeps the one colour table); null for an unknown
// index. FillRect accepts (HBRUSH)(COLOR_x + 1) through it.
HBRUSH SysColorBrush(int index);

// The pixels of a rounded rectangle covering [rc.left, rc.right) x [rc.top, rc.bottom) with
// a ew x eh corner ellipse (an ellipse when they equal the rectangle's size): the shape
// RoundRect and Ellipse draw, outline included.
// With `window`, only the shape's pixels within it are built (the rest is left out).
Region RoundShape(const RECT& rc, int ew, int eh, const RECT* window = nullptr);
// The pixels of `r` within w columns or h rows of its edge, as FrameRgn outlines a region.
Region RegionFrame(const Region& r, int w, int h);

// Paints `logical` (logical coordinates of `dc`) in a solid colour, replacing the pixels,
// clipped to the DC; for the frame and glyph painters.
void FillRegionColor(DC& dc, const Region& logical, COLORREF color);
void FillRectColor(DC& dc, const RECT& logical, COLORREF color);

}  // namespace win::gdi
