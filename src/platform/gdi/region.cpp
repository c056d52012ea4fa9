#include "platform/gdi/internal/region.h"
#include "platform/gdi/internal/guard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace win {
namespace gdi {
namespace {

pixman_box32_t ToBox(const RECT& rc) { return {rc.left, rc.top, rc.right, rc.bottom}; }
RECT ToRect(const pixman_box32_t& b) { return {b.x1, b.y1, b.x2, b.y2}; }

}  // namespace

Region::Region() { pixman_region32_init(&r_); }

Region::Region(const RECT& rc) {
  if (rc.left < rc.right && rc.top < rc.bottom) {
    pixman_box32_t b = ToBox(rc);
    pixman_region32_init_rects(&r_, &b, 1);
  } else {
    pixman_region32_init(&r_);
  }
}

Region::Region(const Region& o) {
  pixman_region32_init(&r_);
  pixman_region32_copy(&r_, &o.r_);
}

Region::Region(Region&& o) noexcept {
  pixman_region32_init(&r_);
  std::swap(r_, o.r_);
}

Region& Region::operator=(const Region& o) {
  if (this != &o) pixman_region32_copy(&r_, &o.r_);
  return *this;
}

Region& Region::operator=(Region&& o) noexcept {
  // pixman keeps an empty region's data pointing at a shared static, so swapping the
  // structures is safe in both directions.
  if (this != &o) std::swap(r_, o.r_);
  return *this;
}

Region::~Region() { pixman_region32_fini(&r_); }

Region Region::FromRects(const RECT* rects, std::size_t n) {
  Region out;
  if (!rects || n == 0) return out;
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(n);
  for (std::size_t i = 0; i < n; ++i)
    if (rects[i].left < rects[i].right && rects[i].top < rects[i].bottom)
      boxes.push_back(ToBox(rects[i]));
  if (boxes.empty()) return out;
  pixman_region32_fini(&out.r_);
  // init_rects sorts, merges overlaps and coalesces bands.
  if (!pixman_region32_init_rects(&out.r_, boxes.data(), static_cast<int>(boxes.size())))
    pixman_region32_init(&out.r_);
  return out;
}

bool Region::Empty() const { return !pixman_region32_not_empty(&r_); }

RECT Region::Box() const {
  if (Empty()) return {};
  return ToRect(*pixman_region32_extents(&r_));
}

bool Region::Contains(int x, int y) const {
  return pixman_region32_contains_point(&r_, x, y, nullptr);
}

bool Region::Overlaps(const RECT& rc) const {
  RECT n{std::min(rc.left, rc.right), std::min(rc.top, rc.bottom), std::max(rc.left, rc.right),
         std::max(rc.top, rc.bottom)};
  if (n.left == n.right || n.top == n.bottom) return false;
  pixman_box32_t b = ToBox(n);
  return pixman_region32_contains_rectangle(&r_, &b) != PIXMAN_REGION_OUT;
}

bool Region::operator==(const Region& o) const {
  if (Empty() && o.Empty()) return true;
  return pixman_region32_equal(&r_, &o.r_);
}

int Region::Complexity() const {
  int n = pixman_region32_n_rects(&r_);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::vector<RECT> Region::Rects() const {
  // pixman stores y-x banded rectangles already, in the order Windows reports them.
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&r_, &n);
  std::vector<RECT> out;
  out.reserve(n);
  for (int i = 0; i < n; ++i) out.push_back(ToRect(boxes[i]));
  return out;
}

void Region::Intersect(const Region& o) { pixman_region32_intersect(&r_, &r_, &o.r_); }
void Region::Union(const Region& o) { pixman_region32_union(&r_, &r_, &o.r_); }
void Region::Subtract(const Region& o) { pixman_region32_subtract(&r_, &r_, &o.r_); }

void Region::Xor(const Region& o) {
  Region a_minus_b(*this), b_minus_a(o);
  a_minus_b.Subtract(o);
  b_minus_a.Subtract(*this);
  pixman_region32_union(&r_, &a_minus_b.r_, &b_minus_a.r_);
}

void Region::IntersectRect(const RECT& rc) {
  if (rc.left >= rc.right || rc.top >= rc.bottom) {
    Clear();
    return;
  }
  // Through a region rather than intersect_rect, whose width form overflows on wide rectangles.
  Intersect(Region(rc));
}

void Region::Offset(int dx, int dy) { pixman_region32_translate(&r_, dx, dy); }

void Region::Clear() { pixman_region32_clear(&r_); }

std::shared_ptr<RegionObject> FindRegion(HRGN h) {
  return HandleTable::Get().Find<RegionObject>(reinterpret_cast<HANDLE>(h), ObjectType::Region);
}

namespace {

using i64 = std::int64_t;

// Windows' round-rect rows: for a w x h pixel ellipse, the inset of each row from the
// ellipse's left edge (right edge mirrors it). The outline is Zingl's integer ellipse in a
// rectangle; the region takes, per row, the span between the outermost outline pixels.
std::vector<int> EllipseRowInsets(int w, int h) {
  std::vector<int> inset(h, std::numeric_limits<int>::max());
  const i64 a = w - 1, b = h - 1, b1 = b & 1;
  i64 dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
  i64 err = dx + dy + b1 * a * a;
  const i64 step_y = 8 * a * a, step_x = 8 * b * b;
  i64 x0 = 0, x1 = a, y0 = (b + 1) / 2, y1 = y0 - b1;
  auto plot = [&](i64 x, i64 y) {
    if (y < 0 || y >= h) return;
    int v = int(std::min(x, a - x));
    if (v < inset[y]) inset[y] = v;
  };
  do {
    plot(x1, y0);
    plot(x0, y0);
    plot(x0, y1);
    plot(x1, y1);
    i64 e2 = 2 * err;
    if (e2 <= dy) {
      ++y0;
      --y1;
      err += dy += step_y;
    }
    if (e2 >= dx || 2 * err > dy) {
      ++x0;
      --x1;
      err += dx += step_x;
    }
  } while (x0 <= x1);
  // Very flat ellipses stop before reaching their tips.
  while (y0 - y1 <= b) {
    plot(x0 - 1, y0);
    plot(x1 + 1, y0++);
    plot(x0 - 1, y1);
    plot(x1 + 1, y1--);
  }
  for (int& v : inset)
    if (v == std::numeric_limits<int>::max()) v = 0;
  return inset;
}

// The walk costs a step per outline pixel and its error terms need 64 bits up to here.
constexpr i64 kWalkedEllipse = 1 << 16;

// Beyond that, each row on its own: the outline pixel the walk would choose is the one
// whose ellipse equation is nearest zero, so a row reaches out to the first column where
// it beats the row nearer the middle, or where the curve crosses the row itself. This
// agrees with the walk to within a pixel, which at that size nobody can see.
i64 FarRowInset(i64 w, i64 h, i64 i) {
  if (i > h - 1 - i) i = h - 1 - i;
  const long double a = w - 1, b = h - 1, c = a / 2, cy = b / 2;
  if (i + 1 > cy) return 0;
  auto v2 = [&](long double y) {
    long double v = (y - cy) / cy;
    return v * v;
  };
  i64 inset = i64(c);
  const long double lim = 1 - (v2(i) + v2(i + 1)) / 2;
  if (lim > 0) {
    i64 x = i64(std::floor(c - c * std::sqrt(lim))) + 1;
    if ((x - 1 - c) * (x - 1 - c) < c * c * lim) --x;
    inset = std::min(inset, x);
  }
  const long double own = 1 - v2(i);
  if (own > 0) inset = std::min(inset, i64(std::floor(c - c * std::sqrt(own) + 0.5L)));
  return std::max<i64>(0, inset);
}

class EllipseRows {
 public:
  EllipseRows(i64 w, i64 h) : w_(w), h_(h) {
    if (w <= kWalkedEllipse && h <= kWalkedEllipse) walked_ = EllipseRowInsets(int(w), int(h));
  }
  i64 operator()(i64 i) const {
    return walked_.empty() ? FarRowInset(w_, h_, i) : walked_[std::size_t(i)];
  }

