#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win.h"
#include "support/dib_canvas.h"

namespace win {
namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kRed = RGB(255, 0, 0),
                   kBlue = RGB(0, 0, 255);

// A white 32-bpp memory DC; objects made through it are released at the end.
class Canvas : public testsupport::DibCanvas {
 public:
  Canvas(int w, int h) : DibCanvas(w, h), w_(w), h_(h) { Clear(kWhite); }
  ~Canvas() {
    for (HGDIOBJ o : made_) DeleteObject(o);
  }
  int w() const { return w_; }
  int h() const { return h_; }
  template <class T>
  T Keep(T obj) {
    EXPECT_NE(obj, nullptr);
    made_.push_back(obj);
    return obj;
  }
  HBRUSH Brush(COLORREF c) { return Keep(CreateSolidBrush(c)); }
  HPEN Pen(int style, int width, COLORREF c) { return Keep(CreatePen(style, width, c)); }
  // Straight on the bitmap, whatever the DC's origins and clipping.
  void Clear(COLORREF c) { Fill(c); }
  // Every pixel that is not white.
  Pixels Painted() const {
    return Of([](COLORREF c) { return c != kWhite; });
  }
  Pixels Colored(COLORREF want) const {
    return Of([&](COLORREF c) { return c == want; });
  }
  std::vector<std::string> Picture(const std::map<COLORREF, char>& legend) const {
    std::vector<std::string> rows;
    for (int y = 0; y < h_; ++y) {
      std::string row;
      for (int x = 0; x < w_; ++x) {
        auto it = legend.find(At(x, y));
        row += it == legend.end() ? '?' : it->second;
      }
      rows.push_back(row);
    }
    return rows;
  }
  // The pixels a region covers inside the canvas.
  Pixels Of(HRGN rgn) const {
    Pixels out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (PtInRegion(rgn, x, y)) out.insert({x, y});
    return out;
  }

 private:
  template <class F>
  Pixels Of(F keep) const {
    Pixels out;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (keep(At(x, y))) out.insert({x, y});
    return out;
  }
  int w_, h_;
  std::vector<HGDIOBJ> made_;
};

Pixels Box(int l, int t, int r, int b) {
  Pixels out;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) out.insert({x, y});
  return out;
}

Pixels Minus(Pixels a, const Pixels& b) {
  for (auto& p : b) a.erase(p);
  return a;
}

// Lines leave out their last point; ties between two pixels go up for flat lines and left
// for steep ones in every octant, so a line and its reverse light the same pixels.
// Every null pen is the stock NULL_PEN, however it is asked for.
TEST(Pens, ANullPenIsTheStockOne) {
  HGDIOBJ stock = GetStockObject(NULL_PEN);
  LOGPEN lp{PS_NULL, {3, 0}, RGB(1, 2, 3)};
  EXPECT_EQ(CreatePen(PS_NULL, 0, 0), stock);
  EXPECT_EQ(CreatePen(PS_NULL, 5, RGB(255, 0, 0)), stock);
  EXPECT_EQ(CreatePenIndirect(&lp), stock);
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(GetObjectType(stock), OBJ_PEN);  // still there
}

TEST(DrawLine, PixelsInAllOctants) {
  struct Case {
    POINT from, to;
    Pixels want;
  };
  const Case cases[] = {
      {{2, 2}, {6, 3}, {{2, 2}, {3, 2}, {4, 2}, {5, 3}}},  // 1: right, shallow down
      {{2, 2}, {3, 6}, {{2, 2}, {2, 3}, {2, 4}, {3, 5}}},  // 2: down, steep right
      {{3, 2}, {2, 6}, {{3, 2}, {3, 3}, {2, 4}, {2, 5}}},  // 3: down, steep left
      {{6, 2}, {2, 3}, {{6, 2}, {5, 2}, {4, 2}, {3, 3}}},  // 4: left, shallow down
      {{6, 3}, {2, 2}, {{6, 3}, {5, 3}, {4, 2}, {3, 2}}},  // 5: left, shallow up
      {{3, 6}, {2, 2}, {{3, 6}, {3, 5}, {2, 4}, {2, 3}}},  // 6: up, steep left
      {{2, 6}, {3, 2}, {{2, 6}, {2, 5}, {2, 4}, {3, 3}}},  // 7: up, steep right
      {{2, 3}, {6, 2}, {{2, 3}, {3, 3}, {4, 2}, {5, 2}}},  // 8: right, shallow up
      {{1, 1}, {5, 5}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},  // diagonal
      {{4, 4}, {4, 4}, {}},                                // no length, no pixel
  };
  for (const Case& c : cases) {
    Canvas cv(10, 10);
    MoveToEx(cv.dc(), c.from.x, c.from.y, nullptr);
    ASSERT_TRUE(LineTo(cv.dc(), c.to.x, c.to.y));
    EXPECT_EQ(cv.Painted(), c.want)
        << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
    POINT cp;
    GetCurrentPositionEx(cv.dc(), &cp);
    EXPECT_EQ(cp.x, c.to.x);
    EXPECT_EQ(cp.y, c.to.y);
  }
}

