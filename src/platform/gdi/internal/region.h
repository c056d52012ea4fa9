#pragma once
// Regions: sets of pixels made of y-x banded rectangles, pixman underneath.
#include "platform/gdi/internal/access.h"
#include "platform/gdi/region.h"

#include <pixman.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/internal/handles.h"

namespace win::gdi {

// A value type; copies are independent.
class Region {
 public:
  Region();
  explicit Region(const RECT& rc);  // empty when rc is empty or inverted
  Region(const Region& o);
  Region(Region&& o) noexcept;
  Region& operator=(const Region& o);
  Region& operator=(Region&& o) noexcept;
  ~Region();

  static Region FromRects(const RECT* rects, std::size_t n);

  bool Empty() const;
  RECT Box() const;  // {0,0,0,0} when empty
  bool Contains(int x, int y) const;
  bool Overlaps(const RECT& rc) const;
  bool operator==(const Region& o) const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;
  // Banded rectangles: sorted by top, then left.
  std::vector<RECT> Rects() const;

  void Intersect(const Region& o);
  void Union(const Region& o);
  void Subtract(const Region& o);
  void Xor(const Region& o);
  void IntersectRect(const RECT& rc);
  void Offset(int dx, int dy);
  void Clear();

  pixman_region32_t* raw() { return &r_; }
  const pixman_region32_t* raw() const { return &r_; }

 private:
  pixman_region32_t r_;
};

struct RegionObject : HandleObject {
  Region rgn;
};

// A rounded region more rows high than this would take hundreds of megabytes; creating
// one fails with ERROR_NOT_ENOUGH_MEMORY, as does a polygon region needing more than
// kMaxScanWork edge crossings or more than kMaxRegionRows bands of rectangles.
constexpr std::int64_t kMaxRegionRows = std::int64_t(1) << 22;
constexpr std::int64_t kMaxScanWork = std::int64_t(1) << 24;

struct Point64 {
  std::int64_t x, y;
};

// The pixels of the rounded rectangle [l, r) x [t, b) with an ew x eh corner ellipse
// (each at most the rectangle's size; an ellipse when they equal it), as
// CreateRoundRectRgn makes them. Only the part inside `window` is built, so far-out
// coordinates and huge figures cost what the window shows.
Region RoundRectPixels(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                       std::int64_t ew, std::int64_t eh, const RECT& window);

// The pixels of polygons under ALTERNATE or WINDING (counts[i] >= 2 points each, closed
// implicitly), limited to `window`. Nothing when more than `budget` edge crossings or
// kMaxRegionRows rectangles would be needed (budget 0: no limits).
std::optional<Region> PolyPolygonRegion(const Point64* pts, const INT* counts, int polygons,
                                        int fill_mode, const RECT& window, std::int64_t budget);

// The region of an HRGN, or null (ERROR_INVALID_HANDLE).
std::shared_ptr<RegionObject> FindRegion(HRGN h);

}  // namespace win::gdi