 private:
  i64 w_, h_;
  std::vector<int> walked_;
};

}  // namespace

Region RoundRectPixels(i64 l, i64 t, i64 r, i64 b, i64 ew, i64 eh, const RECT& window) {
  if (r <= l || b <= t) return {};
  ew = std::clamp<i64>(ew, 0, r - l);
  eh = std::clamp<i64>(eh, 0, b - t);
  const i64 xl = std::max<i64>(l, window.left), xr = std::min<i64>(r, window.right);
  const i64 y0 = std::max<i64>(t, window.top), y1 = std::min<i64>(b, window.bottom);
  if (xl >= xr || y0 >= y1) return {};
  if (ew < 2 || eh < 2) return Region(RECT{LONG(xl), LONG(y0), LONG(xr), LONG(y1)});
  // One row per rounded scan line at the top and bottom, one band for the straight middle.
  const EllipseRows inset(ew, eh);
  const i64 half = eh / 2, mid_top = t + half, mid_bottom = b - eh + half + 1;
  std::vector<RECT> rows;
  auto row = [&](i64 y, i64 in) {
    const i64 a = std::max(l + in, xl), z = std::min(r - in, xr);
    if (a < z) rows.push_back({LONG(a), LONG(y), LONG(z), LONG(y + 1)});
  };
  for (i64 y = y0; y < std::min(y1, mid_top); ++y) row(y, inset(y - t));
  if (std::max(y0, mid_top) < std::min(y1, mid_bottom))
    rows.push_back(
        {LONG(xl), LONG(std::max(y0, mid_top)), LONG(xr), LONG(std::min(y1, mid_bottom))});
  for (i64 y = std::max(y0, mid_bottom); y < y1; ++y) row(y, inset(y - (b - eh)));
  return Region::FromRects(rows.data(), rows.size());
}

// Polygon scan conversion. A pixel belongs to the polygon when its top-left corner (x, y)
// does: edges are sampled at integer y with ymin <= y < ymax, and a crossing at x covers
// the pixels from ceil(x), so a left edge on a pixel column includes it and a right edge
// excludes it.
std::optional<Region> PolyPolygonRegion(const Point64* pts, const INT* counts, int polygons,
                                        int fill_mode, const RECT& window, i64 budget) {
  struct Edge {
    i64 x0, y0, x1, y1;  // y0 < y1
    int dir;
  };
  std::vector<Edge> edges;
  i64 ymin = std::numeric_limits<i64>::max(), ymax = std::numeric_limits<i64>::min();
  std::size_t base = 0;
  for (int p = 0; p < polygons; ++p) {
    int n = counts[p];
    for (int i = 0; i < n; ++i) {
      const Point64& a = pts[base + i];
      const Point64& b = pts[base + (i + 1) % n];
      if (a.y == b.y) continue;
      Edge e = a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1};
      ymin = std::min(ymin, e.y0);
      ymax = std::max(ymax, e.y1);
      edges.push_back(e);
    }
    base += n;
  }
  if (edges.empty()) return Region();
  // Only the rows of the window are scanned, and spans are cut to its columns.
  const i64 first = std::max<i64>(ymin, window.top), last = std::min<i64>(ymax, window.bottom);
  const i64 xl = window.left, xr = window.right;
  if (first >= last || xl >= xr) return Region();
  std::vector<pixman_box32_t> boxes;
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.y0 < r.y0; });

  struct Crossing {
    i64 x;
    int dir;
  };
  std::vector<const Edge*> active;
  std::vector<Crossing> xs;
  std::vector<std::pair<i64, i64>> spans, prev_spans;
  std::size_t next = 0;
  auto ceil_div = [](__int128 num, i64 den) {  // den > 0
    return i64(num >= 0 ? (num + den - 1) / den : -((-num) / den));
  };
  i64 band_top = first, work = 0;
  auto flush = [&](i64 bottom) {
    for (auto& s : prev_spans)
      boxes.push_back({int(s.first), int(band_top), int(s.second), int(bottom)});
  };
  for (i64 y = first, next_y; y < last; y = next_y) {
    while (next < edges.size() && edges[next].y0 <= y) active.push_back(&edges[next++]);
    active.erase(
        std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->y1 <= y; }),
        active.end());
    work += i64(active.size()) + 1;
    if (budget > 0 && work > budget) return std::nullopt;
    xs.clear();
    for (const Edge* e : active)
      xs.push_back(
          {e->x0 + ceil_div(__int128(y - e->y0) * (e->x1 - e->x0), e->y1 - e->y0), e->dir});
    std::sort(xs.begin(), xs.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    spans.clear();
    if (fill_mode == WINDING) {
      int winding = 0;
      for (std::size_t i = 0; i < xs.size(); ++i) {
        int before = winding;
        winding += xs[i].dir;
        if (before == 0 && winding != 0)
          spans.push_back({xs[i].x, xs[i].x});
        else if (before != 0 && winding == 0)
          spans.back().second = xs[i].x;
      }
    } else {
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2) spans.push_back({xs[i].x, xs[i + 1].x});
    }
    for (auto& s : spans) s = {std::max(s.first, xl), std::min(s.second, xr)};
    spans.erase(
        std::remove_if(spans.begin(), spans.end(), [](auto& s) { return s.first >= s.second; }),
        spans.end());
    // Between events, vertical edges give the same spans on every row: skip to the next event.
    next_y = y + 1;
    if (std::all_of(active.begin(), active.end(), [](const Edge* e) { return e->x0 == e->x1; })) {
      next_y = next < edges.size() ? edges[next].y0 : last;
      for (const Edge* e : active) next_y = std::min(next_y, e->y1);
    }
    next_y = std::min(next_y, last);
    // Rows with identical spans become one band.
    if (spans != prev_spans) {
      flush(y);
      if (budget > 0 && i64(boxes.size()) > kMaxRegionRows) return std::nullopt;
      prev_spans = spans;
      band_top = y;
    }
  }
  flush(last);
  Region out;
  if (!boxes.empty()) {
    pixman_region32_fini(out.raw());
    if (!pixman_region32_init_rects(out.raw(), boxes.data(), int(boxes.size())))
      pixman_region32_init(out.raw());
  }
  return out;
}

}  // namespace gdi

