// Visible regions, backing stores, window DCs, window regions and the display link.
#include <algorithm>
#include <map>

#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/base/internal/reset.h"
#include "platform/gdi/internal/dc.h"
#include "platform/user/display_link.h"
#include "platform/user/internal/paint.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

struct WindowDC {
  HWND hwnd = nullptr;
  HRGN clip = nullptr;  // screen coordinates, owned by the DC
  DWORD flags = 0;
  std::optional<gdi::Region> paint;  // window coordinates
  bool own = false;  // CS_OWNDC: lives as long as the window, keeps its drawing state
};
std::map<HDC, WindowDC>& LiveDCs() {
  static std::map<HDC, WindowDC> dcs;
  return dcs;
}

HWND locked = nullptr;
ScreenChangedListener& Listener() {
  static ScreenChangedListener listener;
  return listener;
}

// The largest backing store side: a window may be larger, but nothing beyond this is kept
// (a 8192 x 8192 store is 256 MB already).
constexpr int kMaxBackingSide = 8192;

// `client_origin` and `client` place and bound the windows: the parent's client area in
// surface coordinates, the only place where they show.
void SubtractShapes(gdi::Region& rgn, const std::vector<HWND>& list, std::size_t end,
                    POINT client_origin, const RECT& client) {
  for (std::size_t i = 0; i < end; ++i) {
    auto s = FindWindowObj(list[i]);
    // A WS_EX_TRANSPARENT window lets what is under it show through: it clips nothing away.
    if (!s || !(s->style & WS_VISIBLE) || (s->ex_style & WS_EX_TRANSPARENT)) continue;
    gdi::Region shape = ShapeInParent(*s);
    shape.Offset(client_origin.x, client_origin.y);
    shape.IntersectRect(client);
    rgn.Subtract(shape);
  }
}

// `origin`: where the window's top-left lies on the surface.
void IntersectWindowRegion(gdi::Region& rgn, const Window& w, POINT origin) {
  if (!w.region) return;
  auto r = Quietly([&] { return gdi::FindRegion(w.region); });
  if (!r) return;
  gdi::Region shape = r->rgn;
  shape.Offset(origin.x, origin.y);
  rgn.Intersect(shape);
}

bool ComputeDC(const WindowDC& d, std::shared_ptr<gdi::Bitmap>* surface, POINT* origin,
               gdi::Region* vis) {
  auto w = FindWindowObj(d.hwnd);
  if (!w) return false;
  auto top = TopLevelOf(d.hwnd);
  if (!top) return false;
  *surface = BackingStore(*top);
  POINT wo = WindowOrigin(*w);
  *origin = (d.flags & DCX_WINDOW) ? wo : ClientOrigin(*w);
  *vis = VisibleRegion(*w, d.flags & ~DCX_USESTYLE, (d.flags & DCX_USESTYLE) != 0);
  if (locked && !(d.flags & DCX_LOCKWINDOWUPDATE) && IsDescendant(locked, d.hwnd)) vis->Clear();
  if (d.clip && (d.flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    auto r = Quietly([&] { return gdi::FindRegion(d.clip); });
    if (r) {
      gdi::Region c = r->rgn;
      RECT tr;
      GetWindowRect(top->hwnd(), &tr);
      c.Offset(-tr.left, -tr.top);
      if (d.flags & DCX_INTERSECTRGN)
        vis->Intersect(c);
      else
        vis->Subtract(c);
    }
  }
  if (d.paint) {
    gdi::Region p = *d.paint;
    p.Offset(wo.x, wo.y);
    vis->Intersect(p);
  }
  return true;
}

}  // namespace

bool OwnsSurface(const Window& w) { return !w.parent || w.parent == GetDesktopWindow(); }

PaintState& PaintOf(Window& w) { return SlotOf(w.parts.paint); }

std::shared_ptr<Window> TopLevelOf(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  while (w && !OwnsSurface(*w)) {
    auto p = ParentObj(*w);
    if (!p) break;
    w = p;
  }
  return w;
}

POINT WindowOrigin(const Window& w) {
  if (OwnsSurface(w)) return {0, 0};
  auto p = ParentObj(w);
  if (!p) return {0, 0};
  POINT o = ClientOrigin(*p);
  return {o.x + w.window.left, o.y + w.window.top};
}

POINT ClientOrigin(const Window& w) {
  POINT o = WindowOrigin(w);
  return {o.x + w.client.left - w.window.left, o.y + w.client.top - w.window.top};
}