TEST(DrawLine, FollowsOriginsAndClipsFarCoordinates) {
  Canvas cv(8, 8);
  SetViewportOrgEx(cv.dc(), 2, 1, nullptr);
  MoveToEx(cv.dc(), 0, 0, nullptr);
  LineTo(cv.dc(), 3, 0);
  EXPECT_EQ(cv.Painted(), (Pixels{{2, 1}, {3, 1}, {4, 1}}));
  cv.Clear(kWhite);
  SetViewportOrgEx(cv.dc(), 0, 0, nullptr);
  IntersectClipRect(cv.dc(), 0, 0, 8, 4);
  // A line of four billion pixels costs only what is visible.
  MoveToEx(cv.dc(), -2000000000, 3, nullptr);
  LineTo(cv.dc(), 2000000000, 3);
  MoveToEx(cv.dc(), 5, 0, nullptr);
  LineTo(cv.dc(), 5, 2000000000);
  MoveToEx(cv.dc(), -2000000000, -2000000000, nullptr);
  LineTo(cv.dc(), 2000000000, 2000000000);
  Pixels want = Box(0, 3, 8, 4);
  for (int y = 0; y < 4; ++y) want.insert({5, y});
  for (int i = 0; i < 4; ++i) want.insert({i, i});
  EXPECT_EQ(cv.Painted(), want);
}

TEST(DrawLine, PolylinesShareTheirVerticesOnce) {
  Canvas cv(8, 8);
  SetROP2(cv.dc(), R2_XORPEN);
  SelectObject(cv.dc(), cv.Pen(PS_SOLID, 1, kWhite));  // white XOR white = black
  const POINT pts[] = {{1, 1}, {5, 1}, {5, 5}};
  ASSERT_TRUE(Polyline(cv.dc(), pts, 3));
  Pixels want = Box(1, 1, 5, 2);
  for (int y = 1; y < 5; ++y) want.insert({5, y});
  EXPECT_EQ(cv.Colored(kBlack), want);
  // PolylineTo starts at the current position and moves it.
  MoveToEx(cv.dc(), 0, 7, nullptr);
  const POINT more[] = {{3, 7}};
  ASSERT_TRUE(PolylineTo(cv.dc(), more, 1));
  POINT cp;
  GetCurrentPositionEx(cv.dc(), &cp);
  EXPECT_EQ(cp.x, 3);
  EXPECT_TRUE(cv.Colored(kBlack).count({2, 7}));
  EXPECT_FALSE(Polyline(cv.dc(), pts, 1));
  EXPECT_FALSE(Polyline(cv.dc(), nullptr, 3));
}

// Styled cosmetic pens: the gaps take the background colour only in opaque mode.
TEST(DrawLine, StyledPens) {
  struct Case {
    int style;
    std::string want;
  };
  const Case cases[] = {
      {PS_DOT, "###rrr###rrr###rrr###rrr##"},
      {PS_DASH, "##################rrrrrr##"},
      {PS_DASHDOT, "#########rrrrrr###rrrrrr##"},
      {PS_DASHDOTDOT, "#########rrr###rrr###rrr##"},
  };
  for (const Case& c : cases) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
      Canvas cv(26, 1);
      SelectObject(cv.dc(), cv.Pen(c.style, 1, kBlack));
      SetBkColor(cv.dc(), kRed);
      SetBkMode(cv.dc(), mode);
      MoveToEx(cv.dc(), 0, 0, nullptr);
      LineTo(cv.dc(), 26, 0);
      std::string want = c.want;
      if (mode == TRANSPARENT)
        for (char& ch : want) ch = ch == 'r' ? '.' : ch;
      EXPECT_EQ(cv.Picture({{kBlack, '#'}, {kRed, 'r'}, {kWhite, '.'}})[0], want)
          << c.style << " " << mode;
    }
  }
}

TEST(DrawLine, DcPenAndNullPen) {
  Canvas cv(6, 3);
  SelectObject(cv.dc(), GetStockObject(DC_PEN));
  SetDCPenColor(cv.dc(), kBlue);
  MoveToEx(cv.dc(), 0, 0, nullptr);
  LineTo(cv.dc(), 3, 0);
  EXPECT_EQ(cv.Colored(kBlue), Box(0, 0, 3, 1));
  SelectObject(cv.dc(), GetStockObject(NULL_PEN));
  MoveToEx(cv.dc(), 0, 2, nullptr);
  EXPECT_TRUE(LineTo(cv.dc(), 6, 2));
  EXPECT_EQ(cv.Painted(), Box(0, 0, 3, 1));
}

TEST(DrawLine, WidePenIsCentredOnThePath) {
  Canvas cv(16, 10);
  LOGBRUSH lb{BS_SOLID, kBlack, 0};
  SelectObject(cv.dc(), cv.Keep(ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 3, &lb, 0, nullptr)));
  MoveToEx(cv.dc(), 2, 5, nullptr);
  LineTo(cv.dc(), 12, 5);
  EXPECT_EQ(cv.Painted(), Box(2, 4, 12, 7));
  cv.Clear(kWhite);
  SelectObject(cv.dc(), cv.Keep(ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE, 3, &lb, 0, nullptr)));
  MoveToEx(cv.dc(), 2, 5, nullptr);
  LineTo(cv.dc(), 12, 5);
  EXPECT_EQ(cv.Painted(), Box(1, 4, 14, 7));
}

