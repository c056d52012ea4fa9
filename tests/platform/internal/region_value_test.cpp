// The region value type the graphics engine and the window manager compute with.
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "platform/gdi/internal/region.h"

namespace win {
namespace {

using Box = std::array<LONG, 4>;  // left, top, right, bottom
Box B(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST(RegionValue, CopiesAreIndependent) {
  gdi::Region a(RECT{0, 0, 4, 4});
  gdi::Region b = a;
  b.Offset(10, 0);
  EXPECT_EQ(B(a.Box()), (Box{0, 0, 4, 4}));
  EXPECT_EQ(B(b.Box()), (Box{10, 0, 14, 4}));
  gdi::Region c = std::move(b);
  EXPECT_EQ(B(c.Box()), (Box{10, 0, 14, 4}));
  a = c;
  c.Clear();
  EXPECT_TRUE(c.Empty());
  EXPECT_EQ(a.Complexity(), SIMPLEREGION);
  a.IntersectRect(RECT{12, 1, 20, 2});
  EXPECT_EQ(a.Rects().size(), 1u);
  EXPECT_EQ(B(a.Box()), (Box{12, 1, 14, 2}));
  EXPECT_TRUE(gdi::Region(RECT{3, 3, 1, 1}).Empty());
  EXPECT_EQ(gdi::Region(), gdi::Region(RECT{5, 5, 5, 6}));
}

}  // namespace
}  // namespace win
