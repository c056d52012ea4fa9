#include "platform/gdi/internal/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/guard.h"

namespace win {
namespace gdi {

namespace {

using i64 = std::int64_t;

struct Pt {
  i64 x, y;
};
struct PtD {
  double x, y;
};

// Figures in surface coordinates, which may lie far outside the 32-bit range.
struct R64 {
  i64 left, top, right, bottom;
  bool empty() const { return left >= right || top >= bottom; }
};

R64 Grown(const R64& rc, i64 l, i64 t, i64 r, i64 b) {
  return {rc.left - l, rc.top - t, rc.right + r, rc.bottom + b};
}

// Shapes are built only inside a window a little larger than the clip box, so their cost
// follows what can show; the margin keeps the outline of a cut shape off the visible part.
constexpr int kWindowMargin = 2;

RECT Cut(const R64& rc, const RECT& win) {
  return {LONG(std::clamp<i64>(rc.left, win.left, win.right)),
          LONG(std::clamp<i64>(rc.top, win.top, win.bottom)),
          LONG(std::clamp<i64>(rc.right, win.left, win.right)),
          LONG(std::clamp<i64>(rc.bottom, win.top, win.bottom))};
}

// The rounded rectangle [rc.left, rc.right) x [rc.top, rc.bottom), as RoundShape.
Region Shape(const R64& rc, i64 ew, i64 eh, const RECT& win) {
  return RoundRectPixels(rc.left, rc.top, rc.right, rc.bottom, ew, eh, win);
}

// The pen as it draws: resolved colour, width and style parts.
struct PenInfo {
  int kind = PS_SOLID;
  int width = 1;
  int cap = PS_ENDCAP_ROUND;
  int join = PS_JOIN_ROUND;
  COLORREF color = 0;
  bool null() const { return kind == PS_NULL; }
  bool wide() const { return width > 1; }
  int a() const { return width / 2; }        // how far the pen reaches left/up of its path
  int b() const { return (width - 1) / 2; }  // and right/down
};

PenInfo ResolvePen(const DC& dc) {
  PenInfo p;
  const auto& pen = dc.st.pen;
  if (!pen) {
    p.kind = PS_NULL;
    return p;
  }
  p.kind = pen->Kind();
  p.width = std::max(1, pen->width);
  p.cap = pen->style & 0xF00;
  p.join = pen->style & 0xF000;
  p.color = pen->color;
  if (pen->stock && pen == FindPen(static_cast<HPEN>(GetStockObject(DC_PEN))))
    p.color = dc.st.dc_pen_color;
  if (p.wide() && p.kind != PS_INSIDEFRAME && p.kind != PS_NULL) p.kind = PS_SOLID;
  return p;
}

// Cosmetic style patterns: alternating on/off run lengths in pixels.
struct Dashes {
  int n;
  int runs[6];
};
const Dashes* PatternOf(int kind) {
  static const Dashes dash{2, {18, 6}}, dot{2, {3, 3}}, dashdot{4, {9, 6, 3, 6}},
      dashdotdot{6, {9, 3, 3, 3, 3, 3}}, alternate{2, {1, 1}};
  switch (kind) {
    case PS_DASH: return &dash;
    case PS_DOT: return &dot;
    case PS_DASHDOT: return &dashdot;
    case PS_DASHDOTDOT: return &dashdotdot;
    case PS_ALTERNATE: return &alternate;
  }
  return nullptr;
}

bool PatternOn(const Dashes* d, i64 pos) {
  int total = 0;
  for (int i = 0; i < d->n; ++i) total += d->runs[i];
  int p = int(((pos % total) + total) % total);
  for (int i = 0; i < d->n; ++i) {
    if (p < d->runs[i]) return (i & 1) == 0;
    p -= d->runs[i];
  }
  return true;
}

// Writes pixels through the DC's ROP2, clipped.
class Painter {
 public:
  explicit Painter(DC& dc) : dc_(dc), bmp_(*dc.surface), clip_(dc.Clip()), box_(clip_.Box()) {
    win_ = {box_.left - kWindowMargin, box_.top - kWindowMargin, box_.right + kWindowMargin,
            box_.bottom + kWindowMargin};
  }
  const RECT& box() const { return box_; }
  const RECT& window() const { return win_; }
  const Region& clip() const { return clip_; }
  Pt Offset() const {
    POINT o = dc_.ToSurface(0, 0);
    return {o.x, o.y};
  }

  void Pixel(i64 x, i64 y, std::uint32_t value, int rop) {
    if (x < box_.left || x >= box_.right || y < box_.top || y >= box_.bottom) return;
    if (!clip_.Contains(int(x), int(y))) return;
    bmp_.Put(int(x), int(y), Rop2(rop, value, bmp_.Get(int(x), int(y))) & bmp_.RawMask());
  }
  // Paints a region (surface coordinates) with a brush through `rop`.
  void Fill(Region r, const BrushSampler& s, int rop) {
    if (s.null) return;
    r.Intersect(clip_);
    const std::uint32_t mask = bmp_.RawMask();
    if (bmp_.bpp == 32 && s.solid && rop == R2_COPYPEN) {  // the common fill, row by row
      for (const RECT& rc : r.Rects())
        for (int y = rc.top; y < rc.bottom; ++y) {
          auto* row = reinterpret_cast<std::uint32_t*>(bmp_.Row(y));
          std::fill(row + rc.left, row + rc.right, s.value & 0x00FFFFFFu);
        }
      return;
    }
    for (const RECT& rc : r.Rects())
      for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
          if (s.Gap(x, y)) continue;  // hatch gaps in transparent mode
          bmp_.Put(x, y, Rop2(rop, s.At(x, y), bmp_.Get(x, y)) & mask);
        }
  }
  void Fill(const Region& r, std::uint32_t value, int rop) {
    BrushSampler s;
    s.null = false;
    s.value = value;
    Fill(r, s, rop);
  }
  Bitmap& bmp() { return bmp_; }

