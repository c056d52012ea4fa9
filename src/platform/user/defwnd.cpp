// The default window procedure, and the frame computation it answers WM_NCCALCSIZE with.
#include "platform/user/window.h"

#include <algorithm>

#include "platform/base/geometry.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"

namespace win {
namespace user {

// The default client area: the window rectangle less frame, caption, menu, edge and bars.
void DefaultClient(const Window& w, RECT* rc) {
  if (w.style & WS_MINIMIZE) {  // a minimised window is all frame
    rc->right = rc->left;
    rc->bottom = rc->top;
    return;
  }
  RECT outer{0, 0, 0, 0};
  bool menu = !(w.style & WS_CHILD) && w.id != 0;
  AdjustWindowRectEx(&outer, w.style, menu, w.ex_style);
  rc->left -= outer.left;
  rc->top -= outer.top;
  rc->right -= outer.right;
  rc->bottom -= outer.bottom;
  if (w.style & WS_VSCROLL) {
    if (w.ex_style & WS_EX_LEFTSCROLLBAR) rc->left += FrameMetric(Metric::VScroll);
    else rc->right -= FrameMetric(Metric::VScroll);
  }
  if (w.style & WS_HSCROLL) rc->bottom -= FrameMetric(Metric::HScroll);
  rc->right = std::max(rc->right, rc->left);
  rc->bottom = std::max(rc->bottom, rc->top);
}

}  // namespace user

using namespace user;

BOOL AdjustWindowRectEx(RECT* rc, DWORD style, BOOL menu, DWORD ex) {
  if (!rc) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
  int adjust = 0;
  if ((ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    adjust = FrameMetric(Metric::Border);
  else if ((ex & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    adjust = FrameMetric(Metric::DlgFrame) - FrameMetric(Metric::Border);
  if (style & WS_THICKFRAME) adjust += FrameMetric(Metric::Frame) - FrameMetric(Metric::DlgFrame);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME))
    adjust += FrameMetric(Metric::Border);
  InflateRect(rc, adjust, adjust);
  if ((style & WS_CAPTION) == WS_CAPTION)
    rc->top -= FrameMetric((ex & WS_EX_TOOLWINDOW) ? Metric::SmCaption : Metric::Caption);
  if (menu) rc->top -= FrameMetric(Metric::Menu);
  if (ex & WS_EX_CLIENTEDGE) InflateRect(rc, FrameMetric(Metric::Edge), FrameMetric(Metric::Edge));
  return TRUE;
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (LRESULT r = 0; PaintDefProc(hwnd, msg, wp, lp, &r) || InputDefProc(hwnd, msg, wp, lp, &r))
    return r;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      if (!lp) return 0;
      RECT* rc = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      DefaultClient(*w, rc);
      return 0;
    }
    case WM_SETTEXT:
      w->text = lp ? reinterpret_cast<const char*>(lp) : "";
      return TRUE;
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      std::size_t n;
      CopyText(w->text, reinterpret_cast<char*>(lp), std::size_t(wp), &n);
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_QUERYOPEN: return TRUE;
    case WM_SYSCOMMAND: DefSysCommand(hwnd, wp, lp); return 0;
    case WM_WINDOWPOSCHANGING:
      DefPosChanging(hwnd, reinterpret_cast<WINDOWPOS*>(lp));
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!pos) return 0;
      if (!(pos->flags & SWP_NOCLIENTMOVE))
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(w->client.left), WORD(w->client.top)));
      // A change of state is told even when the client keeps its size.
      bool resized = !(pos->flags & SWP_NOCLIENTSIZE) || (pos->flags & SWP_STATECHANGED);
      if (resized && FindWindowObj(hwnd)) {
        WPARAM kind = (w->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                      : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                 : SIZE_RESTORED;
        SendMessage(hwnd, WM_SIZE, kind,
                    MAKELPARAM(WORD(RectWidth(w->client)), WORD(RectHeight(w->client))));
      }
      return 0;
    }
  }
  return 0;
}

}  // namespace win
