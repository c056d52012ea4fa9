#pragma once
// Text output and measuring on device contexts: TextOut/ExtTextOut, DrawText with its
// layout flags, tabbed text, extents and metrics. Narrow functions take UTF-8 with a byte
// count (-1 = up to the terminating NUL), as the Windows ...A functions take a byte count;
// the ...W functions take UTF-16.
#include "platform/gdi/dc.h"

namespace win {

constexpr BYTE TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04,
               TMPF_DEVICE = 0x08;

struct TEXTMETRICA {
  LONG tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
  LONG tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 0, tmOverhang = 0;
  LONG tmDigitizedAspectX = 0, tmDigitizedAspectY = 0;
  BYTE tmFirstChar = 0, tmLastChar = 0, tmDefaultChar = 0, tmBreakChar = 0;
  BYTE tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICA;

constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
               DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
               DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200,
               DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
               DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000,
               DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000,
               DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
               DT_PREFIXONLY = 0x200000;
constexpr UINT ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10, ETO_RTLREADING = 0x80;

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;  // in average character widths
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;  // out: bytes (W: UTF-16 units) processed
};

BOOL GetTextMetrics(HDC dc, TEXTMETRICA* tm);
inline constexpr auto& GetTextMetricsA = GetTextMetrics;
int GetTextFace(HDC dc, int count, char* name);
inline constexpr auto& GetTextFaceA = GetTextFace;
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
inline constexpr auto& GetTextExtentPoint32A = GetTextExtentPoint32;
BOOL GetTextExtentPoint32W(HDC dc, const WCHAR* text, int count, SIZE* size);
// How many bytes of `text` fit in `max_extent` (fit may be null) and, in `dx`, the extent
// up to the end of each byte's character (may be null).
BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int max_extent, INT* fit, INT* dx,
                          SIZE* size);
inline constexpr auto& GetTextExtentExPointA = GetTextExtentExPoint;
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, INT* widths);

BOOL TextOut(HDC dc, int x, int y, const char* text, int count);
inline constexpr auto& TextOutA = TextOut;
BOOL TextOutW(HDC dc, int x, int y, const WCHAR* text, int count);
// `dx` has one entry per byte (W: per UTF-16 unit); a character advances by the sum of its
// entries.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rc, const char* text, UINT count,
                const INT* dx);
inline constexpr auto& ExtTextOutA = ExtTextOut;
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rc, const WCHAR* text, UINT count,
                 const INT* dx);

// Width in the low word, height in the high word.
DWORD GetTabbedTextExtent(HDC dc, const char* text, int count, int tab_count, const INT* tabs);
inline constexpr auto& GetTabbedTextExtentA = GetTabbedTextExtent;
LONG TabbedTextOut(HDC dc, int x, int y, const char* text, int count, int tab_count,
                   const INT* tabs, int tab_origin);
inline constexpr auto& TabbedTextOutA = TabbedTextOut;

// With DT_MODIFYSTRING and an ellipsis, each ellipsised line is replaced in place by what it
// shows and the rest of the text is kept; the buffer must hold `count` + 4 bytes (W: units),
// and a NUL is written after the result only when it fits in them.
int DrawText(HDC dc, const char* text, int count, RECT* rc, UINT format);
inline constexpr auto& DrawTextA = DrawText;
int DrawTextW(HDC dc, const WCHAR* text, int count, RECT* rc, UINT format);
int DrawTextEx(HDC dc, char* text, int count, RECT* rc, UINT format, DRAWTEXTPARAMS* params);
inline constexpr auto& DrawTextExA = DrawTextEx;
int DrawTextExW(HDC dc, WCHAR* text, int count, RECT* rc, UINT format, DRAWTEXTPARAMS* params);

}  // namespace win
