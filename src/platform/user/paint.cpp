// Update regions, WM_PAINT and the messages that come with it, and the painting side of
// windows being shown, hidden, moved and sized.
#include <algorithm>

#include "platform/base/internal/clock.h"
#include "platform/base/internal/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/draw.h"
#include "platform/user/internal/paint.h"
#include "platform/user/internal/parts.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

gdi::Region ClientPart(const Window& w, const gdi::Region& r) {
  gdi::Region c = r;
  c.IntersectRect(ClientInWindow(w));
  return c;
}

bool HasClientUpdate(const Window& w) {
  return w.parts.paint && !ClientPart(w, w.parts.paint->update).Empty();
}

bool NeedsPaint(const Window& w) {
  return w.parts.paint && (w.parts.paint->internal || HasClientUpdate(w));
}

// Children take part unless told otherwise, or unless the parent clips them away anyway.
bool TakesChildren(const Window& w, UINT flags) {
  if (flags & RDW_ALLCHILDREN) return true;
  if (!w.parent) return false;  // the desktop only ever passes explicit requests on
  return !(flags & RDW_NOCHILDREN) && !(w.style & WS_CLIPCHILDREN);
}

// The update-region half of RedrawWindow. `area` is in window coordinates; none means the
// whole window with RDW_FRAME (or RDW_VALIDATE | RDW_NOFRAME), otherwise the client area.
void Apply(HWND h, const std::optional<gdi::Region>& area, UINT flags) {
  auto w = FindWindowObj(h);
  if (!w) return;
  RECT client = ClientInWindow(*w);
  bool whole = (flags & RDW_FRAME) || ((flags & RDW_VALIDATE) && (flags & RDW_NOFRAME));
  gdi::Region target = area ? *area : gdi::Region(whole ? WholeWindow(*w) : client);
  if (w->parent) {  // the desktop never gets WM_PAINT
    PaintState& ps = PaintOf(*w);
    if (flags & RDW_INVALIDATE) {
      if (VisibleChain(*w)) {
        gdi::Region add = target;
        if (!(flags & RDW_FRAME)) add.IntersectRect(client);
        add.Intersect(Updatable(*w));
        if (!add.Empty()) {
          ps.update.Union(add);
          if (flags & RDW_ERASE) ps.erase = true;
        }
        // The frame is due whenever RDW_FRAME invalidates anything, whether or not the
        // window has a visible frame: borderless windows get WM_NCPAINT too.
        if ((flags & RDW_FRAME) && (!add.Empty() || !area)) ps.nc = true;
        EnsurePaintSource();
      }
    } else if (flags & RDW_VALIDATE) {
      ps.update.Subtract(target);
      if (flags & RDW_NOFRAME) {
        ps.nc = false;
        ps.update.IntersectRect(client);
      }
      if (ps.update.Empty()) ps.erase = ps.nc = false;
    }
    if (flags & RDW_INTERNALPAINT) {
      ps.internal = true;
      EnsurePaintSource();
    }
    if (flags & RDW_NOINTERNALPAINT) ps.internal = false;
    if (flags & RDW_NOERASE) ps.erase = false;
  }
  if (!TakesChildren(*w, flags) || w->children.empty()) return;
  // A child lies in the client area, frame and all.
  UINT child_flags = flags & ~(RDW_UPDATENOW | RDW_ERASENOW);
  if (flags & RDW_INVALIDATE) child_flags |= RDW_FRAME;
  gdi::Region inner = target;
  inner.IntersectRect(client);
  bool everything = !area && !w->parent;
  auto list = w->children;
  for (HWND c : list) {
    auto cw = FindWindowObj(c);
    if (!cw) continue;
    if (everything) {
      Apply(c, std::nullopt, child_flags);
      continue;
    }
    gdi::Region sub = inner;
    sub.Offset(-(client.left + cw->window.left), -(client.top + cw->window.top));
    sub.IntersectRect(WholeWindow(*cw));
    if (!sub.Empty()) Apply(c, sub, child_flags);
  }
}

// The order windows paint in: top-level windows from the top of the z-order, children from
// the bottom up, so that children that overlap without clipping end up as they are stacked.
std::vector<HWND> PaintOrder(const Window& w) {
  std::vector<HWND> list = w.children;
  if (w.parent) std::reverse(list.begin(), list.end());
  return list;
}