// Rectangle: right and bottom exclusive; the pen on the outermost pixels, the brush inside;
// without a pen the filled area is one pixel smaller.
TEST(DrawRectangle, OutlineAndInteriorCoverage) {
  Canvas cv(10, 8);
  SelectObject(cv.dc(), cv.Brush(kRed));
  ASSERT_TRUE(Rectangle(cv.dc(), 1, 1, 7, 6));
  EXPECT_EQ(cv.Picture({{kBlack, '#'}, {kRed, 'r'}, {kWhite, '.'}}),
            (std::vector<std::string>{"..........", ".######...", ".#rrrr#...", ".#rrrr#...",
                                      ".#rrrr#...", ".######...", "..........", ".........."}));
  cv.Clear(kWhite);
  SelectObject(cv.dc(), GetStockObject(NULL_PEN));
  Rectangle(cv.dc(), 7, 6, 1, 1);  // corners in any order
  EXPECT_EQ(cv.Painted(), Box(1, 1, 6, 5));
  EXPECT_EQ(cv.Colored(kRed), Box(1, 1, 6, 5));
}

TEST(DrawRectangle, InsideFrameStaysInside) {
  for (int width : {1, 2, 3, 4}) {
    Canvas cv(20, 20);
    SelectObject(cv.dc(), cv.Pen(PS_INSIDEFRAME, width, kBlack));
    SelectObject(cv.dc(), cv.Brush(kRed));
    Rectangle(cv.dc(), 3, 4, 15, 14);
    Pixels painted = cv.Painted();
    EXPECT_EQ(Minus(painted, Box(3, 4, 15, 14)), Pixels{}) << width;
    // Across the middle of each side the pen is exactly `width` deep.
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(cv.At(3 + i, 9), i < width ? kBlack : kRed) << width << " left " << i;
      EXPECT_EQ(cv.At(14 - i, 9), i < width ? kBlack : kRed) << width << " right " << i;
      EXPECT_EQ(cv.At(9, 4 + i), i < width ? kBlack : kRed) << width << " top " << i;
      EXPECT_EQ(cv.At(9, 13 - i), i < width ? kBlack : kRed) << width << " bottom " << i;
    }
  }
  // Rounded figures keep inside too, touching the rectangle at the middle of each side.
  for (bool ellipse : {true, false}) {
    for (int width : {1, 4, 5}) {
      Canvas cv(20, 20);
      SelectObject(cv.dc(), cv.Pen(PS_INSIDEFRAME, width, kBlack));
      SelectObject(cv.dc(), cv.Brush(kRed));
      if (ellipse)
        Ellipse(cv.dc(), 3, 4, 16, 15);
      else
        RoundRect(cv.dc(), 3, 4, 16, 15, 8, 8);
      EXPECT_EQ(Minus(cv.Painted(), Box(3, 4, 16, 15)), Pixels{}) << ellipse << " " << width;
      for (auto [x, y] : {std::pair{3, 9}, {15, 9}, {9, 4}, {9, 14}})
        EXPECT_EQ(cv.At(x, y), kBlack) << x << "," << y;
      EXPECT_EQ(cv.At(9, 9), kRed);
    }
  }
  // An ordinary wide pen straddles the outline instead.
  Canvas cv(20, 20);
  SelectObject(cv.dc(), cv.Pen(PS_SOLID, 3, kBlack));
  Rectangle(cv.dc(), 3, 4, 15, 14);
  EXPECT_EQ(cv.At(2, 9), kBlack);
  EXPECT_EQ(cv.At(4, 9), kBlack);
  EXPECT_EQ(cv.At(5, 9), kWhite);
  EXPECT_EQ(cv.At(15, 9), kBlack);
}

// The filled rounded figures cover exactly their regions: with a pen the region of the
// rectangle one pixel larger, without one the region of the rectangle itself.
TEST(DrawRoundFigures, MatchTheRegionsOfTheirRectangle) {
  struct Case {
    RECT rc;
    int ew, eh;
    bool ellipse;
  };
  const Case cases[] = {
      {{2, 3, 19, 14}, 0, 0, true},
      {{1, 1, 8, 8}, 0, 0, true},
      {{2, 2, 20, 12}, 6, 6, false},
      {{3, 1, 18, 15}, 10, 4, false},
  };
  for (const Case& c : cases) {
    for (bool pen : {true, false}) {
      Canvas cv(24, 18);
      SelectObject(cv.dc(), GetStockObject(BLACK_BRUSH));
      SelectObject(cv.dc(), GetStockObject(pen ? BLACK_PEN : NULL_PEN));
      if (c.ellipse)
        Ellipse(cv.dc(), c.rc.left, c.rc.top, c.rc.right, c.rc.bottom);
      else
        RoundRect(cv.dc(), c.rc.left, c.rc.top, c.rc.right, c.rc.bottom, c.ew, c.eh);
      const int grow = pen ? 1 : 0;
      HRGN rgn = c.ellipse
                     ? CreateEllipticRgn(c.rc.left, c.rc.top, c.rc.right + grow, c.rc.bottom + grow)
                     : CreateRoundRectRgn(c.rc.left, c.rc.top, c.rc.right + grow,
                                          c.rc.bottom + grow, c.ew, c.eh);
      EXPECT_EQ(cv.Painted(), cv.Of(rgn)) << c.rc.left << "," << c.rc.top << " pen " << pen;
      DeleteObject(rgn);
    }
  }
}