 private:
  DC& dc_;
  Bitmap& bmp_;
  Region clip_;
  RECT box_, win_;
};

// Products of two coordinate spans need more than 64 bits on lines billions of pixels long.
i64 CeilDiv(__int128 num, i64 den) {  // den > 0
  return i64(num >= 0 ? (num + den - 1) / den : -((-num) / den));
}

// Windows' cosmetic line from a to b, the last point left out. Ties between two pixels are
// broken so that a line and its reverse cover the same pixels: octants 3, 5, 6 and 8 round
// the other way. `plot(x, y, j)` receives the j-th pixel of the line; only pixels that can
// lie inside `box` are produced, so huge coordinates cost nothing. Returns the pixel count.
template <class F>
i64 LinePixels(Pt a, Pt b, const RECT& box, F plot) {
  const i64 dx = b.x - a.x, dy = b.y - a.y;
  const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  if (adx == 0 && ady == 0) return 0;
  int octant;
  if (dy > 0)
    octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  else
    octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  const i64 bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const bool x_major = adx > ady;
  const i64 len = x_major ? adx : ady;
  const i64 sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  // Only steps whose major coordinate is inside the box can draw.
  i64 lo = 0, hi = len;  // [lo, hi)
  {
    const i64 start = x_major ? a.x : a.y, s = x_major ? sx : sy;
    const i64 bmin = x_major ? box.left : box.top, bmax = (x_major ? box.right : box.bottom) - 1;
    if (bmin > bmax) return len;
    i64 j0 = s > 0 ? bmin - start : start - bmax, j1 = s > 0 ? bmax - start : start - bmin;
    lo = std::max<i64>(lo, j0);
    hi = std::min<i64>(hi, j1 + 1);
  }
  for (i64 j = lo; j < hi; ++j) {
    if (x_major) {
      i64 k = CeilDiv(__int128(2 * ady) * j - adx + bias, 2 * adx);
      plot(a.x + sx * j, a.y + sy * k, j);
    } else {
      i64 k = CeilDiv(__int128(2 * adx) * j - ady + bias, 2 * ady);
      plot(a.x + sx * k, a.y + sy * j, j);
    }
  }
  return len;
}

// A cosmetic pen drawing one figure: the style pattern runs on across its segments.
class CosmeticPen {
 public:
  CosmeticPen(DC& dc, Painter& p, const PenInfo& pen)
      : dc_(dc), p_(p), pattern_(PatternOf(pen.kind)) {
    fg_ = SolidRaw(dc, pen.color);
    bg_ = p.bmp().FromColor(dc.st.bk_color);
  }
  // Draws a segment now.
  void Segment(Pt a, Pt b) {
    pos_ += LinePixels(a, b, p_.box(), [&](i64 x, i64 y, i64 j) { Put(x, y, pos_ + j); });
  }
  // Collects the pixels of a segment for a figure whose outline must not overlap its fill.
  void Collect(Pt a, Pt b, std::vector<RECT>* out) {
    pos_ += LinePixels(a, b, p_.box(), [&](i64 x, i64 y, i64 j) {
      out->push_back({LONG(x), LONG(y), LONG(x + 1), LONG(y + 1)});
      order_.push_back({x, y, pos_ + j});
    });
  }
  // Paints what Collect gathered: solid pens paint each pixel once, styled pens in order.
  void Flush(const Region& pixels) {
    if (!pattern_)
      p_.Fill(pixels, fg_, dc_.st.rop2);
    else
      for (auto& o : order_) Put(o.x, o.y, o.pos);
    order_.clear();
  }
  void Put(i64 x, i64 y, i64 pos) {
    if (!pattern_ || PatternOn(pattern_, pos))
      p_.Pixel(x, y, fg_, dc_.st.rop2);
    else if (dc_.st.bk_mode == OPAQUE)
      p_.Pixel(x, y, bg_, dc_.st.rop2);
  }
  bool styled() const { return pattern_ != nullptr; }