RECT ClientInWindow(const Window& w) {
  RECT r = w.client;
  OffsetRect(&r, -w.window.left, -w.window.top);
  return r;
}

RECT WholeWindow(const Window& w) { return {0, 0, RectWidth(w.window), RectHeight(w.window)}; }

bool VisibleChain(const Window& w) {
  if (!(w.style & WS_VISIBLE)) return false;
  for (auto p = ParentObj(w); p; p = ParentObj(*p))
    if (!(p->style & WS_VISIBLE)) return false;
  return true;
}

gdi::Region ShapeInParent(const Window& w) { return ShapeInParent(w, w.window); }

gdi::Region ShapeInParent(const Window& w, const RECT& window) {
  gdi::Region shape(window);
  IntersectWindowRegion(shape, w, POINT{window.left, window.top});
  return shape;
}

gdi::Region VisibleRegion(const Window& w, DWORD flags, bool use_style) {
  return VisibleRegion(w, Geometry{w.window, w.client}, flags, use_style);
}

gdi::Region VisibleRegion(const Window& w, const Geometry& at, DWORD flags, bool use_style) {
  if (!VisibleChain(w)) return {};
  if ((flags & DCX_PARENTCLIP) && !OwnsSurface(w)) {
    // The parent's visible client area; the parent's WS_CLIPCHILDREN does not apply.
    if (auto p = ParentObj(w))
      return VisibleRegion(*p, (p->style & WS_CLIPSIBLINGS) ? DCX_CLIPSIBLINGS : 0, false);
  }
  // Surface coordinates of the window and of its client area, placed at `at`.
  POINT wo{0, 0};
  if (!OwnsSurface(w))
    if (auto p = ParentObj(w)) {
      POINT pco = ClientOrigin(*p);
      wo = {pco.x + at.window.left, pco.y + at.window.top};
    }
  RECT whole{0, 0, RectWidth(at.window), RectHeight(at.window)};
  RECT client = at.client;
  OffsetRect(&client, wo.x - at.window.left, wo.y - at.window.top);
  RECT area = whole;
  OffsetRect(&area, wo.x, wo.y);
  gdi::Region rgn((flags & DCX_WINDOW) ? area : client);
  IntersectWindowRegion(rgn, w, wo);
  if ((flags & DCX_CLIPCHILDREN) || (use_style && (w.style & WS_CLIPCHILDREN)))
    SubtractShapes(rgn, w.children, w.children.size(), POINT{client.left, client.top}, client);
  bool siblings = (flags & DCX_CLIPSIBLINGS) || (use_style && (w.style & WS_CLIPSIBLINGS));
  if (OwnsSurface(w)) {
    rgn.IntersectRect(whole);
    return rgn;
  }
  std::shared_ptr<Window> keep;
  const Window* cur = &w;
  while (!OwnsSurface(*cur)) {
    auto p = ParentObj(*cur);
    if (!p) break;
    POINT pco = ClientOrigin(*p);
    RECT pc = ClientInWindow(*p);
    POINT po = WindowOrigin(*p);
    OffsetRect(&pc, po.x, po.y);
    if (siblings) {
      auto& list = p->children;
      auto it = std::find(list.begin(), list.end(), cur->hwnd());
      SubtractShapes(rgn, list, std::size_t(it - list.begin()), pco, pc);
    }
    rgn.IntersectRect(pc);
    IntersectWindowRegion(rgn, *p, po);
    keep = p;
    cur = p.get();
    siblings = (cur->style & WS_CLIPSIBLINGS) != 0;
  }
  rgn.IntersectRect(WholeWindow(*cur));
  return rgn;
}

gdi::Region Updatable(const Window& w) {
  gdi::Region r = VisibleRegion(w, DCX_WINDOW, false);
  POINT o = WindowOrigin(w);
  r.Offset(-o.x, -o.y);
  return r;
}

std::shared_ptr<gdi::Bitmap> BackingStore(Window& top) {
  PaintState& ps = PaintOf(top);
  int width = std::clamp(int(RectWidth(top.window)), 1, kMaxBackingSide);
  int height = std::clamp(int(RectHeight(top.window)), 1, kMaxBackingSide);
  if (ps.backing && ps.backing->width == width && ps.backing->height == height) return ps.backing;
  auto fresh = gdi::NewBitmap(width, height, 32);
  if (!fresh) return ps.backing;
  if (ps.backing) {
    int cw = std::min(width, ps.backing->width), ch = std::min(height, ps.backing->height);
    for (int y = 0; y < ch; ++y)
      std::copy_n(ps.backing->Row(y), std::size_t(cw) * 4, fresh->Row(y));
  }
  ps.backing = fresh;
  RebindWindowDCs(top.hwnd());
  return ps.backing;
}