// The "now" half: WM_NCPAINT and WM_ERASEBKGND (RDW_ERASENOW), WM_PAINT (RDW_UPDATENOW),
// parents before their children.
void UpdateNow(HWND h, UINT flags) {
  auto w = FindWindowObj(h);
  if (!w) return;
  if (w->parent && VisibleChain(*w)) {
    if (flags & RDW_ERASENOW) EraseNow(h);
    if (flags & RDW_UPDATENOW) {
      if (!(w = FindWindowObj(h))) return;
      if (HasClientUpdate(*w))
        SendMessage(h, WM_PAINT, 0, 0);
      else if (w->parts.paint && w->parts.paint->nc)
        SendNcPaint(h);
    }
    if (!(w = FindWindowObj(h))) return;
  }
  if (!TakesChildren(*w, flags)) return;
  for (HWND c : PaintOrder(*w)) UpdateNow(c, flags);
}

// The first window of the subtree that needs WM_PAINT, parents before children. A window
// whose only pending work is its frame gets WM_NCPAINT here and is passed over, so a window
// that validates its client area without BeginPaint is not asked to paint forever.
HWND Search(HWND h) {
  auto w = FindWindowObj(h);
  if (!w || !(w->style & WS_VISIBLE)) return nullptr;
  if (w->parent) {
    if (NeedsPaint(*w)) return h;
    if (w->parts.paint && w->parts.paint->nc) {
      SendNcPaint(h);
      if (!(w = FindWindowObj(h))) return nullptr;
      if (NeedsPaint(*w)) return h;
    }
  }
  for (HWND c : PaintOrder(*w))
    if (HWND r = Search(c)) return r;
  return nullptr;
}

bool PaintSource(MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
  if (!MessageFilter{filter, min, max}.TakesMessage(WM_PAINT)) return false;
  HWND root = GetDesktopWindow();
  if (filter) {
    auto f = Quietly([&] { return FindWindowObj(filter); });
    if (!f || !VisibleChain(*f)) return false;
    root = filter;
  }
  HWND target = Search(root);
  if (!target) return false;
  *msg = MSG{target, WM_PAINT, 0, 0, GetTickCount(), {}};
  // The internal-paint request is answered by handing the message out.
  if (remove)
    if (auto w = FindWindowObj(target); w && w->parts.paint) w->parts.paint->internal = false;
  return true;
}

// The class brush is a brush or (HBRUSH)(COLOR_x + 1); FillRect takes either.
LRESULT EraseWithClassBrush(HWND h, HDC dc) {
  auto w = FindWindowObj(h);
  if (!w || !dc || !w->cls->background) return 0;
  RECT rc;
  GetClientRect(h, &rc);
  FillRect(dc, &rc, w->cls->background);
  return 1;
}

// WM_SETREDRAW works as on Windows, by taking WS_VISIBLE away and giving it back: while it is
// off nothing draws and nothing is invalidated; turning it on repaints nothing by itself.
void SetRedraw(HWND h, bool on) {
  auto w = FindWindowObj(h);
  if (!w) return;
  PaintState& ps = PaintOf(*w);
  if (!on && (w->style & WS_VISIBLE)) {
    w->style &= ~WS_VISIBLE;
    ps.redraw_off = true;
  } else if (on && ps.redraw_off) {
    ps.redraw_off = false;
    w->style |= WS_VISIBLE;
  } else {
    return;
  }
  if (auto top = TopLevelOf(h)) RebindWindowDCs(top->hwnd());
}

constexpr UINT kRepaintWhole =
    RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW;

void RedrawArea(HWND h, const std::optional<gdi::Region>& area, UINT flags) {
  Apply(h, area, flags);
  if (flags & (RDW_ERASENOW | RDW_UPDATENOW)) UpdateNow(h, flags);
}