 private:
  struct Ordered {
    i64 x, y, pos;
  };
  DC& dc_;
  Painter& p_;
  const Dashes* pattern_;
  std::uint32_t fg_ = 0, bg_ = 0;
  i64 pos_ = 0;
  std::vector<Ordered> order_;
};

// Scan-converts a convex polygon given in pixel-centre coordinates: a pixel is covered when
// its centre lies inside, left and top edges inclusive.
// Only the part inside `win` is produced.
void RasterConvex(const std::vector<PtD>& poly, const RECT& win, std::vector<RECT>* out) {
  if (poly.size() < 3) return;
  double ymin = poly[0].y, ymax = poly[0].y;
  for (auto& p : poly) {
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
  }
  const i64 y0 = i64(std::ceil(std::clamp(ymin, double(win.top), double(win.bottom))));
  const i64 y1 = i64(std::ceil(std::clamp(ymax, double(win.top), double(win.bottom))));
  for (i64 y = y0; y < y1; ++y) {
    double xl = 1e300, xr = -1e300;
    for (std::size_t i = 0; i < poly.size(); ++i) {
      PtD a = poly[i], b = poly[(i + 1) % poly.size()];
      if (a.y == b.y) continue;
      if (a.y > b.y) std::swap(a, b);
      if (double(y) < a.y || double(y) >= b.y) continue;
      double x = a.x + (double(y) - a.y) * (b.x - a.x) / (b.y - a.y);
      xl = std::min(xl, x);
      xr = std::max(xr, x);
    }
    if (xl >= xr) continue;
    i64 l = i64(std::ceil(std::clamp(xl, double(win.left), double(win.right))));
    i64 r = i64(std::ceil(std::clamp(xr, double(win.left), double(win.right))));
    if (l < r) out->push_back({LONG(l), LONG(y), LONG(r), LONG(y + 1)});
  }
}

Region Disc(Pt c, int w, const RECT& win) {
  const i64 l = c.x - w / 2, t = c.y - w / 2;
  return Shape({l, t, l + w, t + w}, w, w, win);
}

// The part of segment a-b within `box` (grown by `reach`), as parameters along it; false
// when it misses. Clipping the centre line rather than moving far vertices keeps the
// slope exact.
bool ClipSegment(PtD a, PtD b, const RECT& box, double reach, double* t0, double* t1) {
  *t0 = 0;
  *t1 = 1;
  const double d[2] = {b.x - a.x, b.y - a.y}, p[2] = {a.x, a.y};
  const double lo[2] = {box.left - reach, box.top - reach},
               hi[2] = {box.right + reach, box.bottom + reach};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0) {
      if (p[k] < lo[k] || p[k] > hi[k]) return false;
      continue;
    }
    double u = (lo[k] - p[k]) / d[k], v = (hi[k] - p[k]) / d[k];
    if (u > v) std::swap(u, v);
    *t0 = std::max(*t0, u);
    *t1 = std::min(*t1, v);
  }
  return *t0 <= *t1;
}

// How far `p` lies outside `box` along either axis.
double Outside(PtD p, const RECT& box) {
  const double dx = std::max({box.left - p.x, p.x - box.right, 0.0});
  const double dy = std::max({box.top - p.y, p.y - box.bottom, 0.0});
  return std::max(dx, dy);
}

// The area a wide geometric pen covers along a path (surface coordinates), within `win`.
Region WideStroke(const std::vector<Pt>& in, bool closed, const PenInfo& pen, const RECT& win) {
  std::vector<Pt> pts;
  for (const Pt& p : in)
    if (pts.empty() || p.x != pts.back().x || p.y != pts.back().y) pts.push_back(p);
  if (closed && pts.size() > 1 && pts.front().x == pts.back().x && pts.front().y == pts.back().y)
    pts.pop_back();
  const double r = pen.width / 2.0;
  std::vector<RECT> rects;
  Region out;
  if (pts.size() == 1) {
    if (pen.cap == PS_ENDCAP_ROUND) return Disc(pts[0], pen.width, win);
    if (pen.cap == PS_ENDCAP_SQUARE)
      return Region(Cut(
          {pts[0].x - pen.a(), pts[0].y - pen.a(), pts[0].x + pen.b() + 1, pts[0].y + pen.b() + 1},
          win));
    return out;
  }
  const std::size_t nseg = closed ? pts.size() : pts.size() - 1;
  auto dir = [&](std::size_t i) {
    const Pt& a = pts[i % pts.size()];
    const Pt& b = pts[(i + 1) % pts.size()];
    double dx = double(b.x - a.x), dy = double(b.y - a.y), l = std::hypot(dx, dy);
    return PtD{dx / l, dy / l};
  };
  for (std::size_t i = 0; i < nseg; ++i) {
    PtD a{double(pts[i].x), double(pts[i].y)};
    PtD b{double(pts[(i + 1) % pts.size()].x), double(pts[(i + 1) % pts.size()].y)};
    PtD d = dir(i), n{-d.y, d.x};
    if (!closed && pen.cap == PS_ENDCAP_SQUARE) {
      if (i == 0) a = {a.x - d.x * r, a.y - d.y * r};
      if (i + 1 == nseg) b = {b.x + d.x * r, b.y + d.y * r};
    }
    // The band reaches r beside its centre line: only the line's part near the window counts.
    double t0, t1;
    if (!ClipSegment(a, b, win, r + 2, &t0, &t1)) continue;
    const PtD ab{b.x - a.x, b.y - a.y};
    b = {a.x + ab.x * t1, a.y + ab.y * t1};
    a = {a.x + ab.x * t0, a.y + ab.y * t0};
    RasterConvex({{a.x + n.x * r, a.y + n.y * r},
                  {b.x + n.x * r, b.y + n.y * r},
                  {b.x - n.x * r, b.y - n.y * r},
                  {a.x - n.x * r, a.y - n.y * r}},
                 win, &rects);
  }
  // Joins at the inner vertices (all of them for a closed figure), caps at the ends; a miter
  // reaches at most ten half-widths from its vertex.
  const std::size_t first = closed ? 0 : 1, last = closed ? pts.size() : pts.size() - 1;
  for (std::size_t i = first; i < last; ++i) {
    const Pt& v = pts[i];
    PtD vv{double(v.x), double(v.y)};
    if (Outside(vv, win) > 10 * r + 2) continue;
    if (pen.join == PS_JOIN_ROUND) {
      out.Union(Disc(v, pen.width, win));
      continue;
    }
    PtD d1 = dir(i + pts.size() - 1), d2 = dir(i);
    PtD n1{-d1.y, d1.x}, n2{-d2.y, d2.x};
    double s = (d2.x * n1.x + d2.y * n1.y) > 0 ? -1 : 1;
    PtD p1{vv.x + s * n1.x * r, vv.y + s * n1.y * r}, p2{vv.x + s * n2.x * r, vv.y + s * n2.y * r};
    PtD u{n1.x + n2.x, n1.y + n2.y};
    double uu = u.x * u.x + u.y * u.y;
    if (pen.join == PS_JOIN_MITER && uu > 1e-12 && 2.0 / std::sqrt(uu) <= 10.0) {
      PtD m{vv.x + s * u.x * 2 * r / uu, vv.y + s * u.y * 2 * r / uu};
      RasterConvex({vv, p1, m, p2}, win, &rects);
    } else {
      RasterConvex({vv, p1, p2}, win, &rects);
    }
  }
  if (!closed && pen.cap == PS_ENDCAP_ROUND) {
    out.Union(Disc(pts.front(), pen.width, win));
    out.Union(Disc(pts.back(), pen.width, win));
  }
  out.Union(Region::FromRects(rects.data(), rects.size()));
  return out;
}