HDC MakeWindowDC(HWND hwnd, HRGN clip, DWORD flags, std::optional<gdi::Region> paint) {
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  bool own = (w->cls->style & CS_OWNDC) && !(flags & (DCX_CACHE | DCX_WINDOW));
  WindowDC d{hwnd, clip, flags, std::move(paint), own};
  std::shared_ptr<gdi::Bitmap> surface;
  POINT origin;
  gdi::Region vis;
  if (!ComputeDC(d, &surface, &origin, &vis)) return nullptr;
  if (own) {
    // The same DC every time, its clipping brought up to date.
    for (auto& [dc, e] : LiveDCs()) {
      if (!e.own || e.hwnd != hwnd) continue;
      if (e.clip && e.clip != clip) DeleteObject(e.clip);
      e = std::move(d);
      gdi::BindSurfaceDC(dc, surface, origin, vis);
      return dc;
    }
  }
  HDC dc = gdi::CreateSurfaceDC(surface, origin, vis);
  if (dc) LiveDCs()[dc] = std::move(d);
  return dc;
}

void RebindWindowDCs(HWND top) {
  for (auto& [dc, d] : LiveDCs()) {
    auto t = TopLevelOf(d.hwnd);
    if (!t || t->hwnd() != top) continue;
    std::shared_ptr<gdi::Bitmap> surface;
    POINT origin;
    gdi::Region vis;
    if (ComputeDC(d, &surface, &origin, &vis)) gdi::BindSurfaceDC(dc, surface, origin, vis);
  }
}

void ReleaseWindowDCs(HWND hwnd) {
  auto& dcs = LiveDCs();
  for (auto it = dcs.begin(); it != dcs.end();) {
    if (it->second.hwnd != hwnd) {
      ++it;
      continue;
    }
    DeleteDC(it->first);
    if (it->second.clip) DeleteObject(it->second.clip);
    it = dcs.erase(it);
  }
}

HWND LockedWindow() { return locked; }

HRGN NewRegionHandle(const gdi::Region& rgn) {
  HRGN h = CreateRectRgn(0, 0, 0, 0);
  if (auto r = gdi::FindRegion(h)) r->rgn = rgn;
  return h;
}

void NotifyScreenChanged(const RECT& screen) {
  if (Listener() && !IsRectEmpty(&screen)) Listener()(screen);
}

void NotifyWindowChanged(const Window& top) {
  RECT r;
  if (GetWindowRect(top.hwnd(), &r)) NotifyScreenChanged(r);
}

std::optional<DisplayWindow> DisplayWindowOf(HWND hwnd) {
  auto w = FindWindowObj(hwnd);
  if (!w || !w->parent || !OwnsSurface(*w)) return std::nullopt;
  bool redraw_off = w->parts.paint && w->parts.paint->redraw_off;
  if (!(w->style & WS_VISIBLE) && !redraw_off) return std::nullopt;
  if (w->style & WS_MINIMIZE) return std::nullopt;  // parked off the desktop, not shown
  DisplayWindow d;
  d.hwnd = hwnd;
  GetWindowRect(hwnd, &d.screen);
  d.pixels = BackingStore(*w);
  if (w->region) {
    if (auto r = Quietly([&] { return gdi::FindRegion(w->region); })) d.shape = r->rgn;
  }
  return d;
}

std::vector<DisplayWindow> DisplayWindows() {
  std::vector<DisplayWindow> out;
  auto desk = FindWindowObj(GetDesktopWindow());
  if (!desk) return out;
  for (HWND t : desk->children)
    if (auto d = DisplayWindowOf(t)) out.push_back(std::move(*d));
  return out;
}

void SetScreenChangedListener(ScreenChangedListener listener) { Listener() = std::move(listener); }

}  // namespace win::user