// What a shown, moved or sized window must paint of itself.
void RepaintSelf(HWND h, const RECT& old_screen, bool shown, UINT swp,
                 const std::optional<gdi::Region>& copied, const ClientBits& bits) {
  auto w = FindWindowObj(h);
  if (!w) return;
  int ow = RectWidth(old_screen), oh = RectHeight(old_screen);
  int nw = RectWidth(w->window), nh = RectHeight(w->window);
  bool sized = ow != nw || oh != nh;
  UINT cs = w->cls->style;
  bool whole = shown || ((cs & CS_HREDRAW) && ow != nw) || ((cs & CS_VREDRAW) && oh != nh);
  if (whole) {
    RedrawArea(h, std::nullopt, kRepaintWhole);
    return;
  }
  gdi::Region area;
  RECT client = ClientInWindow(*w);
  if (copied) {
    // Moved: what could not be carried over from the old place.
    area = gdi::Region(WholeWindow(*w));
    area.Subtract(*copied);
  }
  // The frame: the window less its client area.
  gdi::Region ring(WholeWindow(*w));
  ring.Subtract(gdi::Region(client));
  if (sized) area.Union(ring);  // the frame follows the new edges
  // The client keeps the pixels the change of position kept, moved to where they now belong
  // (inside the window's own store only: a child's old pixels may lie under its siblings), and
  // repaints the rest.
  gdi::Region lost(client);
  const bool shifted = bits.src.left != bits.dst.left || bits.src.top != bits.dst.top;
  if (!IsRectEmpty(&bits.dst) && (!shifted || OwnsSurface(*w))) {
    if (shifted) {
      if (auto store = PaintOf(*w).backing)
        MoveSurfacePixels(*store, gdi::Region(bits.dst), bits.dst.left - bits.src.left,
                          bits.dst.top - bits.src.top);
    }
    lost.Subtract(gdi::Region(bits.dst));
  }
  area.Union(lost);
  if (swp & SWP_FRAMECHANGED) {
    PaintOf(*w).nc = true;
    area.Union(ring);
  }
  if (!area.Empty() || (swp & SWP_FRAMECHANGED)) RedrawArea(h, area, kRepaintWhole);
}

// Uncovered parts of the parent and of the siblings below (all siblings when the z-order
// changed), in the parent's client coordinates.
void ExposeUnder(const Window& w, const gdi::Region& exposed, bool z_changed) {
  if (exposed.Empty()) return;
  auto p = ParentObj(w);
  if (!p || !VisibleChain(*p)) return;
  RECT pc = ClientInWindow(*p);
  gdi::Region in_parent = exposed;
  in_parent.Offset(pc.left, pc.top);
  HWND ph = p->hwnd();
  RedrawArea(ph, in_parent, RDW_INVALIDATE | RDW_ERASE);
  if (!(p = FindWindowObj(ph))) return;
  auto list = p->children;
  auto at = std::find(list.begin(), list.end(), w.hwnd());
  auto from = z_changed || at == list.end() ? list.begin() : at + 1;
  for (auto it = from; it != list.end(); ++it) {
    if (*it == w.hwnd()) continue;
    auto s = FindWindowObj(*it);
    if (!s || !(s->style & WS_VISIBLE)) continue;
    gdi::Region part = exposed;
    part.Offset(-s->window.left, -s->window.top);
    part.IntersectRect(WholeWindow(*s));
    if (!part.Empty())
      RedrawArea(*it, part, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

// What a moving child carries along: its whole window, less the siblings above it when it
// clips them.
DWORD MoveClip(const Window& w) {
  return DCX_WINDOW | ((w.style & WS_CLIPSIBLINGS) ? DCX_CLIPSIBLINGS : 0);
}

// The visible region of a child as it was at `old_window` (parent client coordinates), with
// its siblings where they are now: only w has moved.
gdi::Region VisibleAt(const Window& w, const RECT& old_window) {
  RECT client = w.client;
  OffsetRect(&client, old_window.left - w.window.left, old_window.top - w.window.top);
  return VisibleRegion(w, Geometry{old_window, client}, MoveClip(w), false);
}

}  // namespace

void EnsurePaintSource() { SetPaintSource(PaintSource); }

void SendNcPaint(HWND h) {
  auto w = FindWindowObj(h);
  if (!w) return;
  PaintState& ps = PaintOf(*w);
  ps.nc = false;
  gdi::Region full = ps.update;
  RECT client = ClientInWindow(*w);
  gdi::Region uncovered(WholeWindow(*w));
  uncovered.Subtract(gdi::Region(client));
  uncovered.Subtract(full);
  bool whole_frame = uncovered.Empty();
  ps.update.IntersectRect(client);  // the frame is valid from here on
  if (ps.update.Empty()) ps.erase = false;
  HRGN arg = nullptr;
  if (!whole_frame) {
    RECT wr;
    GetWindowRect(h, &wr);
    full.Offset(wr.left, wr.top);
    arg = NewRegionHandle(full);
  }
  SendMessage(h, WM_NCPAINT, whole_frame ? WPARAM(1) : reinterpret_cast<WPARAM>(arg), 0);
  if (arg) {
    // A DC may have taken it (GetDCEx with DCX_INTERSECTRGN) and deleted it already.
    Quietly([&] { DeleteObject(arg); });
  }
}

void EraseNow(HWND h) {
  auto w = FindWindowObj(h);
  if (!w) return;
  if (PaintOf(*w).nc) {
    SendNcPaint(h);
    if (!(w = FindWindowObj(h))) return;
  }
  PaintState& ps = PaintOf(*w);
  if (!ps.erase) return;
  ps.erase = false;
  gdi::Region part = ClientPart(*w, ps.update);
  if (part.Empty()) return;
  HDC dc = MakeWindowDC(h, nullptr, DCX_USESTYLE, part);
  LRESULT r = SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(h, dc);
  if ((w = FindWindowObj(h))) PaintOf(*w).must_erase = r == 0;
}

bool PaintDefProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_PAINT:
      // With a DC in wParam the window is being asked to draw there; nothing to validate.
      if (!wp) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
      }
      *result = 0;
      return true;
    case WM_ERASEBKGND: *result = EraseWithClassBrush(h, reinterpret_cast<HDC>(wp)); return true;
    case WM_SETREDRAW:
      SetRedraw(h, wp != 0);
      *result = 0;
      return true;
    case WM_PRINT:
      PrintWindowTo(h, reinterpret_cast<HDC>(wp), lp);
      *result = 0;
      return true;
    case WM_PRINTCLIENT: *result = 0; return true;
  }
  return false;
}

