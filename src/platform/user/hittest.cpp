// Which window is at a point, and the default answers to WM_NCHITTEST and WM_SETCURSOR.
#include <optional>

#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/region.h"
#include "platform/user/cursor.h"
#include "platform/user/internal/input.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

namespace win {
namespace user {
namespace {

bool InRect(const RECT& r, POINT pt) {
  return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

RECT ScreenRect(const Window& w, const RECT& r) {
  POINT o = w.parent ? ClientOriginOnScreen(w.parent) : POINT{};
  RECT s = r;
  OffsetRect(&s, o.x, o.y);
  return s;
}

LRESULT AskHitTest(HWND h, POINT pt, bool ask) {
  if (ask) return SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(WORD(pt.x), WORD(pt.y)));
  auto w = FindWindowObj(h);
  return w ? DefaultHitTest(*w, pt) : HTNOWHERE;
}

// The window below h (visible, enabled, containing pt) that takes the point; none when h and
// everything inside it are transparent there.
std::optional<Hit> Descend(HWND h, POINT pt, bool ask) {
  auto w = FindWindowObj(h);
  if (!w) return std::nullopt;
  if (InRect(ScreenRect(*w, w->client), pt)) {
    auto children = w->children;
    for (HWND c : children) {
      auto cw = FindWindowObj(c);
      if (!cw || !(cw->style & WS_VISIBLE) || !InWindowShape(*cw, pt)) continue;
      // A disabled child hands the point to its parent, not to a sibling it covers: the user
      // sees the disabled control there, and its container is what the click is on.
      if (cw->style & WS_DISABLED) break;
      if (auto hit = Descend(c, pt, ask)) return hit;
    }
  }
  LRESULT code = AskHitTest(h, pt, ask);
  if (!IsWindow(h) || code == HTTRANSPARENT) return std::nullopt;
  return Hit{h, code};
}

HCURSOR CursorFor(LRESULT hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT: return LoadCursor(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM: return LoadCursor(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return LoadCursor(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return LoadCursor(nullptr, IDC_SIZENESW);
  }
  return LoadCursor(nullptr, IDC_ARROW);
}

}  // namespace

bool InWindowShape(const Window& w, POINT pt) {
  RECT r = ScreenRect(w, w.window);
  if (!InRect(r, pt)) return false;
  return !w.region || PtInRegion(w.region, pt.x - r.left, pt.y - r.top);
}

Hit HitTestPoint(POINT pt, bool ask) {
  auto desk = FindWindowObj(GetDesktopWindow());
  auto tops = desk->children;
  for (HWND t : tops) {
    auto w = FindWindowObj(t);
    if (!w || !(w->style & WS_VISIBLE) || !InWindowShape(*w, pt)) continue;
    if (w->style & WS_DISABLED) return Hit{t, HTERROR};
    if (auto hit = Descend(t, pt, ask)) return *hit;
  }
  return Hit{};
}

bool HitTestDefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  auto w = FindWindowObj(hwnd);
  if (!w) return false;
  switch (msg) {
    case WM_NCHITTEST:
      *result = DefaultHitTest(*w, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return true;
    case WM_SETCURSOR: {
      // The parent chooses first; asked on behalf of a child, a window leaves the choice to it.
      if ((w->style & WS_CHILD) && SendMessage(w->parent, WM_SETCURSOR, wp, lp)) {
        *result = TRUE;
        return true;
      }
      *result = FALSE;
      if (reinterpret_cast<HWND>(wp) != hwnd || !IsWindow(hwnd)) return true;
      LRESULT hit = short(LOWORD(std::uintptr_t(lp)));
      if (hit == HTCLIENT) {
        if (!w->cls->cursor) return true;  // the window sets its own
        SetCursor(w->cls->cursor);
      } else {
        SetCursor(CursorFor(hit));
      }
      *result = TRUE;
      return true;
    }
  }
  return false;
}

}  // namespace user

using namespace user;

HWND WindowFromPoint(POINT pt) { return HitTestPoint(pt, true).hwnd; }

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
  return ChildWindowFromPointEx(parent, pt, CWP_ALL);
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
  auto p = FindWindowObj(parent);
  if (!p) return nullptr;
  RECT outer = p->window;
  OffsetRect(&outer, -p->client.left, -p->client.top);
  if (!InRect(outer, pt)) return nullptr;
  POINT origin = ClientOriginOnScreen(parent);
  POINT screen{pt.x + origin.x, pt.y + origin.y};
  auto children = p->children;
  for (HWND c : children) {
    auto w = FindWindowObj(c);
    if (!w) continue;
    if ((flags & CWP_SKIPINVISIBLE) && !(w->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (w->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (w->ex_style & WS_EX_TRANSPARENT)) continue;
    if (InWindowShape(*w, screen)) return c;
  }
  return parent;
}

}  // namespace win
