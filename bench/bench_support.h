#pragma once
// Pieces the benchmarks share.
#include "platform/win.h"

namespace bench {

// A window procedure that fills its client area on WM_PAINT, grey or white by its id, so that
// neighbouring children differ.
inline win::LRESULT FillingProc(win::HWND h, win::UINT m, win::WPARAM wp, win::LPARAM lp) {
  using namespace win;
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT rc;
    GetClientRect(h, &rc);
    FillRect(dc, &rc,
             static_cast<HBRUSH>(GetStockObject(GetDlgCtrlID(h) % 2 ? GRAY_BRUSH : WHITE_BRUSH)));
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProc(h, m, wp, lp);
}

}  // namespace bench
