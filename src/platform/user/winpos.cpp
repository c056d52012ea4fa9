// Window geometry, z-order and visibility.
#include "platform/user/window.h"

#include <algorithm>

#include "platform/base/geometry.h"
#include "platform/user/internal.h"
#include "platform/user/message.h"

namespace win {
namespace user {

void Unlink(Window& w) {
  if (!w.linked) return;
  if (auto p = ParentObj(w)) {
    auto& c = p->children;
    c.erase(std::remove(c.begin(), c.end(), w.hwnd()), c.end());
  }
  w.linked = false;
}

namespace {
// Topmost top-level windows stay above the others.
bool IsTopmost(HWND h) {
  auto w = FindWindowObj(h);
  return w && (w->ex_style & WS_EX_TOPMOST);
}
}  // namespace

void Link(Window& w, HWND after, bool owner_order) {
  Unlink(w);
  auto p = ParentObj(w);
  if (!p) return;
  auto& c = p->children;
  bool top_level = IsTopLevel(w);
  if (top_level && after == HWND_TOPMOST) w.ex_style |= WS_EX_TOPMOST;
  if (top_level && (after == HWND_NOTOPMOST || after == HWND_BOTTOM)) w.ex_style &= ~WS_EX_TOPMOST;
  bool topmost = top_level && (w.ex_style & WS_EX_TOPMOST);
  auto first_plain = [&] {
    return std::find_if(c.begin(), c.end(), [](HWND h) { return !IsTopmost(h); });
  };
  std::vector<HWND>::iterator pos;
  if (after == HWND_BOTTOM) {
    pos = c.end();
  } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    pos = (top_level && !topmost) ? first_plain() : c.begin();
  } else {
    auto it = std::find(c.begin(), c.end(), after);
    pos = it == c.end() ? c.begin() : it + 1;
    // A plain window never goes above a topmost one, nor a topmost one below a plain one.
    if (top_level && !topmost) pos = std::max(pos, first_plain());
    if (top_level && topmost) pos = std::min(pos, first_plain());
  }
  c.insert(pos, w.hwnd());
  w.linked = true;
  if (!top_level || !owner_order) return;
  auto index = [&](HWND h) { return std::size_t(std::find(c.begin(), c.end(), h) - c.begin()); };
  // An owned window is always above its owner.
  if (auto o = w.owner ? FindWindowObj(w.owner) : nullptr; o && o->linked && index(w.hwnd()) > index(w.owner) &&
                                       bool(o->ex_style & WS_EX_TOPMOST) == topmost) {
    c.erase(c.begin() + std::ptrdiff_t(index(w.hwnd())));
    c.insert(c.begin() + std::ptrdiff_t(index(w.owner)), w.hwnd());
  }
  // The windows it owns (and theirs) come along, directly above it, in their order.
  auto owned_by_w = [&](HWND h) {
    auto t = FindWindowObj(h);
    if (!t || bool(t->ex_style & WS_EX_TOPMOST) != topmost) return false;
    for (HWND o = t->owner; o; ) {
      if (o == w.hwnd()) return true;
      auto ow = FindWindowObj(o);
      o = ow ? ow->owner : nullptr;
    }
    return false;
  };
  std::vector<HWND> owned;
  for (HWND h : c)
    if (owned_by_w(h)) owned.push_back(h);
  if (owned.empty()) return;
  c.erase(std::remove_if(c.begin(), c.end(), [&](HWND h) {
            return std::find(owned.begin(), owned.end(), h) != owned.end();
          }), c.end());
  c.insert(c.begin() + std::ptrdiff_t(index(w.hwnd())), owned.begin(), owned.end());
}

POINT ClientOriginOnScreen(HWND h) {
  POINT pt{};
  for (auto w = FindWindowObj(h); w && w->parent; w = ParentObj(*w)) {
    pt.x += w->client.left;
    pt.y += w->client.top;
  }
  return pt;
}

MINMAXINFO DefaultMinMax(const Window& w) {
  SIZE screen = ScreenSize();
  DWORD style = w.style;
  if ((style & WS_CAPTION) == WS_CAPTION) style &= ~WS_BORDER;  // the frame, not the caption
  RECT rc{0, 0, screen.cx, screen.cy};
  AdjustWindowRectEx(&rc, style, FALSE, w.ex_style);
  MINMAXINFO mmi;
  int xinc = -rc.left, yinc = -rc.top;
  mmi.ptMaxSize = {rc.right - rc.left, rc.bottom - rc.top};
  mmi.ptMaxPosition = {-xinc, -yinc};
  if (w.style & (WS_DLGFRAME | WS_BORDER))
    mmi.ptMinTrackSize = {FrameMetric(Metric::MinTrackX), FrameMetric(Metric::MinTrackY)};
  else
    mmi.ptMinTrackSize = {2 * xinc, 2 * yinc};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  return mmi;
}

}  // namespace user