namespace {

using i64 = std::int64_t;

// Everything a region can cover.
constexpr RECT kAll{std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::min(),
                    std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::max()};

HRGN AddRegion(gdi::Region rgn) {
  auto obj = std::make_shared<gdi::RegionObject>();
  obj->type = ObjectType::Region;
  obj->rgn = std::move(rgn);
  return reinterpret_cast<HRGN>(HandleTable::Get().Add(std::move(obj)));
}

RECT Normalised(int left, int top, int right, int bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return Guarded(
      [&]() -> HRGN { return AddRegion(gdi::Region(Normalised(left, top, right, bottom))); });
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
  return Guarded([&]() -> HRGN {
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    return CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom);
  });
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return Guarded([&]() -> HRGN {
    // Windows leaves out the last column and row of the rectangle for rounded regions.
    const i64 l = std::min(left, right), t = std::min(top, bottom);
    const i64 r = i64(std::max(left, right)) - 1, b = i64(std::max(top, bottom)) - 1;
    const i64 ew = std::min(r - l, std::abs(i64(width))),
              eh = std::min(b - t, std::abs(i64(height)));
    if (ew >= 2 && eh > gdi::kMaxRegionRows) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    return AddRegion(gdi::RoundRectPixels(l, t, r, b, ew, eh, kAll));
  });
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return Guarded([&]() -> HRGN {
    RECT rc = Normalised(left, top, right, bottom);
    // Sides past INT_MAX only need to be at least the rectangle's.
    auto side = [](LONG a, LONG z) {
      return int(std::min<i64>(i64(z) - a, std::numeric_limits<int>::max()));
    };
    return CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, side(rc.left, rc.right),
                              side(rc.top, rc.bottom));
  });
}

