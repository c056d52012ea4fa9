#pragma once
#include "platform/base/types.h"

namespace win {

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rc);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL OffsetRect(RECT* rc, int dx, int dy);
BOOL InflateRect(RECT* rc, int dx, int dy);
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rc, POINT pt);
BOOL IsRectEmpty(const RECT* rc);
BOOL EqualRect(const RECT* a, const RECT* b);

// a * b / c computed in 64 bits, rounded half away from zero; -1 when c is 0 or the result
// does not fit in an int.
int MulDiv(int a, int b, int c);

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
constexpr COLORREF PALETTEINDEX(WORD i) { return 0x01000000u | i; }
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) { return 0x02000000u | RGB(r, g, b); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

}  // namespace win