void PaintAfterPosChanged(HWND h, const RECT& old_screen, bool was_visible, UINT swp,
                          const ClientBits& bits) {
  auto w = FindWindowObj(h);
  if (!w) return;
  bool visible = (w->style & WS_VISIBLE) != 0;
  bool shown = visible && !was_visible;
  if (shown && w->parts.paint) w->parts.paint->redraw_off = false;
  RECT now_screen;
  GetWindowRect(h, &now_screen);
  auto top = TopLevelOf(h);
  if (!top) return;
  if (OwnsSurface(*w)) {
    BackingStore(*w);
    RebindWindowDCs(h);
    if (was_visible) NotifyScreenChanged(old_screen);
    if (visible) NotifyScreenChanged(now_screen);
    if (visible && !(swp & SWP_NOREDRAW))
      RepaintSelf(h, old_screen, shown, swp, std::nullopt, bits);
    return;
  }
  RebindWindowDCs(top->hwnd());
  if (swp & SWP_NOREDRAW) return;
  auto p = ParentObj(*w);
  if (!p) return;
  POINT po = ClientOriginOnScreen(w->parent);
  RECT old_window = old_screen;
  OffsetRect(&old_window, -po.x, -po.y);
  int dx = w->window.left - old_window.left, dy = w->window.top - old_window.top;
  bool moved = dx || dy;
  bool z_changed = !(swp & SWP_NOZORDER);
  gdi::Region old_shape, new_shape;
  if (was_visible) old_shape = ShapeInParent(*w, old_window);
  if (visible) new_shape = ShapeInParent(*w);
  std::optional<gdi::Region> copied;
  if (was_visible && visible && moved && VisibleChain(*w)) {
    copied = gdi::Region();
    if (!(swp & SWP_NOCOPYBITS)) {
      gdi::Region from = VisibleAt(*w, old_window);
      from.Offset(dx, dy);
      gdi::Region to = VisibleRegion(*w, MoveClip(*w), false);
      from.Intersect(to);
      if (auto store = PaintOf(*top).backing; store && !from.Empty()) {
        MoveSurfacePixels(*store, from, dx, dy);
        POINT wo = WindowOrigin(*w);
        from.Offset(-wo.x, -wo.y);
        copied = from;
      }
    }
  }
  gdi::Region exposed = old_shape;
  exposed.Subtract(new_shape);
  ExposeUnder(*w, exposed, z_changed);
  if (!IsWindow(h)) return;
  if (visible) {
    if (z_changed && !shown) {
      RedrawArea(h, std::nullopt, kRepaintWhole);
      // Siblings now above it that overlap it were clipped by it before.
      if ((p = ParentObj(*w))) {
        auto list = p->children;
        for (HWND s : list) {
          if (s == h) break;
          auto sw = FindWindowObj(s);
          if (!sw || !(sw->style & WS_VISIBLE) || !(sw->style & WS_CLIPSIBLINGS)) continue;
          gdi::Region part = new_shape;
          part.Offset(-sw->window.left, -sw->window.top);
          part.IntersectRect(WholeWindow(*sw));
          if (!part.Empty())
            RedrawArea(s, part, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
      }
    } else {
      RepaintSelf(h, old_screen, shown, swp, copied, bits);
    }
  }
  if ((top = TopLevelOf(h))) NotifyWindowChanged(*top);
}

void PaintWindowFreed(HWND h) {
  ReleaseWindowDCs(h);
  auto w = FindWindowObj(h);
  if (!w) return;
  if (w->region) {
    Quietly([&] { DeleteObject(w->region); });
    w->region = nullptr;
  }
  w->parts.paint.reset();
}

}  // namespace win::user

namespace win {
using namespace user;

BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags) {
  if (!hwnd) hwnd = GetDesktopWindow();
  auto w = FindWindowObj(hwnd);
  if (!w) return FALSE;
  std::optional<gdi::Region> area;
  RECT ciw = ClientInWindow(*w);
  if (rgn) {
    auto r = gdi::FindRegion(rgn);
    if (!r) return FALSE;
    area = r->rgn;
  } else if (rc) {
    area = gdi::Region(Bounded(*rc));
  }
  if (area) {
    area->IntersectRect(RECT{-kFar, -kFar, kFar, kFar});
    area->Offset(ciw.left, ciw.top);
  }
  RedrawArea(hwnd, area, flags);
  return TRUE;
}

// A null window is the whole screen: every window is invalidated and erased before the call
// returns, as Windows documents for InvalidateRect and, surprisingly, ValidateRect too.
BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
  // An inverted rectangle stands for the one it spans.
  RECT normal;
  if (rc) {
    normal = {std::min(rc->left, rc->right), std::min(rc->top, rc->bottom),
              std::max(rc->left, rc->right), std::max(rc->top, rc->bottom)};
    rc = &normal;
  }
  if (!hwnd)
    return RedrawWindow(nullptr, rc, nullptr,
                        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASENOW);
  return RedrawWindow(hwnd, rc, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  if (!hwnd)
    return RedrawWindow(nullptr, nullptr, rgn,
                        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASENOW);
  return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

// Validating reaches the children as RedrawWindow's default does: unless the window clips
// them (WS_CLIPCHILDREN), the same area of theirs is validated too.
BOOL ValidateRect(HWND hwnd, const RECT* rc) {
  if (!hwnd) return InvalidateRect(nullptr, rc, TRUE);
  return RedrawWindow(hwnd, rc, nullptr, RDW_VALIDATE);
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
  if (!hwnd) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return RedrawWindow(hwnd, nullptr, rgn, RDW_VALIDATE);
}

namespace {

// What GetUpdateRgn and GetUpdateRect report: the update region's client part in client
// coordinates, after the erase they may ask for; none when the window is gone.
std::optional<gdi::Region> ClientUpdate(HWND hwnd, BOOL erase) {
  auto w = FindWindowObj(hwnd);
  if (!w) return std::nullopt;
  if (erase) {
    EraseNow(hwnd);
    if (!(w = FindWindowObj(hwnd))) return std::nullopt;
  }
  RECT ciw = ClientInWindow(*w);
  gdi::Region r = w->parts.paint ? ClientPart(*w, w->parts.paint->update) : gdi::Region();
  r.Offset(-ciw.left, -ciw.top);
  return r;
}

}  // namespace

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  if (!FindWindowObj(hwnd)) return ERROR;
  auto dst = gdi::FindRegion(rgn);
  if (!dst) return ERROR;
  auto r = ClientUpdate(hwnd, erase);
  if (!r) return ERROR;
  dst->rgn = *r;
  return r->Complexity();
}

BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase) {
  auto r = ClientUpdate(hwnd, erase);
  if (!r) return FALSE;
  if (rc) *rc = r->Box();
  return !r->Empty();
}