// Everything a drawing call needs, or nothing when the DC is unusable.
struct Ctx {
  std::shared_ptr<DC> dc;
  std::optional<Painter> painter;
  PenInfo pen;
  Pt off{};
  bool Open(HDC h) {
    dc = FindDC(h);
    if (!dc) return false;
    if (!dc->surface) return false;
    painter.emplace(*dc);
    pen = ResolvePen(*dc);
    off = painter->Offset();
    return true;
  }
  Pt S(i64 x, i64 y) const { return {x + off.x, y + off.y}; }
  BrushSampler Brush() const { return SampleBrush(*dc, dc->st.brush); }
  const RECT& win() const { return painter->window(); }
  int rop() const { return dc->st.rop2; }
};

// Draws a path with the selected pen; `closed` joins the last point to the first.
void StrokePath(Ctx& c, const std::vector<Pt>& pts, bool closed) {
  if (c.pen.null() || pts.empty()) return;
  if (c.pen.wide()) {
    c.painter->Fill(WideStroke(pts, closed, c.pen, c.win()), SolidRaw(*c.dc, c.pen.color), c.rop());
    return;
  }
  CosmeticPen pen(*c.dc, *c.painter, c.pen);
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) pen.Segment(pts[i], pts[i + 1]);
  if (closed && pts.size() > 1) pen.Segment(pts.back(), pts.front());
}

// The outline region of closed figures drawn with the selected pen, for fills that must
// leave it alone; paints it as well.
Region StrokeFigures(Ctx& c, const std::vector<std::vector<Pt>>& figures) {
  if (c.pen.null()) return {};
  if (c.pen.wide()) {
    Region all;
    for (auto& f : figures) all.Union(WideStroke(f, true, c.pen, c.win()));
    c.painter->Fill(all, SolidRaw(*c.dc, c.pen.color), c.rop());
    return all;
  }
  CosmeticPen pen(*c.dc, *c.painter, c.pen);
  std::vector<RECT> px;
  for (auto& f : figures)
    for (std::size_t i = 0; i < f.size(); ++i) pen.Collect(f[i], f[(i + 1) % f.size()], &px);
  Region r = Region::FromRects(px.data(), px.size());
  pen.Flush(r);
  return r;
}

// Paints an outline region with the pen; styled pens run their pattern around the centre.
void PaintOutline(Ctx& c, const Region& outline, double cx, double cy) {
  CosmeticPen pen(*c.dc, *c.painter, c.pen);
  if (!pen.styled()) {
    c.painter->Fill(outline, SolidRaw(*c.dc, c.pen.color), c.rop());
    return;
  }
  struct P {
    double a;
    i64 x, y;
  };
  std::vector<P> px;
  for (const RECT& r : outline.Rects())
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) px.push_back({std::atan2(cy - y, x - cx), x, y});
  std::sort(px.begin(), px.end(), [](const P& l, const P& r) { return l.a < r.a; });
  for (std::size_t i = 0; i < px.size(); ++i) pen.Put(px[i].x, px[i].y, i64(i));
}

