// Scrolling the pixels of windows and DCs.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"
#include "platform/user/internal/paint.h"
#include "platform/user/window.h"

namespace win::user {
namespace {

// The pixels moved and the part left uncovered when the valid pixels of `source` move by
// (dx, dy) into `dest`.
void Split(const gdi::Region& source, const gdi::Region& dest, int dx, int dy, gdi::Region* moved,
           gdi::Region* uncovered) {
  *moved = source;
  moved->Offset(dx, dy);
  moved->Intersect(dest);
  *uncovered = dest;
  uncovered->Subtract(*moved);
}

void Report(const gdi::Region& update, HRGN rgn, RECT* rc) {
  if (rgn)
    if (auto r = gdi::FindRegion(rgn)) r->rgn = update;
  if (rc) *rc = update.Box();
}

}  // namespace

void MoveSurfacePixels(gdi::Bitmap& surface, const gdi::Region& dst, int dx, int dy) {
  gdi::Region d = dst;
  d.IntersectRect(RECT{0, 0, surface.width, surface.height});
  gdi::Region s = d;
  s.Offset(-dx, -dy);
  s.IntersectRect(RECT{0, 0, surface.width, surface.height});
  s.Offset(dx, dy);
  d.Intersect(s);  // only destinations whose source lies on the surface
  if (d.Empty()) return;
  // Take the sources first: they may overlap the destinations.
  RECT box = d.Box();
  OffsetRect(&box, -dx, -dy);
  int bw = RectWidth(box), bh = RectHeight(box);
  if (surface.bpp >= 8) {
    std::size_t px = std::size_t(surface.bpp / 8);
    std::vector<BYTE> copy(std::size_t(bw) * std::size_t(bh) * px);
    for (int y = 0; y < bh; ++y)
      std::memcpy(copy.data() + std::size_t(y) * bw * px,
                  surface.Row(box.top + y) + std::size_t(box.left) * px, std::size_t(bw) * px);
    for (const RECT& r : d.Rects())
      for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(
            surface.Row(y) + std::size_t(r.left) * px,
            copy.data() +
                (std::size_t(y - dy - box.top) * bw + std::size_t(r.left - dx - box.left)) * px,
            std::size_t(RectWidth(r)) * px);
    return;
  }
  std::vector<std::uint32_t> copy(std::size_t(bw) * std::size_t(bh));
  for (int y = 0; y < bh; ++y)
    for (int x = 0; x < bw; ++x)
      copy[std::size_t(y) * bw + x] = surface.Get(box.left + x, box.top + y);
  for (const RECT& r : d.Rects())
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        surface.Put(x, y, copy[std::size_t(y - dy - box.top) * bw + (x - dx - box.left)]);
}

}  // namespace win::user

namespace win {
using namespace user;

BOOL ScrollDC(HDC hdc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update_rgn,
              RECT* update_rc) {
  auto dc = gdi::FindDC(hdc);
  if (!dc) return FALSE;
  if (update_rgn && !gdi::FindRegion(update_rgn)) return FALSE;
  if (!dc->surface) return FALSE;
  HWND owner = WindowFromDC(hdc);
  CaretHold(owner);
  dx = Bounded(dx);
  dy = Bounded(dy);
  // In device coordinates of the surface, then back to the caller's logical ones.
  POINT o = dc->ToSurface(0, 0);
  o = {Bounded(o.x), Bounded(o.y)};
  gdi::Region vis = dc->Clip();
  RECT s = scroll ? Bounded(*scroll) : vis.Box();
  if (scroll) OffsetRect(&s, o.x, o.y);
  RECT c = s;
  if (clip) {
    RECT cl = Bounded(*clip);
    OffsetRect(&cl, o.x, o.y);
    IntersectRect(&c, &s, &cl);
  }
  gdi::Region source(s), dest(c);
  source.Intersect(vis);
  dest.Intersect(vis);
  gdi::Region moved, uncovered;
  Split(source, dest, dx, dy, &moved, &uncovered);
  MoveSurfacePixels(*dc->surface, moved, dx, dy);
  uncovered.Offset(-o.x, -o.y);
  CaretRelease(owner);
  Report(uncovered, update_rgn, update_rc);
  return TRUE;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update_rgn,
                   RECT* update_rc, UINT flags) {
  auto w = FindWindowObj(hwnd);
  if (!w) return ERROR;
  if (update_rgn && !gdi::FindRegion(update_rgn)) return ERROR;
  CaretHold(hwnd);
  dx = Bounded(dx);
  dy = Bounded(dy);
  RECT client{0, 0, RectWidth(w->client), RectHeight(w->client)};
  RECT s = client;
  if (scroll) IntersectRect(&s, scroll, &client);
  RECT c = s;
  if (clip) IntersectRect(&c, &s, clip);
  auto top = TopLevelOf(hwnd);
  POINT co = ClientOrigin(*w);
  // Children scrolled along travel with the pixels; otherwise they stay and are not touched.
  DWORD clip_flags = (w->style & WS_CLIPSIBLINGS) ? DCX_CLIPSIBLINGS : 0;
  if (!(flags & SW_SCROLLCHILDREN) && (w->style & WS_CLIPCHILDREN)) clip_flags |= DCX_CLIPCHILDREN;
  gdi::Region vis = VisibleRegion(*w, clip_flags, false);
  if (LockedWindow() && IsDescendant(LockedWindow(), hwnd)) vis.Clear();
  vis.Offset(-co.x, -co.y);
  gdi::Region source(s), dest(c);
  source.Intersect(vis);
  dest.Intersect(vis);
  gdi::Region moved, uncovered;
  Split(source, dest, dx, dy, &moved, &uncovered);
  if (top && !moved.Empty()) {
    gdi::Region on_surface = moved;
    on_surface.Offset(co.x, co.y);
    if (auto store = BackingStore(*top)) MoveSurfacePixels(*store, on_surface, dx, dy);
  }
  // What was waiting to be painted in the scrolled area moves with it.
  RECT ciw = ClientInWindow(*w);
  if (w->parts.paint && !w->parts.paint->update.Empty()) {
    gdi::Region& update = w->parts.paint->update;
    gdi::Region inside = update;
    inside.Offset(-ciw.left, -ciw.top);
    inside.IntersectRect(s);
    gdi::Region carried = inside;
    carried.Offset(dx, dy);
    carried.IntersectRect(c);
    inside.Offset(ciw.left, ciw.top);
    carried.Offset(ciw.left, ciw.top);
    update.Subtract(inside);
    update.Union(carried);
  }
  if (flags & SW_SCROLLCHILDREN) {
    auto list = w->children;
    for (HWND ch : list) {
      auto cw = FindWindowObj(ch);
      if (!cw) continue;
      RECT r = cw->window, overlap;
      if (scroll && !IntersectRect(&overlap, &r, &s)) continue;
      SetWindowPos(ch, nullptr, Bounded(r.left) + dx, Bounded(r.top) + dy, 0, 0,
                   SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }
  if ((flags & SW_INVALIDATE) && !uncovered.Empty() && IsWindow(hwnd)) {
    HRGN rgn = NewRegionHandle(uncovered);
    RedrawWindow(hwnd, nullptr, rgn,
                 RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                     ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
    DeleteObject(rgn);
  }
  CaretRelease(hwnd);
  if (top && IsWindow(hwnd)) NotifyWindowChanged(*top);
  Report(uncovered, update_rgn, update_rc);
  return uncovered.Complexity();
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  if (IsWindow(hwnd)) CaretScrolled(hwnd, dx, dy, scroll);
  return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr,
                        SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}

}  // namespace win