TEST(DrawRoundFigures, OutlineIsOnePixelRing) {
  Canvas cv(16, 12);
  SelectObject(cv.dc(), cv.Brush(kRed));
  Ellipse(cv.dc(), 1, 1, 15, 11);
  const Pixels black = cv.Colored(kBlack), red = cv.Colored(kRed);
  // Every outline pixel touches the outside; no interior pixel does.
  auto touches_outside = [&](int x, int y) {
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
      if (cv.At(x + dx, y + dy) == kWhite) return true;
    return false;
  };
  for (auto [x, y] : black) EXPECT_TRUE(touches_outside(x, y)) << x << "," << y;
  for (auto [x, y] : red) EXPECT_FALSE(touches_outside(x, y)) << x << "," << y;
  EXPECT_EQ(cv.At(1, 5), kBlack);
  EXPECT_EQ(cv.At(14, 5), kBlack);
  EXPECT_EQ(cv.At(7, 1), kBlack);
  EXPECT_EQ(cv.At(7, 10), kBlack);
  EXPECT_EQ(cv.At(7, 5), kRed);
}

TEST(DrawPolygon, FillModesAndOutline) {
  // Two nested squares wound the same way: a hole under ALTERNATE, solid under WINDING.
  const POINT pts[] = {{1, 1}, {11, 1}, {11, 11}, {1, 11}, {4, 4}, {8, 4}, {8, 8}, {4, 8}};
  const INT counts[] = {4, 4};
  for (int mode : {ALTERNATE, WINDING}) {
    Canvas cv(14, 14);
    SelectObject(cv.dc(), GetStockObject(NULL_PEN));
    SelectObject(cv.dc(), GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(cv.dc(), mode);
    ASSERT_TRUE(PolyPolygon(cv.dc(), pts, counts, 2));
    Pixels want = Box(1, 1, 11, 11);
    if (mode == ALTERNATE) want = Minus(want, Box(4, 4, 8, 8));
    EXPECT_EQ(cv.Painted(), want) << mode;
  }
  // With a pen the outline closes the figure and covers the right and bottom edges too.
  Canvas cv(8, 8);
  SelectObject(cv.dc(), cv.Brush(kRed));
  const POINT sq[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
  ASSERT_TRUE(Polygon(cv.dc(), sq, 4));
  EXPECT_EQ(cv.Painted(), Box(1, 1, 6, 6));
  EXPECT_EQ(cv.Colored(kRed), Box(2, 2, 5, 5));
  EXPECT_FALSE(Polygon(cv.dc(), sq, -1));
  EXPECT_FALSE(Polygon(cv.dc(), nullptr, 4));
}

TEST(DrawArc, PieCoversTheQuarterItNames) {
  Canvas cv(22, 22);
  SelectObject(cv.dc(), GetStockObject(BLACK_BRUSH));
  SelectObject(cv.dc(), GetStockObject(NULL_PEN));
  // From the right radial counter-clockwise to the top one: the upper-right quarter.
  ASSERT_TRUE(Pie(cv.dc(), 1, 1, 22, 22, 22, 11, 11, 0));
  for (auto [x, y] : cv.Painted()) {
    EXPECT_GE(x, 11);
    EXPECT_LE(y, 11);
  }
  EXPECT_EQ(cv.At(15, 6), kBlack);
  Canvas arc(22, 22);
  ASSERT_TRUE(Arc(arc.dc(), 1, 1, 22, 22, 22, 11, 11, 0));
  EXPECT_EQ(arc.At(11, 1), kBlack);
  EXPECT_EQ(arc.At(21, 11), kBlack);
  EXPECT_EQ(arc.At(1, 11), kWhite);
  EXPECT_EQ(arc.At(11, 21), kWhite);
}

// Arc figures of any size centred on the canvas show the same part of themselves, and
// cost what is visible: the canvas sees the middle of figures up to two billion across.
TEST(DrawArc, HugeFiguresShowTheirVisiblePart) {
  struct Figure {
    const char* name;
    Pixels want;
  };
  const Figure figures[] = {
      {"pie", Box(20, 0, 40, 21)},   // the upper-right quarter, radials included
      {"chord", Box(0, 0, 40, 21)},  // the upper half, down to the chord's row
      {"wide arc", Box(20, 0, 40, 21)},
  };
  for (int r : {100, 20000, 1000000000}) {
    for (const Figure& f : figures) {
      SCOPED_TRACE(testing::Message() << f.name << " radius " << r);
      Canvas cv(40, 40);
      const int l = 20 - r, t = 20 - r, rr = 21 + r, b = 21 + r;  // centre (20, 20)
      SelectObject(cv.dc(), GetStockObject(BLACK_BRUSH));
      SelectObject(cv.dc(), GetStockObject(NULL_PEN));
      if (f.name == std::string("pie")) {
        ASSERT_TRUE(Pie(cv.dc(), l, t, rr, b, 40, 20, 20, 0));
      } else if (f.name == std::string("chord")) {
        ASSERT_TRUE(Chord(cv.dc(), l, t, rr, b, 40, 20, 0, 20));
      } else {
        SelectObject(cv.dc(), cv.Pen(PS_SOLID, INT_MAX, kBlack));
        ASSERT_TRUE(Arc(cv.dc(), l, t, rr, b, 40, 20, 20, 0));
      }
      EXPECT_EQ(cv.Painted(), f.want);
    }
  }
}

// Vertices far outside the surface keep their lines' slopes: what shows of a figure is
// what shows of the same figure scaled down to fit.
TEST(DrawLine, FarVerticesKeepTheirSlopes) {
  struct Case {
    const char* name;
    int pen_width;
    bool polygon;
  };
  const Case cases[] = {{"wide line", 5, false}, {"polygon", 1, true}, {"wide polygon", 3, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto draw = [&](int scale) {
      auto cv = std::make_unique<Canvas>(40, 40);
      SetViewportOrgEx(cv->dc(), 20, 20, nullptr);
      SelectObject(cv->dc(), GetStockObject(BLACK_BRUSH));
      SelectObject(cv->dc(), cv->Pen(PS_SOLID, c.pen_width, kRed));
      if (c.polygon) {
        // Its edge through the origin has a slope of 1/3; the others lie off the canvas.
        const POINT pts[] = {
            {-90 * scale, -30 * scale}, {90 * scale, 30 * scale}, {-90 * scale, 30 * scale}};
        EXPECT_TRUE(Polygon(cv->dc(), pts, 3));
      } else {
        MoveToEx(cv->dc(), -90 * scale, -30 * scale, nullptr);
        EXPECT_TRUE(LineTo(cv->dc(), 90 * scale, 30 * scale));
      }
      return cv;
    };
    auto small = draw(1), far = draw(100000);
    EXPECT_FALSE(small->Painted().empty());
    EXPECT_EQ(far->Picture({{kWhite, '.'}, {kRed, 'r'}, {kBlack, '#'}}),
              small->Picture({{kWhite, '.'}, {kRed, 'r'}, {kBlack, '#'}}));
  }
}

// Corner sizes and pen widths at the ends of the int range behave like large ones.
TEST(DrawRoundFigures, ExtremeCornersAndPenWidths) {
  Canvas round(16, 16), ellipse(16, 16);
  SelectObject(round.dc(), GetStockObject(BLACK_BRUSH));
  SelectObject(ellipse.dc(), GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(RoundRect(round.dc(), 2, 2, 14, 12, INT_MIN, INT_MIN));
  ASSERT_TRUE(Ellipse(ellipse.dc(), 2, 2, 14, 12));
  EXPECT_EQ(round.Painted(), ellipse.Painted());
  // A pen INT_MAX wide covers everything around the figure.
  Canvas wide(16, 16);
  SelectObject(wide.dc(), wide.Pen(PS_SOLID, INT_MAX, kRed));
  ASSERT_TRUE(RoundRect(wide.dc(), 5, 5, 11, 11, 4, 4));
  EXPECT_EQ(wide.Colored(kRed), Box(0, 0, 16, 16));
}

TEST(DrawFill, RectFillsIgnoreRop2AndEmptyRectsDrawNothing) {
  Canvas cv(8, 8);
  SetROP2(cv.dc(), R2_XORPEN);
  RECT rc{1, 2, 5, 4};
  ASSERT_TRUE(FillRect(cv.dc(), &rc, cv.Brush(kRed)));
  EXPECT_EQ(cv.Colored(kRed), Box(1, 2, 5, 4));
  cv.Clear(kWhite);
  RECT frame{1, 1, 6, 5};
  ASSERT_TRUE(FrameRect(cv.dc(), &frame, cv.Brush(kBlue)));
  EXPECT_EQ(cv.Colored(kBlue), Minus(Box(1, 1, 6, 5), Box(2, 2, 5, 4)));
  cv.Clear(kWhite);
  ASSERT_TRUE(InvertRect(cv.dc(), &rc));
  EXPECT_EQ(cv.Colored(kBlack), Box(1, 2, 5, 4));
  InvertRect(cv.dc(), &rc);
  EXPECT_EQ(cv.Painted(), Pixels{});
  for (RECT bad : {RECT{5, 2, 1, 4}, RECT{1, 4, 5, 2}, RECT{3, 3, 3, 6}}) {
    FillRect(cv.dc(), &bad, cv.Brush(kRed));
    FrameRect(cv.dc(), &bad, cv.Brush(kRed));
    InvertRect(cv.dc(), &bad);
    DrawFocusRect(cv.dc(), &bad);
    DrawEdge(cv.dc(), &bad, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
  EXPECT_EQ(cv.Painted(), Pixels{});
  EXPECT_FALSE(FillRect(cv.dc(), nullptr, cv.Brush(kRed)));
  // A system-colour index without a colour is refused, not crashed.
  EXPECT_FALSE(FillRect(cv.dc(), &rc, reinterpret_cast<HBRUSH>(std::uintptr_t(25 + 1))));
  EXPECT_FALSE(FillRect(cv.dc(), &rc, reinterpret_cast<HBRUSH>(std::uintptr_t(63 + 1))));
  EXPECT_EQ(cv.Painted(), Pixels{});
  // A known one fills in its colour, and DeleteObject leaves the system's brush alone.
  HBRUSH face = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
  ASSERT_TRUE(FillRect(cv.dc(), &rc, face));
  EXPECT_EQ(cv.At(3, 3), RGB(212, 208, 200));
  EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));
  cv.Clear(kWhite);
  ASSERT_TRUE(FillRect(cv.dc(), &rc, face));
  EXPECT_EQ(cv.At(3, 3), RGB(212, 208, 200));
}

TEST(DrawFill, FillRectUsesBrushPatternAndClip) {
  Canvas cv(8, 4);
  IntersectClipRect(cv.dc(), 0, 0, 4, 4);
  RECT rc{0, 0, 8, 4};
  FillRect(cv.dc(), &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(cv.Painted(), Box(0, 0, 4, 4));
  SelectClipRgn(cv.dc(), nullptr);
  cv.Clear(kWhite);
  HBRUSH hatch = cv.Keep(CreateHatchBrush(HS_VERTICAL, kBlack));
  FillRect(cv.dc(), &rc, hatch);
  // The vertical hatch has its line in column 4 of the 8x8 tile.
  EXPECT_EQ(cv.Painted(), Box(4, 0, 5, 4));
}

TEST(DrawRop2, XorDrawsTwiceToRestoreAndNotInverts) {
  Canvas cv(10, 10);
  cv.Clear(RGB(10, 200, 30));
  const Pixels before = cv.Colored(RGB(10, 200, 30));
  SetROP2(cv.dc(), R2_XORPEN);
  SelectObject(cv.dc(), cv.Pen(PS_SOLID, 1, RGB(255, 0, 255)));
  SelectObject(cv.dc(), cv.Brush(RGB(0, 255, 255)));
  Rectangle(cv.dc(), 1, 1, 9, 9);
  EXPECT_EQ(cv.At(1, 1), RGB(10 ^ 255, 200, 30 ^ 255));
  EXPECT_EQ(cv.At(4, 4), RGB(10, 200 ^ 255, 30 ^ 255));
  Rectangle(cv.dc(), 1, 1, 9, 9);
  const POINT tri[] = {{0, 0}, {9, 2}, {3, 9}};
  Polygon(cv.dc(), tri, 3);
  Polygon(cv.dc(), tri, 3);
  Ellipse(cv.dc(), 0, 0, 10, 10);
  Ellipse(cv.dc(), 0, 0, 10, 10);
  EXPECT_EQ(cv.Colored(RGB(10, 200, 30)), before);
  SetROP2(cv.dc(), R2_NOT);
  SelectObject(cv.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(cv.dc(), 2, 2, 5, 5);
  EXPECT_EQ(cv.At(2, 2), RGB(245, 55, 225));
  EXPECT_EQ(cv.At(3, 3), RGB(10, 200, 30));
}

TEST(DrawRegion, FillPaintInvertAndFrameWidths) {
  Canvas cv(16, 12);
  HRGN rgn = cv.Keep(CreateRectRgn(2, 2, 12, 10));
  struct Case {
    int w, h;
    Pixels want;
  };
  const Case cases[] = {
      {1, 1, Minus(Box(2, 2, 12, 10), Box(3, 3, 11, 9))},
      {2, 1, Minus(Box(2, 2, 12, 10), Box(4, 3, 10, 9))},
      {1, 3, Minus(Box(2, 2, 12, 10), Box(3, 5, 11, 7))},
      // Frames wider than the region, negative widths included, cover all of it.
      {INT_MIN, 1, Box(2, 2, 12, 10)},
      {1, INT_MAX, Box(2, 2, 12, 10)},
  };
  for (const Case& c : cases) {
    cv.Clear(kWhite);
    ASSERT_TRUE(FrameRgn(cv.dc(), rgn, cv.Brush(kBlue), c.w, c.h));
    EXPECT_EQ(cv.Colored(kBlue), c.want) << c.w << "x" << c.h;
  }
  // The region is in logical coordinates.
  cv.Clear(kWhite);
  SetViewportOrgEx(cv.dc(), 1, 0, nullptr);
  ASSERT_TRUE(FillRgn(cv.dc(), rgn, cv.Brush(kRed)));
  EXPECT_EQ(cv.Colored(kRed), Box(3, 2, 13, 10));
  SetViewportOrgEx(cv.dc(), 0, 0, nullptr);
  cv.Clear(kWhite);
  SelectObject(cv.dc(), GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(PaintRgn(cv.dc(), rgn));
  ASSERT_TRUE(InvertRgn(cv.dc(), rgn));
  EXPECT_EQ(cv.Painted(), Pixels{});
  ASSERT_TRUE(InvertRgn(cv.dc(), rgn));
  EXPECT_EQ(cv.Colored(kBlack), Box(2, 2, 12, 10));
}

// On a monochrome bitmap a solid pen or brush is black or white by Windows' rule, which looks
// at the DC's text and background colours; SetPixel keeps taking the nearer of the two.
TEST(DrawMonochrome, SolidColoursFollowTextAndBackground) {
  const COLORREF kGrey = RGB(128, 128, 128), kLight = RGB(200, 200, 200);
  struct Case {
    COLORREF fg, bg, color;
    bool white;
  } cases[] = {
      // Text black or background white: black unless white or the background colour.
      {kBlack, kWhite, kRed, false},
      {kBlack, kWhite, kLight, false},
      {kBlack, kWhite, kWhite, true},
      {kBlack, kRed, kRed, true},
      {kBlue, kWhite, kBlue, false},
      {kBlue, kWhite, kWhite, true},
      // Otherwise: black only when black or the background colour.
      {kWhite, kBlack, kRed, true},
      {kWhite, kBlack, kBlack, false},
      {kWhite, kRed, kRed, false},
      {kWhite, kRed, kGrey, true},
      {kRed, kBlue, kBlue, false},
      {kRed, kBlue, kRed, true},
  };
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(4, 2, 1, 1, nullptr);
  HGDIOBJ old_bmp = SelectObject(dc, bmp);
  auto white_at = [&](int x, int y) { return GetPixel(dc, x, y) == kWhite; };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << "fg " << c.fg << " bg " << c.bg << " colour " << c.color);
    SetTextColor(dc, c.fg);
    SetBkColor(dc, c.bg);
    PatBlt(dc, 0, 0, 4, 2, c.white ? BLACKNESS : WHITENESS);
    HBRUSH brush = CreateSolidBrush(c.color);
    RECT rc{0, 0, 2, 1};
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    HPEN pen = CreatePen(PS_SOLID, 1, c.color);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    MoveToEx(dc, 2, 0, nullptr);
    LineTo(dc, 4, 0);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
    EXPECT_EQ(white_at(0, 0), c.white) << "brush";
    EXPECT_EQ(white_at(2, 0), c.white) << "pen";
    SetPixel(dc, 0, 1, c.color);
    EXPECT_EQ(white_at(0, 1), GetNearestColor(dc, c.color) == kWhite) << "SetPixel";
  }
  EXPECT_EQ(GetNearestColor(dc, kLight), kWhite);
  EXPECT_EQ(GetNearestColor(dc, kGrey - 0x010101), kBlack);
  SelectObject(dc, old_bmp);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(DrawHandles, StaleHandlesFail) {
  Canvas cv(8, 8);
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  RECT rc{0, 0, 4, 4};
  SetLastError(0);
  EXPECT_FALSE(LineTo(gone, 3, 3));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(Rectangle(gone, 0, 0, 4, 4));
  EXPECT_FALSE(Ellipse(gone, 0, 0, 4, 4));
  EXPECT_FALSE(FillRect(gone, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_FALSE(DrawEdge(gone, &rc, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawFocusRect(gone, &rc));
  EXPECT_FALSE(DrawFrameControl(gone, &rc, DFC_BUTTON, DFCS_BUTTONPUSH));
  HBRUSH brush = CreateSolidBrush(kRed);
  DeleteObject(brush);
  SetLastError(0);
  EXPECT_FALSE(FillRect(cv.dc(), &rc, brush));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  HRGN rgn = CreateRectRgn(0, 0, 4, 4);
  DeleteObject(rgn);
  EXPECT_FALSE(FillRgn(cv.dc(), rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_FALSE(FrameRgn(cv.dc(), rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1));
  EXPECT_FALSE(PaintRgn(cv.dc(), rgn));
  EXPECT_FALSE(InvertRgn(cv.dc(), rgn));
  EXPECT_EQ(cv.Painted(), Pixels{});
}

// DrawEdge in the classic colours: the bottom and right lines own the shared corners.
TEST(DrawEdgeTest, ClassicEdges) {
  const COLORREF W = RGB(255, 255, 255), L = RGB(212, 208, 200), S = RGB(128, 128, 128),
                 D = RGB(64, 64, 64), K = 0;
  struct Case {
    UINT edge, flags;
    COLORREF lt_out, rb_out, lt_in, rb_in;
  };
  const Case cases[] = {
      {EDGE_RAISED, BF_RECT, L, D, W, S},           {EDGE_SUNKEN, BF_RECT, S, W, D, L},
      {EDGE_ETCHED, BF_RECT, S, W, W, S},           {EDGE_BUMP, BF_RECT, L, D, D, L},
      {EDGE_RAISED, BF_RECT | BF_SOFT, W, D, L, S}, {EDGE_SUNKEN, BF_RECT | BF_SOFT, D, W, S, L},
      {BDR_RAISEDINNER, BF_RECT, W, S, kRed, kRed}, {EDGE_SUNKEN, BF_RECT | BF_FLAT, S, S, L, L},
      {EDGE_SUNKEN, BF_RECT | BF_MONO, K, K, W, W},
  };
  for (const Case& c : cases) {
    Canvas cv(8, 8);
    cv.Clear(kRed);
    RECT rc{1, 1, 7, 7};
    ASSERT_TRUE(DrawEdge(cv.dc(), &rc, c.edge, c.flags));
    EXPECT_EQ(cv.At(3, 1), c.lt_out) << c.edge << " " << c.flags;
    EXPECT_EQ(cv.At(1, 3), c.lt_out);
    EXPECT_EQ(cv.At(1, 1), c.lt_out);
    EXPECT_EQ(cv.At(6, 1), c.rb_out);  // top-right corner
    EXPECT_EQ(cv.At(1, 6), c.rb_out);  // bottom-left corner
    EXPECT_EQ(cv.At(3, 6), c.rb_out);
    EXPECT_EQ(cv.At(6, 3), c.rb_out);
    EXPECT_EQ(cv.At(3, 2), c.lt_in);
    EXPECT_EQ(cv.At(2, 3), c.lt_in);
    EXPECT_EQ(cv.At(5, 2), c.rb_in);  // inner top-right corner
    EXPECT_EQ(cv.At(3, 5), c.rb_in);
    EXPECT_EQ(cv.At(3, 3), kRed);
    EXPECT_EQ(cv.At(0, 0), kRed);
  }
}

TEST(DrawEdgeTest, MiddleAdjustAndSides) {
  Canvas cv(10, 10);
  cv.Clear(kRed);
  RECT rc{1, 1, 9, 9};
  DrawEdge(cv.dc(), &rc, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(rc.left, 3);
  EXPECT_EQ(rc.top, 3);
  EXPECT_EQ(rc.right, 7);
  EXPECT_EQ(rc.bottom, 7);
  EXPECT_EQ(cv.Colored(RGB(212, 208, 200)).count({4, 4}), 1u);
  cv.Clear(kRed);
  RECT one{1, 1, 9, 9};
  DrawEdge(cv.dc(), &one, BDR_SUNKENOUTER, BF_BOTTOM | BF_ADJUST);
  EXPECT_EQ(one.bottom, 8);
  EXPECT_EQ(one.top, 1);
  EXPECT_EQ(Minus(Box(0, 0, 10, 10), cv.Colored(kRed)), Box(1, 8, 9, 9));
  EXPECT_EQ(cv.At(4, 8), kWhite);
}

TEST(DrawFocus, DottedXorRestoresWhenDrawnTwice) {
  Canvas cv(12, 10);
  cv.Clear(RGB(192, 192, 192));
  RECT rc{2, 2, 10, 8};
  ASSERT_TRUE(DrawFocusRect(cv.dc(), &rc));
  const Pixels dots = cv.Colored(RGB(63, 63, 63));
  Pixels want;
  for (auto p : Minus(Box(2, 2, 10, 8), Box(3, 3, 9, 7)))
    if ((p.first + p.second) % 2 == 0) want.insert(p);
  EXPECT_EQ(dots, want);
  ASSERT_TRUE(DrawFocusRect(cv.dc(), &rc));
  EXPECT_EQ(cv.Colored(RGB(192, 192, 192)).size(), 120u);
}

TEST(DrawFrameControlTest, GlyphsDependOnState) {
  auto draw = [](UINT type, UINT state) {
    Canvas cv(16, 16);
    RECT rc{0, 0, 16, 16};
    EXPECT_TRUE(DrawFrameControl(cv.dc(), &rc, type, state)) << type << " " << state;
    return cv.Picture({{0, '#'},
                       {RGB(64, 64, 64), 'd'},
                       {RGB(128, 128, 128), 's'},
                       {RGB(212, 208, 200), 'f'},
                       {kWhite, 'w'}});
  };
  // A check box is a sunken well; checking adds a mark and nothing else changes around it.
  auto box = draw(DFC_BUTTON, DFCS_BUTTONCHECK),
       checked = draw(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(box[0], "sssssssssssssssw");
  EXPECT_EQ(box[1], "sdddddddddddddfw");
  EXPECT_EQ(box[8], "sdwwwwwwwwwwwwfw");
  EXPECT_NE(box, checked);
  EXPECT_EQ(box[0], checked[0]);
  int marks = 0;
  for (int y = 2; y < 14; ++y)
    marks += int(std::count(checked[y].begin() + 2, checked[y].end() - 2, '#'));
  EXPECT_EQ(marks, 7 * 3);
  // A push button is raised; pushed it sinks.
  auto up = draw(DFC_BUTTON, DFCS_BUTTONPUSH),
       down = draw(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(up[0], "wwwwwwwwwwwwwwwd");
  EXPECT_EQ(up[15], "dddddddddddddddd");
  EXPECT_EQ(down[0], "dddddddddddddddw");
  // The arrows point their way.
  auto upa = draw(DFC_SCROLL, DFCS_SCROLLUP), downa = draw(DFC_SCROLL, DFCS_SCROLLDOWN);
  auto first_dark_row_width = [](const std::vector<std::string>& pic) {
    for (int y = 3; y < 13; ++y) {
      int n = int(std::count(pic[y].begin() + 3, pic[y].end() - 3, '#'));
      if (n) return n;
    }
    return 0;
  };
  EXPECT_EQ(first_dark_row_width(upa), 1);
  EXPECT_EQ(first_dark_row_width(downa), 7);
  RECT rc{0, 0, 16, 16};
  Canvas cv(16, 16);
  EXPECT_FALSE(DrawFrameControl(cv.dc(), &rc, 99, 0));
  EXPECT_FALSE(DrawFrameControl(cv.dc(), &rc, DFC_CAPTION, 0x77));
}

TEST(DrawEdgeTest, DiagonalOfAnySizeShowsTheSameLine) {
  // A sunken "\" edge with its middle: the line on the diagonal, the inner line under it,
  // the face above; the same pixels whether the square is small or reaches far off the canvas.
  const COLORREF S = RGB(128, 128, 128), D = RGB(64, 64, 64), F = RGB(212, 208, 200);
  for (RECT rc : {RECT{0, 0, 8, 8}, RECT{-(1 << 30), -(1 << 30), 1 << 30, 1 << 30},
                  RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}}) {
    Canvas cv(8, 8);
    cv.Clear(kRed);
    ASSERT_TRUE(DrawEdge(cv.dc(), &rc, EDGE_SUNKEN, BF_DIAGONAL_ENDBOTTOMRIGHT | BF_MIDDLE));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const COLORREF want = y == x ? S : y == x + 1 ? D : y < x ? F : kRed;
        EXPECT_EQ(cv.At(x, y), want) << rc.left << ": " << x << "," << y;
      }
  }
}

TEST(DrawFrameControlTest, HugeRectanglesCostOnlyTheirVisiblePart) {
  // Every painter visits only the clip box: these would take minutes and gigabytes otherwise.
  const COLORREF F = RGB(212, 208, 200);
  const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  struct Case {
    UINT type, state;
  };
  const Case cases[] = {
      {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {DFC_SCROLL, DFCS_SCROLLUP},
      {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE},
      {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE},
      {DFC_MENU, DFCS_MENUCHECK},
  };
  for (const Case& c : cases) {
    Canvas cv(8, 8);
    RECT rc = huge;
    EXPECT_TRUE(DrawFrameControl(cv.dc(), &rc, c.type, c.state)) << c.type << " " << c.state;
  }
  // The checked dither lies on the device's checkerboard.
  Canvas cv(8, 8);
  RECT rc = huge;
  DrawFrameControl(cv.dc(), &rc, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(cv.At(x, y), (x + y) % 2 ? F : kWhite) << x << "," << y;
  // Edges at the limits of the coordinates.
  rc = huge;
  EXPECT_TRUE(DrawEdge(cv.dc(), &rc, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
  EXPECT_EQ(cv.At(3, 3), F);
}

}  // namespace
}  // namespace win