R64 Ordered(i64 l, i64 t, i64 r, i64 b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

// A wide pen's band around a figure: the figure grown by the pen about its edge, and that
// shrunk again by the pen's width (empty where the pen covers everything).
struct Band {
  R64 outer, inner;
};
Band WideBand(const PenInfo& pen, const R64& rc) {
  R64 outer = Grown(rc, pen.a(), pen.a(), pen.b(), pen.b());
  return {outer, Grown(outer, -pen.width, -pen.width, -pen.width, -pen.width)};
}

// The inside-frame pen keeps a wide outline within the bounding rectangle.
R64 InsideFrame(R64 rc, const PenInfo& pen) {
  if (pen.kind == PS_INSIDEFRAME && pen.wide()) {
    rc.left += pen.a();
    rc.top += pen.a();
    rc.right -= pen.b();
    rc.bottom -= pen.b();
  }
  return rc;
}

// The first x in [l, r) where `f` differs from f(l), or r, for an `f` that changes at most
// once along the span.
template <class F>
i64 Flip(i64 l, i64 r, F f) {
  const bool v = f(l);
  if (f(r - 1) == v) return r;
  i64 lo = l, hi = r - 1;  // f(lo) == v != f(hi)
  while (hi - lo > 1) {
    const i64 mid = lo + (hi - lo) / 2;
    (f(mid) == v ? lo : hi) = mid;
  }
  return hi;
}

// Appends the pixels of [l, r) on row y where `keep` holds, for a `keep` that changes at
// most once along the span.
template <class F>
void KeepSpan(i64 l, i64 r, i64 y, F keep, std::vector<RECT>* out) {
  if (l >= r) return;
  const i64 f = Flip(l, r, keep);
  const i64 a = keep(l) ? l : f, z = keep(l) ? f : r;
  if (a < z) out->push_back({LONG(a), LONG(y), LONG(z), LONG(y + 1)});
}

// Rounded figures (RoundRect, Ellipse): the pen outlines the shape's own pixels, the brush
// fills what is inside the outline.
BOOL RoundFigure(HDC h, int left, int top, int right, int bottom, i64 ew, i64 eh, bool ellipse) {
  Ctx c;
  if (!c.Open(h)) return FALSE;
  Pt a = c.S(left, top), b = c.S(right, bottom);
  R64 rc = Ordered(a.x, a.y, b.x, b.y);
  if (rc.left == rc.right || rc.top == rc.bottom) return TRUE;
  rc = InsideFrame(rc, c.pen);
  if (rc.empty()) return TRUE;
  if (ellipse) {
    ew = rc.right - rc.left;
    eh = rc.bottom - rc.top;
  }
  ew = ew < 0 ? -ew : ew;
  eh = eh < 0 ? -eh : eh;
  BrushSampler brush = c.Brush();
  if (c.pen.null()) {
    // Without a pen the figure is one pixel smaller, like its region.
    c.painter->Fill(Shape(Grown(rc, 0, 0, -1, -1), ew, eh, c.win()), brush, c.rop());
    return TRUE;
  }
  if (c.pen.wide()) {
    const i64 w = c.pen.width;
    auto [outer, inner] = WideBand(c.pen, rc);
    Region hole = inner.empty() ? Region()
                                : Shape(inner, std::max<i64>(0, ew - w - 1),
                                        std::max<i64>(0, eh - w - 1), c.win());
    Region ring = Shape(outer, ew + w - 1, eh + w - 1, c.win());
    ring.Subtract(hole);
    c.painter->Fill(hole, brush, c.rop());
    c.painter->Fill(ring, SolidRaw(*c.dc, c.pen.color), c.rop());
    return TRUE;
  }
  Region shape = Shape(rc, ew, eh, c.win());
  Region outline = RegionFrame(shape, 1, 1);
  Region inside = shape;
  inside.Subtract(outline);
  c.painter->Fill(inside, brush, c.rop());
  PaintOutline(c, outline, (double(rc.left) + double(rc.right) - 1) / 2,
               (double(rc.top) + double(rc.bottom) - 1) / 2);
  return TRUE;
}

// Elliptic arcs: the part of the ellipse outline from the start radial counter-clockwise
// to the end radial. Pies and chords close it and fill. Shapes are cut to the window first
// and the angular tests run on row spans, so a huge figure costs what shows of it.
enum class ArcKind { Arc, ArcTo, Pie, Chord };

BOOL ArcFigure(HDC h, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye,
               ArcKind kind) {
  Ctx c;
  if (!c.Open(h)) return FALSE;
  Pt a = c.S(left, top), b = c.S(right, bottom);
  R64 rc = Ordered(a.x, a.y, b.x, b.y);
  if (rc.left == rc.right || rc.top == rc.bottom) return TRUE;
  rc = InsideFrame(rc, c.pen);
  if (rc.empty()) return TRUE;
  const double cx = (double(rc.left) + double(rc.right) - 1) / 2,
               cy = (double(rc.top) + double(rc.bottom) - 1) / 2;
  const double rx = (double(rc.right) - double(rc.left) - 1) / 2,
               ry = (double(rc.bottom) - double(rc.top) - 1) / 2;
  Pt ps = c.S(xs, ys), pe = c.S(xe, ye);
  // Angles counter-clockwise on screen (y grows downwards).
  const double two_pi = 2 * 3.14159265358979323846;
  auto angle = [&](double x, double y) { return std::atan2(cy - y, x - cx); };
  const double as = angle(double(ps.x), double(ps.y)), ae = angle(double(pe.x), double(pe.y));
  double sweep = std::fmod(ae - as + 2 * two_pi, two_pi);
  if (sweep < 1e-9) sweep = two_pi;  // the same radial twice: the whole ellipse
  auto in_sweep = [&](double x, double y) {
    double d = std::fmod(angle(x, y) - as + 2 * two_pi, two_pi);
    return d <= sweep + 1e-9;
  };
  auto on_ellipse = [&](double ang) {
    return Pt{i64(std::lround(cx + rx * std::cos(ang))), i64(std::lround(cy - ry * std::sin(ang)))};
  };
  const Pt start = on_ellipse(as), end = on_ellipse(as + sweep);
  // Along a row the angle moves one way only, so the start radial splits each span in two
  // pieces on which the sweep test changes at most once.
  auto select = [&](const Region& r) {
    std::vector<RECT> keep;
    for (const RECT& q : r.Rects())
      for (i64 y = q.top; y < q.bottom; ++y) {
        auto in = [&](i64 x) { return in_sweep(double(x), double(y)); };
        const i64 split =
            Flip(q.left, q.right, [&](i64 x) { return angle(double(x), double(y)) >= as; });
        KeepSpan(q.left, split, y, in, &keep);
        KeepSpan(split, q.right, y, in, &keep);
      }
    return Region::FromRects(keep.data(), keep.size());
  };
  const i64 ew = rc.right - rc.left, eh = rc.bottom - rc.top;
  Region shape = Shape(rc, ew, eh, c.win());
  Region arc;
  if (!c.pen.null()) {
    if (c.pen.wide()) {
      auto [outer, inner] = WideBand(c.pen, rc);
      arc = Shape(outer, outer.right - outer.left, outer.bottom - outer.top, c.win());
      if (!inner.empty())
        arc.Subtract(Shape(inner, inner.right - inner.left, inner.bottom - inner.top, c.win()));
    } else {
      arc = RegionFrame(shape, 1, 1);
    }
    arc = select(arc);
  }
  if (kind == ArcKind::ArcTo) {
    StrokePath(c, {c.S(c.dc->st.cur_pos.x, c.dc->st.cur_pos.y), start}, false);
    c.dc->st.cur_pos = {DC::Saturate(end.x - c.off.x), DC::Saturate(end.y - c.off.y)};
  }
  if (kind == ArcKind::Arc || kind == ArcKind::ArcTo) {
    if (!c.pen.null()) PaintOutline(c, arc, cx, cy);
    return TRUE;
  }
  // The closing lines and the filled part.
  std::vector<Pt> closing =
      kind == ArcKind::Pie
          ? std::vector<Pt>{end, {i64(std::lround(cx)), i64(std::lround(cy))}, start}
          : std::vector<Pt>{end, start};
  Region lines;
  if (!c.pen.null()) {
    if (c.pen.wide()) {
      lines = WideStroke(closing, false, c.pen, c.win());
    } else {
      std::vector<RECT> px;
      for (std::size_t i = 0; i + 1 < closing.size(); ++i)
        LinePixels(closing[i], closing[i + 1], c.painter->box(), [&](i64 x, i64 y, i64) {
          px.push_back({LONG(x), LONG(y), LONG(x + 1), LONG(y + 1)});
        });
      const RECT& box = c.painter->box();
      if (start.x >= box.left && start.x < box.right && start.y >= box.top && start.y < box.bottom)
        px.push_back({LONG(start.x), LONG(start.y), LONG(start.x + 1), LONG(start.y + 1)});
      lines = Region::FromRects(px.data(), px.size());
    }
  }
  Region fill;
  if (kind == ArcKind::Pie) {
    fill = select(shape);
  } else if (sweep >= two_pi - 1e-9) {
    fill = shape;
  } else {
    // The side of the chord the arc lies on; the side test is linear along a row.
    const double mid = as + sweep / 2;
    const double mx = cx + rx * std::cos(mid), my = cy - ry * std::sin(mid);
    const double nx = double(end.x - start.x), ny = double(end.y - start.y);
    auto side = [&](double x, double y) {
      return (x - double(start.x)) * ny - (y - double(start.y)) * nx;
    };
    const double want = side(mx, my);
    std::vector<RECT> keep;
    for (const RECT& q : shape.Rects())
      for (i64 y = q.top; y < q.bottom; ++y) {
        auto in = [&](i64 x) {
          const double s = side(double(x), double(y));
          return want >= 0 ? s >= 0 : s <= 0;
        };
        KeepSpan(q.left, q.right, y, in, &keep);
      }
    fill = Region::FromRects(keep.data(), keep.size());
  }
  Region outline = arc;
  outline.Union(lines);
  fill.Subtract(outline);
  c.painter->Fill(fill, c.Brush(), c.rop());
  if (!c.pen.null()) PaintOutline(c, outline, cx, cy);
  return TRUE;
}

// The fills that take a brush handle: system colour brushes come as COLOR_x + 1.
std::shared_ptr<Brush> BrushArg(HBRUSH h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v > 0 && v <= 64) {
    HBRUSH sys = SysColorBrush(int(v) - 1);
    if (!sys) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    h = sys;
  }
  return FindBrush(h);
}