using namespace user;

BOOL GetWindowRect(HWND hwnd, RECT* rc) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!rc) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
  POINT o = w->parent ? ClientOriginOnScreen(w->parent) : POINT{};
  *rc = w->window;
  OffsetRect(rc, o.x, o.y);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rc) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!rc) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
  *rc = {0, 0, RectWidth(w->client), RectHeight(w->client)};
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  bool was_visible = (w->style & WS_VISIBLE) != 0;
  bool show = cmd != SW_HIDE;
  if (show == was_visible) return was_visible;
  SendMessage(hwnd, WM_SHOWWINDOW, show, 0);
  if (!FindWindowObj(hwnd)) return was_visible;
  UINT flags = SWP_NOSIZE | SWP_NOMOVE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  if ((w->style & WS_CHILD) || cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE ||
      cmd == SW_SHOWMINNOACTIVE || cmd == SW_HIDE)
    flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, flags);
  return was_visible;
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!w->parent) { SetLastError(ERROR_ACCESS_DENIED); return FALSE; }
  WINDOWPOS pos{hwnd, insert_after, x, y, std::max(cx, 0), std::max(cy, 0), flags};
  // Drop what would change nothing, as the changed message reports it.
  if ((pos.flags & SWP_SHOWWINDOW) && (w->style & WS_VISIBLE)) pos.flags &= ~SWP_SHOWWINDOW;
  if ((pos.flags & SWP_HIDEWINDOW) && !(w->style & WS_VISIBLE)) pos.flags &= ~SWP_HIDEWINDOW;
  if (RectWidth(w->window) == pos.cx && RectHeight(w->window) == pos.cy) pos.flags |= SWP_NOSIZE;
  if (w->window.left == pos.x && w->window.top == pos.y) pos.flags |= SWP_NOMOVE;
  if (insert_after == hwnd) pos.flags |= SWP_NOZORDER;
  if (!(pos.flags & SWP_NOSENDCHANGING)) {
    SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = FindWindowObj(hwnd))) return FALSE;
  }
  RECT old_window = w->window, old_client = w->client;
  RECT nw = old_window;
  if (!(pos.flags & SWP_NOMOVE)) OffsetRect(&nw, pos.x - nw.left, pos.y - nw.top);
  if (!(pos.flags & SWP_NOSIZE)) {
    nw.right = nw.left + pos.cx;
    nw.bottom = nw.top + pos.cy;
  }
  RECT nc = old_client;
  OffsetRect(&nc, nw.left - old_window.left, nw.top - old_window.top);
  if ((pos.flags & (SWP_FRAMECHANGED | SWP_NOSIZE)) != SWP_NOSIZE) {
    NCCALCSIZE_PARAMS p;
    p.rgrc[0] = nw;
    p.rgrc[1] = old_window;
    p.rgrc[2] = old_client;
    p.lppos = &pos;
    SendMessage(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    if (!(w = FindWindowObj(hwnd))) return FALSE;
    nc = p.rgrc[0];
    nc.right = std::max(nc.right, nc.left);
    nc.bottom = std::max(nc.bottom, nc.top);
  }
  RECT old_screen = old_window;
  POINT origin = ClientOriginOnScreen(w->parent);
  OffsetRect(&old_screen, origin.x, origin.y);
  bool was_visible = (w->style & WS_VISIBLE) != 0;
  w->window = nw;
  w->client = nc;
  if (!(pos.flags & SWP_NOZORDER) && w->linked)
    Link(*w, pos.hwndInsertAfter, !(pos.flags & SWP_NOOWNERZORDER));
  if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  if (nc.left == old_client.left && nc.top == old_client.top) pos.flags |= SWP_NOCLIENTMOVE;
  if (RectWidth(nc) == RectWidth(old_client) && RectHeight(nc) == RectHeight(old_client))
    pos.flags |= SWP_NOCLIENTSIZE;
  pos.x = nw.left;
  pos.y = nw.top;
  pos.cx = RectWidth(nw);
  pos.cy = RectHeight(nw);
  FocusBeforePosChanged(hwnd, pos.flags, was_visible);
  if (!IsWindow(hwnd)) return FALSE;
  PaintAfterPosChanged(hwnd, old_screen, was_visible, pos.flags);
  if (!IsWindow(hwnd)) return FALSE;
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (IsWindow(hwnd)) FocusAfterPosChanged(hwnd, pos.flags, was_visible);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, cx, cy,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

}  // namespace win