HRGN CreateEllipticRgnIndirect(const RECT* rc) {
  return Guarded([&]() -> HRGN {
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    return CreateEllipticRgn(rc->left, rc->top, rc->right, rc->bottom);
  });
}

HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polygons, int fill_mode) {
  return Guarded([&]() -> HRGN {
    if (!pts || !counts || polygons <= 0 || (fill_mode != ALTERNATE && fill_mode != WINDING)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    for (int p = 0; p < polygons; ++p) {
      if (counts[p] < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
    }
    std::vector<gdi::Point64> wide;
    std::size_t base = 0;
    for (int p = 0; p < polygons; base += std::size_t(counts[p++]))
      for (int i = 0; i < counts[p]; ++i) wide.push_back({pts[base + i].x, pts[base + i].y});
    auto rgn =
        gdi::PolyPolygonRegion(wide.data(), counts, polygons, fill_mode, kAll, gdi::kMaxScanWork);
    if (!rgn) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    return AddRegion(std::move(*rgn));
  });
}

HRGN CreatePolygonRgn(const POINT* pts, int count, int fill_mode) {
  return Guarded([&]() -> HRGN { return CreatePolyPolygonRgn(pts, &count, 1, fill_mode); });
}

namespace {
HRGN ExtCreateRegionUnguarded(const XFORM* xform, DWORD size, const RGNDATA* data) {
  if (!data || size < sizeof(RGNDATAHEADER)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  RGNDATAHEADER rdh;
  std::memcpy(static_cast<void*>(&rdh), static_cast<const void*>(data), sizeof rdh);
  if (rdh.dwSize < sizeof(RGNDATAHEADER) || rdh.iType != RDH_RECTANGLES ||
      std::uint64_t(rdh.dwSize) + std::uint64_t(rdh.nCount) * sizeof(RECT) > size) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<RECT> rects(rdh.nCount);
  if (rdh.nCount)
    std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + sizeof(RGNDATAHEADER),
                rdh.nCount * sizeof(RECT));

  if (xform && !(xform->eM11 == 1 && xform->eM12 == 0 && xform->eM21 == 0 && xform->eM22 == 1 &&
                 xform->eDx == 0 && xform->eDy == 0)) {
    // Scaling and translation keep rectangles rectangles; anything that rotates or shears
    // would need polygons, which nothing here builds regions from.
    if (xform->eM12 != 0 || xform->eM21 != 0 || !std::isfinite(xform->eM11) ||
        !std::isfinite(xform->eM22) || !std::isfinite(xform->eDx) || !std::isfinite(xform->eDy)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    auto map = [](double v, double scale, double offset, LONG* out) {
      double r = std::floor(v * scale + offset + 0.5);
      if (!(r >= std::numeric_limits<LONG>::min() && r <= std::numeric_limits<LONG>::max()))
        return false;
      *out = LONG(r);
      return true;
    };
    for (RECT& r : rects) {
      if (r.left >= r.right || r.top >= r.bottom) continue;
      LONG l, t, rr, b;
      if (!map(r.left, xform->eM11, xform->eDx, &l) ||
          !map(r.right, xform->eM11, xform->eDx, &rr) || !map(r.top, xform->eM22, xform->eDy, &t) ||
          !map(r.bottom, xform->eM22, xform->eDy, &b)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      r = Normalised(l, t, rr, b);
    }
  }
  return AddRegion(gdi::Region::FromRects(rects.data(), rects.size()));
}
}  // namespace

HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data) {
  return Guarded([&] { return ExtCreateRegionUnguarded(xform, size, data); });
}

namespace {
DWORD GetRegionDataUnguarded(HRGN rgn, DWORD size, RGNDATA* data) {
  auto obj = gdi::FindRegion(rgn);
  if (!obj) return 0;
  std::vector<RECT> rects = obj->rgn.Rects();
  const std::uint64_t needed = sizeof(RGNDATAHEADER) + std::uint64_t(rects.size()) * sizeof(RECT);
  if (needed > std::numeric_limits<DWORD>::max()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (!data) return DWORD(needed);
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  RGNDATAHEADER rdh;
  rdh.dwSize = sizeof(RGNDATAHEADER);
  rdh.iType = RDH_RECTANGLES;
  rdh.nCount = DWORD(rects.size());
  rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  rdh.rcBound = obj->rgn.Box();
  std::memcpy(static_cast<void*>(data), static_cast<const void*>(&rdh), sizeof rdh);
  if (!rects.empty())
    std::memcpy(reinterpret_cast<char*>(data) + sizeof(RGNDATAHEADER), rects.data(),
                rects.size() * sizeof(RECT));
  return DWORD(needed);
}
}  // namespace

DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* data) {
  return Guarded([&] { return GetRegionDataUnguarded(rgn, size, data); });
}

namespace {
int CombineRgnUnguarded(HRGN dst, HRGN src1, HRGN src2, int mode) {
  if (mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  auto d = gdi::FindRegion(dst);
  if (!d) return ERROR;
  auto a = gdi::FindRegion(src1);
  if (!a) return ERROR;
  if (mode == RGN_COPY) {
    d->rgn = a->rgn;
    return d->rgn.Complexity();
  }
  auto b = gdi::FindRegion(src2);
  if (!b) return ERROR;
  // Work on a copy: dst may be either source.
  gdi::Region result(a->rgn);
  switch (mode) {
    case RGN_AND: result.Intersect(b->rgn); break;
    case RGN_OR: result.Union(b->rgn); break;
    case RGN_XOR: result.Xor(b->rgn); break;
    case RGN_DIFF: result.Subtract(b->rgn); break;
  }
  d->rgn = std::move(result);
  return d->rgn.Complexity();
}
}  // namespace

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  return Guarded([&] { return CombineRgnUnguarded(dst, src1, src2, mode); });
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  return Guarded([&]() -> BOOL {
    auto obj = gdi::FindRegion(rgn);
    if (!obj) return FALSE;
    obj->rgn = gdi::Region(Normalised(left, top, right, bottom));
    return TRUE;
  });
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  return Guarded([&]() -> int {
    auto obj = gdi::FindRegion(rgn);
    if (!obj) return ERROR;
    obj->rgn.Offset(dx, dy);
    return obj->rgn.Complexity();
  });
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  auto obj = gdi::FindRegion(rgn);
  if (!obj) return FALSE;
  return obj->rgn.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
  auto obj = gdi::FindRegion(rgn);
  if (!obj) return FALSE;
  if (!rc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return obj->rgn.Overlaps(*rc) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  return Guarded([&]() -> BOOL {
    auto ra = gdi::FindRegion(a);
    if (!ra) return FALSE;
    auto rb = gdi::FindRegion(b);
    if (!rb) return FALSE;
    return ra->rgn == rb->rgn ? TRUE : FALSE;
  });
}

int GetRgnBox(HRGN rgn, RECT* rc) {
  return Guarded([&]() -> int {
    auto obj = gdi::FindRegion(rgn);
    if (!obj) return ERROR;
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    *rc = obj->rgn.Box();
    return obj->rgn.Complexity();
  });
}

}  // namespace win