// A RECT argument in surface coordinates; false (drawing nothing) when empty or inverted.
bool SurfaceRect(const Ctx& c, const RECT& rc, RECT* out) {
  if (rc.left >= rc.right || rc.top >= rc.bottom) return false;
  Pt a = c.S(rc.left, rc.top), b = c.S(rc.right, rc.bottom);
  *out = Cut({a.x, a.y, b.x, b.y}, c.win());
  return true;
}

Region LogicalRegion(const Ctx& c, HRGN h, bool* ok) {
  auto r = FindRegion(h);
  *ok = bool(r);
  if (!r) return {};
  Region out = r->rgn;
  out.Offset(int(c.off.x), int(c.off.y));
  return out;
}

}  // namespace

Region RoundShape(const RECT& rc, int ew, int eh, const RECT* window) {
  RECT win = rc;
  if (window && !::win::IntersectRect(&win, &rc, window)) return {};
  return RoundRectPixels(rc.left, rc.top, rc.right, rc.bottom, std::abs(i64(ew)), std::abs(i64(eh)),
                         win);
}

Region RegionFrame(const Region& r, int width, int height) {
  // A frame wider than the region is all of it; capping the widths there keeps the shifts
  // in range.
  const RECT box = r.Box();
  auto cap = [](int v, i64 size) {
    return int(std::min({v < 0 ? -i64(v) : i64(v), size, i64(std::numeric_limits<int>::max())}));
  };
  const int w = cap(width, i64(box.right) - box.left), h = cap(height, i64(box.bottom) - box.top);
  Region inner = r;
  for (auto [dx, dy] : {std::pair{w, 0}, {-w, 0}, {0, h}, {0, -h}}) {
    if (dx == 0 && dy == 0) continue;
    Region moved = r;
    moved.Offset(dx, dy);
    inner.Intersect(moved);
  }
  Region out = r;
  out.Subtract(inner);
  return out;
}

