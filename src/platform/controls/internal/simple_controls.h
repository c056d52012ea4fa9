#pragma once
// Pieces Button, Static and the dialog manager share: per-window state in the extra bytes,
// the parent's WM_CTLCOLOR* brush, and text drawn enabled or in the classic disabled look.
#include <string>

#include "platform/controls/internal/access.h"
#include "platform/win.h"

namespace win::controls {

// The state object whose pointer sits at `offset` of the window's extra bytes; null before
// WM_NCCREATE and after WM_NCDESTROY.
template <class T>
T* StateAt(HWND hwnd, int offset = 0) {
  return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, offset));
}

// The brush the parent answers WM_CTLCOLOR* with (it may set the DC's colours meanwhile);
// the default answer when the parent gives none or there is no parent.
inline HBRUSH ParentBrush(HWND hwnd, HDC dc, UINT msg) {
  HWND parent = GetParent(hwnd);
  HBRUSH brush = nullptr;
  if (parent)
    brush = reinterpret_cast<HBRUSH>(
        SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!brush)
    brush = reinterpret_cast<HBRUSH>(
        DefWindowProc(hwnd, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  return brush;
}

// Enabled text in the DC's colour; disabled text embossed, the highlight one pixel down and
// right under the shadow, as classic Windows greys out control captions.
inline void DrawControlText(HDC dc, const char* text, RECT rc, UINT format, bool enabled) {
  if (enabled) {
    DrawText(dc, text, -1, &rc, format);
    return;
  }
  COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT shifted = rc;
  OffsetRect(&shifted, 1, 1);
  DrawText(dc, text, -1, &shifted, format);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, text, -1, &rc, format);
  SetTextColor(dc, old);
}

// The window's text, UTF-8.
inline std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLength(hwnd);
  std::string s(std::size_t(n < 0 ? 0 : n) + 1, '\0');
  n = GetWindowText(hwnd, s.data(), int(s.size()));
  s.resize(std::size_t(n < 0 ? 0 : n));
  return s;
}

// Whether EndDialog has ended the dialog's modal loop, and with what result.
bool DialogEnded(HWND dlg, INT_PTR* result);

}  // namespace win::controls
