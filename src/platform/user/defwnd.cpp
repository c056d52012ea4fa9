// The default window procedure.
#include "platform/user/window.h"

#include <algorithm>
#include <utility>

#include "platform/base/internal/geometry.h"
#include "platform/user/internal/nonclient.h"
#include "platform/user/internal/parts.h"
#include "platform/user/internal/window.h"
#include "platform/user/message.h"

namespace win {
using namespace user;

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (LRESULT r = 0; PartsDefProc(hwnd, msg, wp, lp, &r)) return r;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      if (!lp) return 0;
      RECT* rc =
          wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
      DefaultClient(*w, rc);
      return 0;
    }
    case WM_SETTEXT:
      w->text = lp ? reinterpret_cast<const char*>(lp) : "";
      RepaintCaption(hwnd);
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
    case WM_WINDOWPOSCHANGING: DefPosChanging(hwnd, reinterpret_cast<WINDOWPOS*>(lp)); return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
      if (!pos) return 0;
      // A window not yet sized hears of its client area whatever changed.
      const bool first = std::exchange(w->need_size, false);
      if (first || !(pos->flags & SWP_NOCLIENTMOVE))
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(w->client.left), WORD(w->client.top)));
      // A change of state is told even when the client keeps its size.
      bool resized = first || !(pos->flags & SWP_NOCLIENTSIZE) || (pos->flags & SWP_STATECHANGED);
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