void FillRegionColor(DC& dc, const Region& logical, COLORREF color) {
  if (!dc.surface) return;
  Painter p(dc);
  Region r = logical;
  Pt o = p.Offset();
  r.Offset(int(o.x), int(o.y));
  p.Fill(r, SolidRaw(dc, color), R2_COPYPEN);
}

void FillRectColor(DC& dc, const RECT& logical, COLORREF color) {
  if (logical.left >= logical.right || logical.top >= logical.bottom) return;
  FillRegionColor(dc, Region(logical), color);
}

}  // namespace gdi

using namespace gdi;

BOOL LineTo(HDC h, int x, int y) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    const POINT from = c.dc->st.cur_pos;
    StrokePath(c, {c.S(from.x, from.y), c.S(x, y)}, false);
    c.dc->st.cur_pos = {x, y};
    return TRUE;
  });
}

BOOL Polyline(HDC h, const POINT* pts, int count) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    if (!pts || count < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    std::vector<Pt> v;
    for (int i = 0; i < count; ++i) v.push_back(c.S(pts[i].x, pts[i].y));
    StrokePath(c, v, false);
    return TRUE;
  });
}

BOOL PolylineTo(HDC h, const POINT* pts, DWORD count) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    if (!pts || count == 0 || count > (1u << 24)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    std::vector<Pt> v{c.S(c.dc->st.cur_pos.x, c.dc->st.cur_pos.y)};
    for (DWORD i = 0; i < count; ++i) v.push_back(c.S(pts[i].x, pts[i].y));
    StrokePath(c, v, false);
    c.dc->st.cur_pos = pts[count - 1];
    return TRUE;
  });
}

BOOL PolyPolyline(HDC h, const POINT* pts, const DWORD* counts, DWORD polylines) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    if (!pts || !counts || polylines == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    for (DWORD p = 0; p < polylines; ++p)
      if (counts[p] < 2 || counts[p] > (1u << 24)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
    std::size_t base = 0;
    for (DWORD p = 0; p < polylines; ++p) {
      std::vector<Pt> v;
      for (DWORD i = 0; i < counts[p]; ++i) v.push_back(c.S(pts[base + i].x, pts[base + i].y));
      StrokePath(c, v, false);
      base += counts[p];
    }
    return TRUE;
  });
}

BOOL Rectangle(HDC h, int left, int top, int right, int bottom) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    Pt a = c.S(left, top), b = c.S(right, bottom);
    R64 rc = Ordered(a.x, a.y, b.x, b.y);
    if (rc.left == rc.right || rc.top == rc.bottom) return TRUE;
    rc = InsideFrame(rc, c.pen);
    if (rc.empty()) return TRUE;
    BrushSampler brush = c.Brush();
    if (c.pen.null()) {
      c.painter->Fill(Region(Cut(Grown(rc, 0, 0, -1, -1), c.win())), brush, c.rop());
      return TRUE;
    }
    // The pen runs along the outermost pixels, anticlockwise from the top-right corner.
    const i64 l = rc.left, t = rc.top, r = rc.right - 1, bm = rc.bottom - 1;
    Region outline = StrokeFigures(c, {{{r, t}, {l, t}, {l, bm}, {r, bm}}});
    const i64 w = c.pen.width;
    Region inside(
        Cut(Grown(rc, c.pen.a() - w, c.pen.a() - w, c.pen.b() - w, c.pen.b() - w), c.win()));
    inside.Subtract(outline);
    c.painter->Fill(inside, brush, c.rop());
    return TRUE;
  });
}

BOOL RoundRect(HDC h, int left, int top, int right, int bottom, int width, int height) {
  return Guarded([&] { return RoundFigure(h, left, top, right, bottom, width, height, false); });
}

BOOL Ellipse(HDC h, int left, int top, int right, int bottom) {
  return Guarded([&] { return RoundFigure(h, left, top, right, bottom, 0, 0, true); });
}