BOOL UpdateWindow(HWND hwnd) {
  if (!FindWindowObj(hwnd)) return FALSE;
  return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  auto w = FindWindowObj(hwnd);
  if (!w) return nullptr;
  if (!ps) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  CaretHold(hwnd);
  if (PaintOf(*w).nc) {
    SendNcPaint(hwnd);
    if (!(w = FindWindowObj(hwnd))) return nullptr;
  }
  PaintState& st = PaintOf(*w);
  RECT client = ClientInWindow(*w);
  gdi::Region paint = ClientPart(*w, st.update);
  bool erase = st.erase, must = st.must_erase;
  st.update.Clear();
  st.erase = st.must_erase = st.internal = false;
  DWORD flags = DCX_USESTYLE;
  if (!OwnsSurface(*w) && (w->cls->style & CS_PARENTDC)) flags |= DCX_PARENTCLIP;
  HDC dc = MakeWindowDC(hwnd, nullptr, flags, paint);
  *ps = PAINTSTRUCT{};
  ps->hdc = dc;
  if (!paint.Empty()) {
    ps->rcPaint = paint.Box();
    OffsetRect(&ps->rcPaint, -client.left, -client.top);
  }
  ps->fErase = must;
  if (erase && dc)
    ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!FindWindowObj(hwnd)) return FALSE;
  if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
  CaretRelease(hwnd);
  return TRUE;
}

}  // namespace win
