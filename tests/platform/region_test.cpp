#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "platform/win.h"

namespace win {
namespace {

using Box = std::array<LONG, 4>;  // left, top, right, bottom
using Boxes = std::vector<Box>;

Box B(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The region's rectangles as GetRegionData gives them: banded, top to bottom, left to right.
Boxes RectsOf(HRGN h) {
  DWORD size = GetRegionData(h, 0, nullptr);
  EXPECT_GT(size, 0u) << "not a region handle";
  Boxes out;
  if (!size) return out;
  std::vector<char> buf(size);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  if (GetRegionData(h, size, data) != size) return out;
  auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) out.push_back(B(rects[i]));
  return out;
}

// The region row by row as text, '#' for covered pixels, over [0,w) x [0,h).
std::vector<std::string> Picture(HRGN h, int w, int hgt) {
  std::vector<std::string> rows;
  for (int y = 0; y < hgt; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += PtInRegion(h, x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

// Regions made by the test, released at the end of each test.
class RegionTest : public ::testing::Test {
 protected:
  ~RegionTest() override {
    for (HRGN h : made_) DeleteObject(h);
  }
  HRGN Keep(HRGN h) {
    EXPECT_NE(h, nullptr);
    made_.push_back(h);
    return h;
  }
  HRGN Rect(int l, int t, int r, int b) { return Keep(CreateRectRgn(l, t, r, b)); }

 private:
  std::vector<HRGN> made_;
};

TEST_F(RegionTest, RectRegionIsNormalisedAndExcludesRightAndBottom) {
  HRGN r = Rect(4, 4, 0, 0);
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(B(box), (Box{0, 0, 4, 4}));
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 3, 3));
  EXPECT_FALSE(PtInRegion(r, 4, 3));
  EXPECT_FALSE(PtInRegion(r, 3, 4));
  EXPECT_FALSE(PtInRegion(r, -1, 0));

  HRGN empty = Rect(5, 1, 5, 9);
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  EXPECT_EQ(B(box), (Box{0, 0, 0, 0}));

  const RECT rc{1, 2, 3, 4};
  HRGN ind = Keep(CreateRectRgnIndirect(&rc));
  EXPECT_EQ(RectsOf(ind), (Boxes{{1, 2, 3, 4}}));
}

struct CombineCase {
  const char* name;
  int mode;
  RECT a, b;
  int complexity;
  Boxes rects;
};

TEST_F(RegionTest, CombineModes) {
  const RECT A{0, 0, 4, 4}, Bq{2, 2, 6, 6}, far{10, 10, 12, 12};
  const CombineCase cases[] = {
      {"and", RGN_AND, A, Bq, SIMPLEREGION, {{2, 2, 4, 4}}},
      {"or", RGN_OR, A, Bq, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}},
      {"xor",
       RGN_XOR,
       A,
       Bq,
       COMPLEXREGION,
       {{0, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 6, 6}}},
      {"diff", RGN_DIFF, A, Bq, COMPLEXREGION, {{0, 0, 4, 2}, {0, 2, 2, 4}}},
      {"copy", RGN_COPY, A, Bq, SIMPLEREGION, {{0, 0, 4, 4}}},
      {"and disjoint", RGN_AND, A, far, NULLREGION, {}},
      {"or side by side", RGN_OR, A, RECT{4, 0, 8, 4}, SIMPLEREGION, {{0, 0, 8, 4}}},
      {"diff everything", RGN_DIFF, Bq, RECT{0, 0, 8, 8}, NULLREGION, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HRGN a = Rect(c.a.left, c.a.top, c.a.right, c.a.bottom);
    HRGN b = Rect(c.b.left, c.b.top, c.b.right, c.b.bottom);
    HRGN dst = Rect(20, 20, 30, 30);
    EXPECT_EQ(CombineRgn(dst, a, b, c.mode), c.complexity);
    EXPECT_EQ(RectsOf(dst), c.rects);
    // The sources are left alone.
    EXPECT_EQ(RectsOf(a), (Boxes{B(c.a)}));
    EXPECT_EQ(RectsOf(b), (Boxes{B(c.b)}));
  }
}

TEST_F(RegionTest, CombineIntoOneOfItsSources) {
  HRGN a = Rect(0, 0, 4, 4), b = Rect(2, 2, 6, 6);
  EXPECT_EQ(CombineRgn(b, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(RectsOf(b), (Boxes{{0, 0, 4, 2}, {0, 2, 2, 4}}));
  EXPECT_EQ(CombineRgn(a, a, b, RGN_XOR), SIMPLEREGION);
  EXPECT_EQ(RectsOf(a), (Boxes{{2, 2, 4, 4}}));
  EXPECT_EQ(CombineRgn(a, a, a, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(RectsOf(a), (Boxes{{2, 2, 4, 4}}));
  EXPECT_EQ(CombineRgn(a, a, a, RGN_XOR), NULLREGION);
  EXPECT_EQ(RectsOf(a), Boxes{});
  // COPY does not look at the second source.
  EXPECT_EQ(CombineRgn(a, b, nullptr, RGN_COPY), COMPLEXREGION);
  EXPECT_TRUE(EqualRgn(a, b));
}

TEST_F(RegionTest, RectsAreBandedTopThenLeft) {
  HRGN r = Rect(10, 0, 12, 2);
  HRGN parts[] = {Rect(0, 1, 2, 3), Rect(5, 0, 7, 5), Rect(0, 6, 20, 7)};
  for (HRGN p : parts) CombineRgn(r, r, p, RGN_OR);
  EXPECT_EQ(RectsOf(r), (Boxes{{5, 0, 7, 1},
                               {10, 0, 12, 1},
                               {0, 1, 2, 2},
                               {5, 1, 7, 2},
                               {10, 1, 12, 2},
                               {0, 2, 2, 3},
                               {5, 2, 7, 3},
                               {5, 3, 7, 5},
                               {0, 6, 20, 7}}));
}

TEST_F(RegionTest, OffsetSetRectTestsAndEquality) {
  HRGN r = Rect(0, 0, 4, 4), u = Rect(2, 2, 6, 6);
  CombineRgn(r, r, u, RGN_OR);
  EXPECT_EQ(OffsetRgn(r, 1, -2), COMPLEXREGION);
  EXPECT_EQ(RectsOf(r), (Boxes{{1, -2, 5, 0}, {1, 0, 7, 2}, {3, 2, 7, 4}}));
  EXPECT_TRUE(PtInRegion(r, 6, 0));
  EXPECT_FALSE(PtInRegion(r, 6, -1));

  const struct {
    RECT rc;
    BOOL in;
  } probes[] = {
      {{5, -2, 9, 0}, FALSE},  // touches the right edge only
      {{6, -2, 9, 1}, TRUE},   // reaches one pixel
      {{9, 9, 0, -9}, TRUE},   // inverted, covers everything
      {{2, 2, 2, 3}, FALSE},   // empty
      {{0, 2, 3, 10}, FALSE},  // in the notch below the first band
  };
  for (const auto& p : probes)
    EXPECT_EQ(RectInRegion(r, &p.rc), p.in) << B(p.rc)[0] << "," << B(p.rc)[1];

  HRGN same = Rect(1, -2, 5, 0);
  HRGN more[] = {Rect(1, 0, 7, 2), Rect(3, 2, 7, 4)};
  for (HRGN m : more) CombineRgn(same, same, m, RGN_OR);
  EXPECT_TRUE(EqualRgn(r, same));
  OffsetRgn(same, 0, 1);
  EXPECT_FALSE(EqualRgn(r, same));
  EXPECT_TRUE(EqualRgn(Rect(0, 0, 0, 0), Rect(3, 3, 3, 9)));

  EXPECT_TRUE(SetRectRgn(r, 9, 8, 3, 2));
  EXPECT_EQ(RectsOf(r), (Boxes{{3, 2, 9, 8}}));
  EXPECT_TRUE(SetRectRgn(r, 3, 3, 3, 9));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
}

TEST_F(RegionTest, BadHandlesAndArgumentsFailCleanly) {
  HRGN good = Rect(0, 0, 4, 4);
  HRGN stale = CreateRectRgn(0, 0, 2, 2);
  ASSERT_TRUE(DeleteObject(stale));
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HRGN foreign = reinterpret_cast<HRGN>(brush);

  RECT rc{0, 0, 1, 1};
  std::vector<char> buf(256);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  for (HRGN bad : {stale, foreign, static_cast<HRGN>(nullptr)}) {
    const std::pair<const char*, std::function<long()>> calls[] = {
        {"CombineRgn dst", [&] { return long(CombineRgn(bad, good, good, RGN_OR)); }},
        {"CombineRgn src1", [&] { return long(CombineRgn(good, bad, good, RGN_OR)); }},
        {"CombineRgn src2", [&] { return long(CombineRgn(good, good, bad, RGN_AND)); }},
        {"SetRectRgn", [&] { return long(SetRectRgn(bad, 0, 0, 1, 1)); }},
        {"OffsetRgn", [&] { return long(OffsetRgn(bad, 1, 1)); }},
        {"PtInRegion", [&] { return long(PtInRegion(bad, 0, 0)); }},
        {"RectInRegion", [&] { return long(RectInRegion(bad, &rc)); }},
        {"EqualRgn first", [&] { return long(EqualRgn(bad, good)); }},
        {"EqualRgn second", [&] { return long(EqualRgn(good, bad)); }},
        {"GetRgnBox", [&] { return long(GetRgnBox(bad, &rc)); }},
        {"GetRegionData", [&] { return long(GetRegionData(bad, DWORD(buf.size()), data)); }},
    };
    for (const auto& [name, call] : calls) {
      SCOPED_TRACE(name);
      SetLastError(ERROR_SUCCESS);
      EXPECT_EQ(call(), 0);
      EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
  }
  EXPECT_EQ(RectsOf(good), (Boxes{{0, 0, 4, 4}}));  // untouched by the failed calls
  DeleteObject(brush);

  const POINT tri[] = {{0, 0}, {4, 0}, {0, 4}};
  const INT counts[] = {3, -1};
  const std::pair<const char*, std::function<long()>> bad_args[] = {
      {"CombineRgn mode", [&] { return long(CombineRgn(good, good, good, 6)); }},
      {"RectInRegion", [&] { return long(RectInRegion(good, nullptr)); }},
      {"GetRgnBox", [&] { return long(GetRgnBox(good, nullptr)); }},
      {"CreateRectRgnIndirect", [&] { return long(CreateRectRgnIndirect(nullptr) != nullptr); }},
      {"CreateEllipticRgnIndirect",
       [&] { return long(CreateEllipticRgnIndirect(nullptr) != nullptr); }},
      {"CreatePolygonRgn null",
       [&] { return long(CreatePolygonRgn(nullptr, 3, ALTERNATE) != nullptr); }},
      {"CreatePolygonRgn count",
       [&] { return long(CreatePolygonRgn(tri, -3, ALTERNATE) != nullptr); }},
      {"CreatePolygonRgn mode", [&] { return long(CreatePolygonRgn(tri, 3, 3) != nullptr); }},
      {"CreatePolyPolygonRgn counts",
       [&] { return long(CreatePolyPolygonRgn(tri, nullptr, 1, WINDING) != nullptr); }},
      {"CreatePolyPolygonRgn polygons",
       [&] { return long(CreatePolyPolygonRgn(tri, counts, -1, WINDING) != nullptr); }},
      {"CreatePolyPolygonRgn negative count",
       [&] { return long(CreatePolyPolygonRgn(tri, counts, 2, WINDING) != nullptr); }},
      {"ExtCreateRegion", [&] { return long(ExtCreateRegion(nullptr, 64, nullptr) != nullptr); }},
  };
  const std::size_t live = LiveHandleCount();
  for (const auto& [name, call] : bad_args) {
    SCOPED_TRACE(name);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(LiveHandleCount(), live);
}

// Rounded regions leave out the last column and row of their rectangle, as Windows' do; the
// rows below are its pixels.
struct RoundCase {
  const char* name;
  RECT rc;
  int ew, eh;  // < 0: ellipse
  std::vector<std::string> rows;
};

TEST_F(RegionTest, EllipseAndRoundRectPixels) {
  const RoundCase cases[] = {
      {"ellipse 4x4", {0, 0, 4, 4}, -1, -1, {".#..", "###.", ".#..", "...."}},
      {"ellipse 5x5", {0, 0, 5, 5}, -1, -1, {".##..", "####.", "####.", ".##..", "....."}},
      {"ellipse 10x6",
       {0, 0, 10, 6},
       -1,
       -1,
       {"..#####...", ".#######..", "#########.", ".#######..", "..#####...", ".........."}},
      {"ellipse 11x11",
       {0, 0, 11, 11},
       -1,
       -1,
       {"...####....", "..######...", ".########..", "##########.", "##########.", "##########.",
        "##########.", ".########..", "..######...", "...####....", "..........."}},
      {"ellipse inverted", {4, 4, 0, 0}, -1, -1, {".#..", "###.", ".#..", "...."}},
      {"round rect 10x10 4x4",
       {0, 0, 10, 10},
       4,
       4,
       {".#######..", "#########.", "#########.", "#########.", "#########.", "#########.",
        "#########.", "#########.", ".#######..", ".........."}},
      {"round rect corners clamped",
       {0, 0, 5, 5},
       40,
       40,
       {".##..", "####.", "####.", ".##..", "....."}},
      {"round rect flat corners", {0, 0, 4, 3}, 1, 9, {"###.", "###.", "...."}},
      {"round rect negative corner size",
       {0, 0, 6, 6},
       -4,
       -4,
       {".###..", "#####.", "#####.", "#####.", ".###..", "......"}},
      {"ellipse of one pixel", {0, 0, 1, 1}, -1, -1, {"."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RECT& r = c.rc;
    HRGN h = Keep(c.ew < 0 ? CreateEllipticRgn(r.left, r.top, r.right, r.bottom)
                           : CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, c.ew, c.eh));
    EXPECT_EQ(Picture(h, int(c.rows[0].size()), int(c.rows.size())), c.rows);
  }
  // The same shape anywhere on the plane.
  HRGN moved = Keep(CreateEllipticRgn(100, -50, 104, -46));
  OffsetRgn(moved, -100, 50);
  EXPECT_TRUE(EqualRgn(moved, Keep(CreateEllipticRgn(0, 0, 4, 4))));
}

TEST_F(RegionTest, EllipsesAreSymmetricConvexAndFillTheirBox) {
  for (int w = 2; w <= 40; w += 3) {
    for (int h = 2; h <= 40; h += 2) {
      SCOPED_TRACE(testing::Message() << w << "x" << h);
      HRGN e = Keep(CreateEllipticRgn(3, 5, 3 + w + 1, 5 + h + 1));
      RECT box;
      GetRgnBox(e, &box);
      ASSERT_EQ(B(box), (Box{3, 5, 3 + w, 5 + h}));
      std::vector<std::pair<int, int>> spans;  // per row: first and last covered column
      for (int y = 0; y < h; ++y) {
        int first = -1, last = -1, count = 0;
        for (int x = 0; x < w; ++x)
          if (PtInRegion(e, 3 + x, 5 + y)) {
            if (first < 0) first = x;
            last = x;
            ++count;
          }
        ASSERT_GE(first, 0) << "row " << y;
        ASSERT_EQ(count, last - first + 1) << "row " << y;
        ASSERT_EQ(first, w - 1 - last) << "row " << y;
        spans.push_back({first, last});
      }
      for (int y = 0; y < h; ++y) {
        ASSERT_EQ(spans[y], spans[h - 1 - y]) << "row " << y;
        if (y > 0 && y <= h / 2) { ASSERT_LE(spans[y].first, spans[y - 1].first) << "row " << y; }
      }
    }
  }
}

// Beyond the sizes the outline walk handles, and at the ends of the coordinate range,
// rounded regions keep their shape: one span per row, symmetric, widening to the middle.
TEST_F(RegionTest, LargeEllipsesKeepTheirShape) {
  struct Case {
    LONG l, t, r, b;
  };
  const Case cases[] = {
      {-1000000000, -3, 1000000000, 3},
      {0, 0, 100001, 100001},
      {INT_MIN, INT_MIN, INT_MAX, INT_MIN + 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.l << "," << c.t << " " << c.r << "," << c.b);
    HRGN e = Keep(CreateEllipticRgn(c.l, c.t, c.r, c.b));
    RECT box;
    GetRgnBox(e, &box);
    ASSERT_EQ(B(box), (Box{c.l, c.t, c.r - 1, c.b - 1}));
    const Boxes rows = RectsOf(e);
    std::int64_t prev_inset = -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Box& row = rows[i];
      const std::int64_t inset = std::int64_t(row[0]) - c.l;
      ASSERT_EQ(inset, std::int64_t(c.r - 1) - row[2]) << "band " << i;
      if (row[1] < c.t + (c.b - 1 - c.t) / 2) {
        ASSERT_TRUE(prev_inset < 0 || inset < prev_inset) << "band " << i;
      }
      prev_inset = inset;
    }
    EXPECT_EQ(rows.front()[1], c.t);
    EXPECT_EQ(rows.back()[3], c.b - 1);
  }
  // A circle 100000 across: 20000 rows below its top the chord is 80 % of the diameter.
  HRGN circle = Keep(CreateEllipticRgn(0, 0, 100001, 100001));
  for (const Box& row : RectsOf(circle))
    if (row[1] <= 20000 && 20000 < row[3]) { EXPECT_NEAR(row[0], 10000, 2); }
}

// Rounded regions too tall to hold and polygons too costly to scan fail cleanly; corner
// arguments at the ends of the range are computed without overflowing.
TEST_F(RegionTest, HugeRegionsFailCleanlyAndExtremeCornersWork) {
  const POINT diamond[] = {{0, -2000000000}, {2000000000, 0}, {0, 2000000000}, {-2000000000, 0}};
  const std::pair<const char*, std::function<HRGN()>> too_big[] = {
      {"tall ellipse", [] { return CreateEllipticRgn(0, 0, 10, 1 << 23); }},
      {"huge ellipse",
       [] { return CreateEllipticRgn(-1000000000, -1000000000, 1000000000, 1000000000); }},
      {"tall corners", [] { return CreateRoundRectRgn(0, 0, 100, INT_MAX, 10, INT_MAX); }},
      {"huge diamond", [&] { return CreatePolygonRgn(diamond, 4, ALTERNATE); }},
  };
  for (const auto& [name, make] : too_big) {
    SCOPED_TRACE(name);
    SetLastError(0);
    EXPECT_EQ(make(), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
  }
  RECT box;
  HRGN empty = Keep(CreateRoundRectRgn(INT_MIN, 0, INT_MIN, 5, 2, 2));
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  HRGN wide = Keep(CreateRoundRectRgn(INT_MIN, 0, INT_MAX, 2, INT_MIN, INT_MIN));
  EXPECT_EQ(GetRgnBox(wide, &box), SIMPLEREGION);
  EXPECT_EQ(B(box), (Box{INT_MIN, 0, INT_MAX - 1, 1}));
}

struct PolygonCase {
  const char* name;
  std::vector<POINT> pts;
  std::vector<INT> counts;
  int mode;
  Boxes rects;
};

TEST_F(RegionTest, PolygonScanConversion) {
  const std::vector<POINT> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  // Two overlapping squares, the second drawn clockwise or counter-clockwise.
  const std::vector<POINT> same_way{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
  const std::vector<POINT> other_way{{0, 0}, {4, 0}, {4, 4}, {0, 4},
                                     {2, 2}, {2, 6}, {6, 6}, {6, 2}};
  const Boxes xored{{0, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 6, 6}};
  const Boxes united{{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}};
  const PolygonCase cases[] = {
      {"square", square, {4}, ALTERNATE, {{0, 0, 4, 4}}},
      {"square winding", square, {4}, WINDING, {{0, 0, 4, 4}}},
      {"square reversed", {{0, 4}, {4, 4}, {4, 0}, {0, 0}}, {4}, WINDING, {{0, 0, 4, 4}}},
      {"right triangle",
       {{0, 0}, {4, 0}, {0, 4}},
       {3},
       ALTERNATE,
       {{0, 0, 4, 1}, {0, 1, 3, 2}, {0, 2, 2, 3}, {0, 3, 1, 4}}},
      // The hypotenuse crosses row 1 at x = 3 1/3 and row 2 at 1 2/3.
      {"shallow triangle",
       {{0, 0}, {5, 0}, {0, 3}},
       {3},
       ALTERNATE,
       {{0, 0, 5, 1}, {0, 1, 4, 2}, {0, 2, 2, 3}}},
      {"diamond",
       {{2, 0}, {4, 2}, {2, 4}, {0, 2}},
       {4},
       WINDING,
       {{1, 1, 3, 2}, {0, 2, 4, 3}, {1, 3, 3, 4}}},
      {"overlap same way, alternate", same_way, {4, 4}, ALTERNATE, xored},
      {"overlap same way, winding", same_way, {4, 4}, WINDING, united},
      {"overlap other way, winding", other_way, {4, 4}, WINDING, xored},
      {"two points", {{0, 0}, {5, 5}}, {2}, ALTERNATE, {}},
      {"flat", {{0, 3}, {5, 3}, {9, 3}}, {3}, WINDING, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HRGN h = Keep(c.counts.size() == 1 ? CreatePolygonRgn(c.pts.data(), c.counts[0], c.mode)
                                       : CreatePolyPolygonRgn(c.pts.data(), c.counts.data(),
                                                              int(c.counts.size()), c.mode));
    EXPECT_EQ(RectsOf(h), c.rects);
  }
}

TEST_F(RegionTest, PentagramCentreDependsOnFillMode) {
  const POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  HRGN alt = Keep(CreatePolygonRgn(star, 5, ALTERNATE));
  HRGN wind = Keep(CreatePolygonRgn(star, 5, WINDING));
  EXPECT_FALSE(PtInRegion(alt, 10, 11));
  EXPECT_TRUE(PtInRegion(wind, 10, 11));
  for (POINT tip : {POINT{10, 3}, POINT{2, 8}, POINT{18, 8}, POINT{5, 17}, POINT{15, 17}}) {
    EXPECT_TRUE(PtInRegion(alt, tip.x, tip.y)) << tip.x << "," << tip.y;
    EXPECT_TRUE(PtInRegion(wind, tip.x, tip.y)) << tip.x << "," << tip.y;
  }
  // Winding covers the even-odd pixels and the inner pentagon; the top tip starts on row 1
  // because the two edges meet exactly at (10, 0).
  HRGN diff = Rect(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(diff, alt, wind, RGN_DIFF), NULLREGION);
  RECT box;
  GetRgnBox(wind, &box);
  EXPECT_EQ(B(box), (Box{0, 1, 20, 19}));
}

TEST_F(RegionTest, PolygonWithHugeCoordinates) {
  const POINT big[] = {{-2000000000, -2000000000},
                       {2000000000, -2000000000},
                       {2000000000, 2000000000},
                       {-2000000000, 2000000000}};
  HRGN h = Keep(CreatePolygonRgn(big, 4, WINDING));
  EXPECT_EQ(RectsOf(h), (Boxes{{-2000000000, -2000000000, 2000000000, 2000000000}}));
}

// A buffer of exactly `size` bytes, so reading beyond it is a fault the sanitizers catch.
std::vector<char> RegionBytes(const RGNDATAHEADER& rdh, const Boxes& rects, std::size_t size) {
  std::vector<char> bytes(sizeof rdh + rects.size() * sizeof(RECT));
  std::memcpy(bytes.data(), &rdh, sizeof rdh);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    RECT r{rects[i][0], rects[i][1], rects[i][2], rects[i][3]};
    std::memcpy(bytes.data() + sizeof rdh + i * sizeof r, &r, sizeof r);
  }
  bytes.resize(size);
  return bytes;
}

TEST_F(RegionTest, RegionDataRoundTrip) {
  HRGN r = Rect(0, 0, 4, 4), u = Rect(2, 2, 6, 6);
  CombineRgn(r, r, u, RGN_OR);
  const DWORD need = GetRegionData(r, 0, nullptr);
  ASSERT_EQ(need, sizeof(RGNDATAHEADER) + 3 * sizeof(RECT));

  std::vector<char> buf(need);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  EXPECT_EQ(GetRegionData(r, need - 1, data), 0u);
  ASSERT_EQ(GetRegionData(r, need, data), need);
  EXPECT_EQ(data->rdh.dwSize, sizeof(RGNDATAHEADER));
  EXPECT_EQ(data->rdh.iType, RDH_RECTANGLES);
  EXPECT_EQ(data->rdh.nCount, 3u);
  EXPECT_EQ(data->rdh.nRgnSize, 3 * sizeof(RECT));
  EXPECT_EQ(B(data->rdh.rcBound), (Box{0, 0, 6, 6}));
  RECT first;
  std::memcpy(&first, buf.data() + sizeof(RGNDATAHEADER), sizeof first);
  EXPECT_EQ(B(first), (Box{0, 0, 4, 2}));

  HRGN back = Keep(ExtCreateRegion(nullptr, need, data));
  EXPECT_TRUE(EqualRgn(back, r));
  const XFORM identity{1, 0, 0, 1, 0, 0};
  EXPECT_TRUE(EqualRgn(Keep(ExtCreateRegion(&identity, need, data)), r));

  HRGN empty = Rect(0, 0, 0, 0);
  EXPECT_EQ(GetRegionData(empty, 0, nullptr), sizeof(RGNDATAHEADER));
  RGNDATAHEADER hdr{};
  EXPECT_EQ(GetRegionData(empty, sizeof hdr, reinterpret_cast<RGNDATA*>(&hdr)), sizeof hdr);
  EXPECT_EQ(hdr.nCount, 0u);
  HRGN back_empty = Keep(ExtCreateRegion(nullptr, sizeof hdr, reinterpret_cast<RGNDATA*>(&hdr)));
  EXPECT_EQ(RectsOf(back_empty), Boxes{});
}

TEST_F(RegionTest, ExtCreateRegionBuildsFromRectsAndTransforms) {
  RGNDATAHEADER rdh;
  rdh.nCount = 4;
  // Overlapping, unordered and empty rectangles are accepted and merged.
  auto bytes =
      RegionBytes(rdh, {{2, 2, 6, 6}, {0, 0, 4, 4}, {7, 7, 7, 9}, {9, 9, 8, 8}}, sizeof rdh + 64);
  auto* data = reinterpret_cast<const RGNDATA*>(bytes.data());
  HRGN h = Keep(ExtCreateRegion(nullptr, DWORD(bytes.size()), data));
  EXPECT_EQ(RectsOf(h), (Boxes{{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}));

  rdh.nCount = 1;
  auto one = RegionBytes(rdh, {{0, 0, 4, 4}}, sizeof rdh + 16);
  auto* one_data = reinterpret_cast<const RGNDATA*>(one.data());
  const struct {
    XFORM xf;
    Box want;
  } transforms[] = {
      {{2, 0, 0, 3, 10, 20}, {10, 20, 18, 32}},
      {{-1, 0, 0, 1, 0, 0}, {-4, 0, 0, 4}},
      {{0.5f, 0, 0, 0.5f, 0.25f, 0}, {0, 0, 2, 2}},
  };
  for (const auto& t : transforms) {
    HRGN x = Keep(ExtCreateRegion(&t.xf, DWORD(one.size()), one_data));
    EXPECT_EQ(RectsOf(x), (Boxes{t.want})) << t.xf.eM11 << " " << t.xf.eDx;
  }
  const XFORM rotate{0, 1, -1, 0, 0, 0};
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(ExtCreateRegion(&rotate, DWORD(one.size()), one_data), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(RegionTest, ExtCreateRegionRefusesMalformedData) {
  struct Malformed {
    const char* name;
    DWORD dwSize, iType, nCount;
    std::size_t size;  // bytes given
  };
  const DWORD hs = sizeof(RGNDATAHEADER);
  const Malformed cases[] = {
      {"header cut short", hs, RDH_RECTANGLES, 0, hs - 1},
      {"dwSize too small", hs - 4, RDH_RECTANGLES, 1, hs + 16},
      {"dwSize zero", 0, RDH_RECTANGLES, 0, hs},
      {"dwSize beyond the data", hs + 16, RDH_RECTANGLES, 1, hs + 16},
      {"unknown type", hs, 2, 1, hs + 16},
      {"count beyond the data", hs, RDH_RECTANGLES, 2, hs + 16 + 15},
      {"count overflowing", hs, RDH_RECTANGLES, 0xFFFFFFFFu, hs + 16},
      {"count wrapping to the size", hs, RDH_RECTANGLES, 0x10000000u, hs + 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RGNDATAHEADER rdh;
    rdh.dwSize = c.dwSize;
    rdh.iType = c.iType;
    rdh.nCount = c.nCount;
    auto bytes = RegionBytes(rdh, {{0, 0, 1, 1}, {1, 1, 2, 2}}, c.size);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(
        ExtCreateRegion(nullptr, DWORD(c.size), reinterpret_cast<const RGNDATA*>(bytes.data())),
        nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
}

}  // namespace
}  // namespace win