BOOL PolyPolygon(HDC h, const POINT* pts, const INT* counts, int polygons) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    if (!pts || !counts || polygons <= 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    for (int p = 0; p < polygons; ++p)
      if (counts[p] < 2 || counts[p] > (1 << 24)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
    std::vector<std::vector<Pt>> figures;
    std::vector<Point64> moved;
    std::size_t base = 0;
    for (int p = 0; p < polygons; ++p) {
      std::vector<Pt> f;
      for (int i = 0; i < counts[p]; ++i) {
        Pt s = c.S(pts[base + i].x, pts[base + i].y);
        f.push_back(s);
        moved.push_back({s.x, s.y});
      }
      figures.push_back(std::move(f));
      base += counts[p];
    }
    Region fill =
        *PolyPolygonRegion(moved.data(), counts, polygons, c.dc->st.poly_fill_mode, c.win(), 0);
    // The outline goes first so the fill can leave its pixels alone.
    Region outline = StrokeFigures(c, figures);
    fill.Subtract(outline);
    c.painter->Fill(fill, c.Brush(), c.rop());
    return TRUE;
  });
}

BOOL Polygon(HDC h, const POINT* pts, int count) {
  return Guarded([&]() -> BOOL { return PolyPolygon(h, pts, &count, 1); });
}

BOOL Arc(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return Guarded([&] { return ArcFigure(h, l, t, r, b, xs, ys, xe, ye, ArcKind::Arc); });
}
BOOL ArcTo(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return Guarded([&] { return ArcFigure(h, l, t, r, b, xs, ys, xe, ye, ArcKind::ArcTo); });
}
BOOL Pie(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return Guarded([&] { return ArcFigure(h, l, t, r, b, xs, ys, xe, ye, ArcKind::Pie); });
}
BOOL Chord(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return Guarded([&] { return ArcFigure(h, l, t, r, b, xs, ys, xe, ye, ArcKind::Chord); });
}

namespace {

// The rectangle fills' common opening: the DC, the brush when the fill takes one, and the
// rectangle on the surface, with nothing to paint when it is empty.
template <class F>
BOOL PaintRect(HDC h, const RECT* rc, const HBRUSH* hbr, F paint) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    std::shared_ptr<Brush> brush;
    if (hbr && !(brush = BrushArg(*hbr))) return FALSE;
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    RECT s;
    if (SurfaceRect(c, *rc, &s)) paint(c, s, brush);
    return TRUE;
  });
}

}  // namespace

// The rectangle fills copy the brush pattern and ignore the DC's ROP2.
int FillRect(HDC h, const RECT* rc, HBRUSH hbr) {
  return PaintRect(h, rc, &hbr, [](Ctx& c, const RECT& s, const std::shared_ptr<Brush>& brush) {
    c.painter->Fill(Region(s), SampleBrush(*c.dc, brush), R2_COPYPEN);
  });
}

int FrameRect(HDC h, const RECT* rc, HBRUSH hbr) {
  return PaintRect(h, rc, &hbr, [](Ctx& c, const RECT& s, const std::shared_ptr<Brush>& brush) {
    Region ring(s);
    ring.Subtract(Region(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}));
    c.painter->Fill(ring, SampleBrush(*c.dc, brush), R2_COPYPEN);
  });
}

BOOL InvertRect(HDC h, const RECT* rc) {
  return PaintRect(h, rc, nullptr, [](Ctx& c, const RECT& s, const std::shared_ptr<Brush>&) {
    c.painter->Fill(Region(s), 0u, R2_NOT);
  });
}

namespace {

// The region paints' common opening: the DC, and the region in its logical coordinates.
template <class F>
BOOL PaintRegion(HDC h, HRGN rgn, F paint) {
  return Guarded([&]() -> BOOL {
    Ctx c;
    if (!c.Open(h)) return FALSE;
    bool ok;
    Region r = LogicalRegion(c, rgn, &ok);
    if (!ok) return FALSE;
    return paint(c, r);
  });
}

}  // namespace

// The region paints go through the DC's ROP2, like the shapes' interiors.
BOOL FillRgn(HDC h, HRGN rgn, HBRUSH hbr) {
  return PaintRegion(h, rgn, [&](Ctx& c, const Region& r) -> BOOL {
    auto brush = BrushArg(hbr);
    if (!brush) return FALSE;
    c.painter->Fill(r, SampleBrush(*c.dc, brush), c.rop());
    return TRUE;
  });
}

BOOL FrameRgn(HDC h, HRGN rgn, HBRUSH hbr, int width, int height) {
  return PaintRegion(h, rgn, [&](Ctx& c, const Region& r) -> BOOL {
    auto brush = BrushArg(hbr);
    if (!brush) return FALSE;
    c.painter->Fill(RegionFrame(r, width, height), SampleBrush(*c.dc, brush), c.rop());
    return TRUE;
  });
}

BOOL PaintRgn(HDC h, HRGN rgn) {
  return PaintRegion(h, rgn, [](Ctx& c, const Region& r) -> BOOL {
    c.painter->Fill(r, c.Brush(), c.rop());
    return TRUE;
  });
}

BOOL InvertRgn(HDC h, HRGN rgn) {
  return PaintRegion(h, rgn, [](Ctx& c, const Region& r) -> BOOL {
    c.painter->Fill(r, 0u, R2_NOT);
    return TRUE;
  });
}

}  // namespace win