namespace win {
using namespace user;

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  if (!hwnd) hwnd = GetDesktopWindow();
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  if (clip == reinterpret_cast<HRGN>(1)) clip = nullptr;  // WM_NCPAINT's "the whole window"
  if (!(flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) clip = nullptr;
  std::optional<gdi::Region> paint;
  if (flags & (DCX_INTERSECTUPDATE | DCX_EXCLUDEUPDATE)) {
    gdi::Region update = w->parts.paint ? w->parts.paint->update : gdi::Region();
    if (flags & DCX_INTERSECTUPDATE) {
      paint = update;
    } else {
      paint = gdi::Region(WholeWindow(*w));
      paint->Subtract(update);
    }
  }
  HDC dc = MakeWindowDC(hwnd, clip, flags, std::move(paint));
  if (dc && (flags & DCX_INTERSECTUPDATE) && (flags & DCX_VALIDATE))
    RedrawWindow(hwnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
  return dc;
}

HDC GetDC(HWND hwnd) {
  DWORD flags = 0;
  if (hwnd) {
    auto w = FindWindowObj(hwnd);
    if (!w) return nullptr;
    if (!OwnsSurface(*w) && (w->cls->style & CS_PARENTDC)) flags |= DCX_PARENTCLIP;
  }
  return GetDCEx(hwnd, nullptr, flags | DCX_USESTYLE);
}

HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_USESTYLE); }

int ReleaseDC(HWND, HDC dc) {
  auto& dcs = LiveDCs();
  auto it = dcs.find(dc);
  if (it == dcs.end()) return 0;
  WindowDC d = it->second;
  if (d.own) {
    // Kept, without the clipping of the request it was handed out for.
    it->second.clip = nullptr;
    it->second.paint.reset();
    it->second.flags = 0;
  } else {
    dcs.erase(it);
  }
  if (auto top = TopLevelOf(d.hwnd)) {
    if (auto obj = gdi::FindDC(dc); obj && obj->vis && !obj->vis->Empty()) {
      RECT box = obj->vis->Box();
      RECT tr;
      GetWindowRect(top->hwnd(), &tr);
      OffsetRect(&box, tr.left, tr.top);
      NotifyScreenChanged(box);
    }
  }
  if (d.clip) DeleteObject(d.clip);
  if (d.own) {
    if (auto top = TopLevelOf(d.hwnd)) RebindWindowDCs(top->hwnd());
  } else {
    DeleteDC(dc);
  }
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = LiveDCs().find(dc);
  return it == LiveDCs().end() ? nullptr : it->second.hwnd;
}

namespace {
// What the window's new shape uncovers of its parent, and the window itself, repainted.
void RedrawReshaped(Window& w, const gdi::Region& before) {
  HWND hwnd = w.hwnd();
  if (!OwnsSurface(w)) {
    gdi::Region exposed = before;
    exposed.Subtract(ShapeInParent(w));
    if (!exposed.Empty()) {
      HRGN e = NewRegionHandle(exposed);
      RedrawWindow(w.parent, nullptr, e, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      DeleteObject(e);
    }
  }
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}
}  // namespace

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
  auto w = FindWindowObj(hwnd);
  if (!w) return 0;
  if (rgn && !gdi::FindRegion(rgn)) return 0;
  HRGN old = w->region;
  if (old == rgn) return 1;
  bool shown = VisibleChain(*w);
  gdi::Region before = shown ? ShapeInParent(*w) : gdi::Region();
  w->region = rgn;
  if (old) DeleteObject(old);
  if (shown) {
    RebindWindowDCs(TopLevelOf(hwnd)->hwnd());
    if (OwnsSurface(*w)) NotifyWindowChanged(*w);
    if (redraw) RedrawReshaped(*w, before);
  }
  // A new shape is a new frame: the window recomputes it (WM_NCCALCSIZE) and hears of it as
  // of any change of its position.
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                   SWP_FRAMECHANGED | (redraw ? 0 : SWP_NOREDRAW));
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
  auto w = FindWindowObj(hwnd);
  if (!w) return ERROR;
  auto dst = gdi::FindRegion(rgn);
  if (!dst) return ERROR;
  if (!w->region) return ERROR;
  auto src = gdi::FindRegion(w->region);
  if (!src) return ERROR;
  dst->rgn = src->rgn;
  return dst->rgn.Complexity();
}

BOOL LockWindowUpdate(HWND hwnd) {
  if (!hwnd) {
    HWND was = locked;
    locked = nullptr;
    if (was && IsWindow(was)) {
      // Everything drawn while locked was thrown away; the whole window is repainted.
      RebindWindowDCs(TopLevelOf(was)->hwnd());
      RedrawWindow(was, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return TRUE;
  }
  if (!FindWindowObj(hwnd)) return FALSE;
  if (locked && IsWindow(locked)) return FALSE;
  locked = hwnd;
  RebindWindowDCs(TopLevelOf(hwnd)->hwnd());
  return TRUE;
}

namespace {
void ResetLock() { locked = nullptr; }
[[maybe_unused]] const bool kLockReset = RegisterReset(ResetStage::WindowManager, ResetLock);
}  // namespace

}  // namespace win
