// Window geometry, z-order and visibility.
#include "platform/user/window.h"

#include <algorithm>
#include <map>

#include "platform/base/internal/geometry.h"
#include "platform/base/internal/reset.h"
#include "platform/user/internal/nonclient.h"
#include "platform/user/internal/parts.h"
#include "platform/user/internal/window.h"
#include "platform/user/message.h"
#include "platform/user/winpos.h"

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
  if (auto o = w.owner ? FindWindowObj(w.owner) : nullptr;
      o && o->linked && index(w.hwnd()) > index(w.owner) &&
      bool(o->ex_style & WS_EX_TOPMOST) == topmost) {
    c.erase(c.begin() + std::ptrdiff_t(index(w.hwnd())));
    c.insert(c.begin() + std::ptrdiff_t(index(w.owner)), w.hwnd());
  }
  // The windows it owns (and theirs) come along, directly above it, in their order.
  auto owned_by_w = [&](HWND h) {
    auto t = FindWindowObj(h);
    if (!t || bool(t->ex_style & WS_EX_TOPMOST) != topmost) return false;
    for (HWND o = t->owner; o;) {
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
  c.erase(std::remove_if(
              c.begin(), c.end(),
              [&](HWND h) { return std::find(owned.begin(), owned.end(), h) != owned.end(); }),
          c.end());
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

}  // namespace user

using namespace user;

BOOL GetWindowRect(HWND hwnd, RECT* rc) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!rc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT o = w->parent ? ClientOriginOnScreen(w->parent) : POINT{};
  *rc = w->window;
  OffsetRect(rc, o.x, o.y);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rc) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!rc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *rc = {0, 0, RectWidth(w->client), RectHeight(w->client)};
  return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  if (!w->parent) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  const bool top_level = IsTopLevel(*w);
  bool special = insert_after == HWND_TOP || insert_after == HWND_BOTTOM ||
                 insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST;
  if (!(flags & SWP_NOZORDER)) {
    if (!special) {
      auto after = FindWindowObj(insert_after);
      if (!after) return FALSE;
      // Only a sibling gives a place in this z-order; for anything else the z-order is left
      // alone and the rest of the request is carried out.
      if (after->parent != w->parent || insert_after == hwnd) flags |= SWP_NOZORDER;
    } else if (!top_level && (insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST)) {
      insert_after = HWND_TOP;  // children have no topmost band
    } else if (insert_after == HWND_NOTOPMOST && !(w->ex_style & WS_EX_TOPMOST)) {
      flags |= SWP_NOZORDER;  // already below the topmost windows: no effect
    }
  }
  // Drop what would change nothing, and report the current geometry for what is kept.
  WINDOWPOS pos{hwnd, insert_after, x, y, std::max(cx, 0), std::max(cy, 0), flags};
  if ((pos.flags & SWP_SHOWWINDOW) && (w->style & WS_VISIBLE)) pos.flags &= ~SWP_SHOWWINDOW;
  if ((pos.flags & SWP_HIDEWINDOW) && !(w->style & WS_VISIBLE)) pos.flags &= ~SWP_HIDEWINDOW;
  if (pos.flags & SWP_NOSIZE) {
    pos.cx = RectWidth(w->window);
    pos.cy = RectHeight(w->window);
  }
  if (pos.flags & SWP_NOMOVE) {
    pos.x = w->window.left;
    pos.y = w->window.top;
  }
  if (RectWidth(w->window) == pos.cx && RectHeight(w->window) == pos.cy) pos.flags |= SWP_NOSIZE;
  if (w->window.left == pos.x && w->window.top == pos.y) pos.flags |= SWP_NOMOVE;
  if (!(pos.flags & SWP_NOSENDCHANGING)) {
    SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = FindWindowObj(hwnd))) return FALSE;
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);
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
  NCCALCSIZE_PARAMS p;
  LRESULT wvr = 0;
  const bool calc = (pos.flags & (SWP_FRAMECHANGED | SWP_NOSIZE)) != SWP_NOSIZE;
  if (calc) {
    p.rgrc[0] = nw;
    p.rgrc[1] = old_window;
    p.rgrc[2] = old_client;
    p.lppos = &pos;
    wvr = SendMessage(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
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
  if (!(pos.flags & SWP_NOZORDER) && w->linked) {
    // Reported as a z-order change only if the order (or the topmost band) really moved.
    auto p = ParentObj(*w);
    auto before = p ? p->children : std::vector<HWND>{};
    DWORD ex_before = w->ex_style;
    Link(*w, pos.hwndInsertAfter, !(pos.flags & SWP_NOOWNERZORDER));
    if (p && p->children == before && w->ex_style == ex_before) pos.flags |= SWP_NOZORDER;
  }
  if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  if (nc.left == old_client.left && nc.top == old_client.top) pos.flags |= SWP_NOCLIENTMOVE;
  if (RectWidth(nc) == RectWidth(old_client) && RectHeight(nc) == RectHeight(old_client))
    pos.flags |= SWP_NOCLIENTSIZE;
  pos.x = nw.left;
  pos.y = nw.top;
  pos.cx = RectWidth(nw);
  pos.cy = RectHeight(nw);
  PartsPositionStored(hwnd, pos.flags, was_visible);
  if (!IsWindow(hwnd)) return FALSE;
  ClientBits bits = KeptClient(*w, wvr, calc ? &p : nullptr, old_window, old_client, nw, nc);
  PartsPositionApplied(hwnd, old_screen, was_visible, pos.flags, bits);
  if (!IsWindow(hwnd)) return FALSE;
  // A child shown or brought forward without SWP_NOACTIVATE is told it was activated, as MDI
  // children and the controls that act like them expect.
  if (!top_level && !(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW))) {
    SendMessage(hwnd, WM_CHILDACTIVATE, 0, 0);
    if (!IsWindow(hwnd)) return FALSE;
  }
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (IsWindow(hwnd)) PartsPositionReported(hwnd, pos.flags, was_visible);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, cx, cy,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

// Batches of deferred positions, by handle number; a stale or foreign handle finds nothing.
struct Batch {
  HWND parent = nullptr;
  std::vector<WINDOWPOS> items;
};
std::map<std::uintptr_t, Batch>& Batches() {
  static std::map<std::uintptr_t, Batch> batches;
  return batches;
}

Batch* FindBatch(HDWP dwp) {
  auto it = Batches().find(reinterpret_cast<std::uintptr_t>(dwp));
  if (it == Batches().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return &it->second;
}

}  // namespace

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  static std::uintptr_t next = 0;
  std::uintptr_t id = ++next;
  Batches()[id].items.reserve(std::size_t(count));
  return reinterpret_cast<HDWP>(id);
}

HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND insert_after, int x, int y, int cx, int cy,
                    UINT flags) {
  Batch* b = FindBatch(dwp);
  if (!b) return nullptr;
  auto fail = [&](DWORD error) -> HDWP {
    Batches().erase(reinterpret_cast<std::uintptr_t>(dwp));
    SetLastError(error);
    return nullptr;
  };
  auto w = FindWindowObj(hwnd);
  if (!w) return fail(ERROR_INVALID_WINDOW_HANDLE);
  if (!w->parent) return fail(ERROR_ACCESS_DENIED);
  if (b->items.empty())
    b->parent = w->parent;
  else if (b->parent != w->parent)
    return fail(ERROR_INVALID_PARAMETER);
  for (WINDOWPOS& p : b->items) {
    if (p.hwnd != hwnd) continue;
    // The same window again: what the new call changes overrides, what it leaves keeps.
    if (!(flags & SWP_NOMOVE)) {
      p.x = x;
      p.y = y;
    }
    if (!(flags & SWP_NOSIZE)) {
      p.cx = cx;
      p.cy = cy;
    }
    if (!(flags & SWP_NOZORDER)) p.hwndInsertAfter = insert_after;
    constexpr UINT keep_off = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW |
                              SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                              SWP_NOSENDCHANGING | SWP_DEFERERASE;
    p.flags = (p.flags & flags & keep_off) | ((p.flags | flags) & ~keep_off);
    if (flags & SWP_SHOWWINDOW) p.flags &= ~SWP_HIDEWINDOW;
    if (flags & SWP_HIDEWINDOW) p.flags &= ~SWP_SHOWWINDOW;
    return dwp;
  }
  b->items.push_back(WINDOWPOS{hwnd, insert_after, x, y, cx, cy, flags});
  return dwp;
}

// Each window is positioned in turn, with the message sequence SetWindowPos gives it.
BOOL EndDeferWindowPos(HDWP dwp) {
  Batch* b = FindBatch(dwp);
  if (!b) return FALSE;
  std::vector<WINDOWPOS> items = std::move(b->items);
  Batches().erase(reinterpret_cast<std::uintptr_t>(dwp));
  BOOL ok = TRUE;
  for (const WINDOWPOS& p : items)
    if (!SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags)) ok = FALSE;
  return ok;
}

HWND SetParent(HWND hwnd, HWND new_parent) {
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  HWND desktop = GetDesktopWindow();
  if (!w->parent) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (!new_parent) new_parent = desktop;
  if (new_parent == HWND_MESSAGE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto np = FindWindowObj(new_parent);
  if (!np) return nullptr;
  // A window whose WM_NCDESTROY is under way neither moves to another parent nor takes a child.
  if (w->freeing || np->freeing || IsDescendant(hwnd, new_parent)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HWND old = w->parent;
  bool was_visible = (w->style & WS_VISIBLE) != 0;
  if (was_visible) {
    ShowWindow(hwnd, SW_HIDE);
    if (!(w = FindWindowObj(hwnd))) return old;
  }
  if (!FindWindowObj(new_parent)) return nullptr;  // it went away while this one hid
  if (new_parent != old) {
    Unlink(*w);
    w->parent = new_parent;
    if (new_parent != desktop) w->owner = nullptr;  // a window inside another has no owner
    Link(*w, HWND_TOP);
  }
  // Same coordinates, now in the new parent's client area; shown again where it was, without
  // taking activation.
  SetWindowPos(hwnd, HWND_TOP, w->window.left, w->window.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  if (was_visible && IsWindow(hwnd)) ShowWindow(hwnd, SW_SHOWNA);
  return old;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
  if (!FindWindowObj(hwnd)) return FALSE;
  if (!pt) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT o = ClientOriginOnScreen(hwnd);
  pt->x += o.x;
  pt->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
  if (!FindWindowObj(hwnd)) return FALSE;
  if (!pt) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT o = ClientOriginOnScreen(hwnd);
  pt->x -= o.x;
  pt->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count) {
  if ((from && !FindWindowObj(from)) || (to && !FindWindowObj(to))) return 0;
  if (!pts && count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  POINT a = from ? ClientOriginOnScreen(from) : POINT{};
  POINT b = to ? ClientOriginOnScreen(to) : POINT{};
  LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; i < count; ++i) {
    pts[i].x += dx;
    pts[i].y += dy;
  }
  return int(MAKELONG(WORD(dx), WORD(dy)));
}

namespace {
void ResetBatches() { Batches().clear(); }
[[maybe_unused]] const bool kBatchesReset = RegisterReset(ResetStage::WindowManager, ResetBatches);
}  // namespace

}  // namespace win
