#pragma once
// Lines, shapes and fills: Windows' pixel rules for cosmetic and wide pens, brushes through
// the DC's ROP2, the rectangle fills and the region paints.
#include "platform/gdi/dc.h"

namespace win {

BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* pts, int count);
BOOL PolylineTo(HDC dc, const POINT* pts, DWORD count);
BOOL PolyPolyline(HDC dc, const POINT* pts, const DWORD* counts, DWORD polylines);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Polygon(HDC dc, const POINT* pts, int count);
BOOL PolyPolygon(HDC dc, const POINT* pts, const INT* counts, int polygons);
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL ArcTo(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);

int FillRect(HDC dc, const RECT* rc, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rc, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rc);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL InvertRgn(HDC dc, HRGN rgn);

}  // namespace win
