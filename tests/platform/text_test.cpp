#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/win.h"
#include "support/dib_canvas.h"
#include "support/geometry.h"

namespace win {
namespace {

const char* const kSong = "宋体";
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kGreen = RGB(0, 255, 0);

HFONT MakeFont(const char* face, int height, int weight = FW_NORMAL, bool underline = false) {
  return CreateFont(height, 0, 0, 0, weight, 0, underline, 0, GB2312_CHARSET, 0, 0, 0, 0, face);
}

// A white 32-bpp canvas in a memory DC, black text, transparent background, 宋体 -12.
class TextTest : public ::testing::Test {
 protected:
  static constexpr int W = 320, H = 120;
  void SetUp() override {
    canvas = std::make_unique<testsupport::DibCanvas>(W, H);
    dc = canvas->dc();
    Clear();
    SetTextColor(dc, kBlack);
    SetBkMode(dc, TRANSPARENT);
    Use(MakeFont(kSong, -12));
  }
  void TearDown() override {
    canvas.reset();
    for (HFONT f : fonts) DeleteObject(f);
  }
  void Use(HFONT f) {
    fonts.push_back(f);
    SelectObject(dc, f);
  }
  void Clear() { canvas->Fill(kWhite); }
  COLORREF At(int x, int y) { return GetPixel(dc, x, y); }
  // Bounding box of every pixel that is not white (empty rect when none).
  RECT Ink(COLORREF except = kWhite) {
    RECT r{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y) != except) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    if (r.left >= r.right) r = RECT{};
    return r;
  }
  // Bounding box of pixels of exactly colour `c`.
  RECT Box(COLORREF c) {
    RECT r{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (At(x, y) == c) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    if (r.left >= r.right) r = RECT{};
    return r;
  }
  SIZE Extent(const char* s) {
    SIZE sz{};
    EXPECT_TRUE(GetTextExtentPoint32(dc, s, int(std::strlen(s)), &sz));
    return sz;
  }
  RECT Calc(const char* s, RECT rc, UINT fmt) {
    DrawText(dc, s, -1, &rc, fmt | DT_CALCRECT);
    return rc;
  }
  TEXTMETRICA Metrics() {
    TEXTMETRICA tm;
    EXPECT_TRUE(GetTextMetrics(dc, &tm));
    return tm;
  }

  std::unique_ptr<testsupport::DibCanvas> canvas;
  HDC dc = nullptr;
  std::vector<HFONT> fonts;
};

// Nothing to measure or draw: Windows' answers.
TEST_F(TextTest, EmptyTextMeasuresAndDrawsNothing) {
  SIZE sz{7, 7};
  EXPECT_TRUE(GetTextExtentPoint32(dc, "abc", 0, &sz));
  EXPECT_EQ(sz.cx, 0);
  EXPECT_EQ(sz.cy, 0);
  sz = {7, 7};
  EXPECT_TRUE(GetTextExtentPoint32W(dc, u"abc", 0, &sz));
  EXPECT_EQ(sz.cx + sz.cy, 0);
  for (UINT fmt : {UINT(0), UINT(DT_CALCRECT), UINT(DT_CALCRECT | DT_SINGLELINE)}) {
    RECT rc{10, 20, 110, 60};
    EXPECT_EQ(DrawText(dc, "abc", 0, &rc, fmt), 0) << fmt;
    EXPECT_EQ(rc, (RECT{10, 20, 110, 60})) << fmt;  // left alone
  }
  // An empty string to its NUL is one empty line: no width, yet the line's height.
  RECT rc{10, 20, 110, 60};
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  EXPECT_EQ(DrawText(dc, "", -1, &rc, DT_CALCRECT), tm.tmHeight);
  EXPECT_EQ(RectWidth(rc), 0);
  EXPECT_EQ(Ink(), RECT{});
}

TEST_F(TextTest, HeightRulesAndMetricsHoldTogether) {
  struct Case {
    const char* face;
    int height;
    int want_height;
    int want_em;
  };
  const Case cases[] = {
      {kSong, -12, 12, 12},
      {kSong, -13, 13, 13},
      {kSong, 12, 12, 12},
      {kSong, 0, 12, 12},
      {kSong, -64, 64, 64},
      {"楷体_GB2312", -16, 16, 16},
      // Latin faces carry internal leading: a character height is less than the cell.
      {"MS Sans Serif", -11, -1, 11},
      {"Tahoma", 16, 16, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.height));
    Use(MakeFont(c.face, c.height));
    TEXTMETRICA tm = Metrics();
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    if (c.want_height > 0) { EXPECT_EQ(tm.tmHeight, c.want_height); }
    if (c.want_em > 0) { EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, c.want_em); }
    if (c.want_height < 0) { EXPECT_GT(tm.tmInternalLeading, 0); }
    EXPECT_EQ(Extent("Mg").cy, tm.tmHeight);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  }
}

// Heights beyond the largest size clamp to it, INT_MIN included.
TEST_F(TextTest, ExtremeHeightsClamp) {
  Use(MakeFont(kSong, -2048));
  const int want = Metrics().tmHeight;
  for (int h : {INT_MIN, INT_MIN + 1, -100000}) {
    SCOPED_TRACE(h);
    Use(MakeFont(kSong, h));
    EXPECT_EQ(Metrics().tmHeight, want);
  }
}

TEST_F(TextTest, SongTwelveIsTheBitmapCell) {
  TEXTMETRICA tm = Metrics();
  EXPECT_EQ(tm.tmHeight, 12);
  EXPECT_EQ(tm.tmAscent, 10);
  EXPECT_EQ(tm.tmInternalLeading, 0);
  EXPECT_EQ(tm.tmAveCharWidth, 6);
  EXPECT_EQ(tm.tmCharSet, GB2312_CHARSET);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  // Chinese characters are one em wide, Latin ones half.
  EXPECT_EQ(Extent("中").cx, 12);
  EXPECT_EQ(Extent("中文，").cx, 36);
  EXPECT_EQ(Extent("Ab1").cx, 18);
  INT widths[3];
  ASSERT_TRUE(GetCharWidth32(dc, 0x4E2D, 0x4E2F, widths));
  EXPECT_EQ(widths[0], 12);
  char face[32];
  EXPECT_EQ(GetTextFace(dc, sizeof face, face), int(std::strlen(kSong)) + 1);
  EXPECT_STREQ(face, kSong);
  // The count is bytes: the first three bytes are "中".
  SIZE sz;
  ASSERT_TRUE(GetTextExtentPoint32(dc, "中文", 3, &sz));
  EXPECT_EQ(sz.cx, 12);
  EXPECT_TRUE(GetTextExtentPoint32W(dc, u"中文ab", 4, &sz));
  EXPECT_EQ(sz.cx, 36);
  SetTextCharacterExtra(dc, 3);
  EXPECT_EQ(Extent("中文").cx, 30);
}

TEST_F(TextTest, MissingGlyphsFallBackToAFaceThatHasThem) {
  Use(MakeFont("Tahoma", -16));  // DejaVu has no Chinese
  TextOut(dc, 2, 2, "中", 3);
  RECT ink = Ink();
  EXPECT_GT(RectWidth(ink), 8);
  EXPECT_GT(RectHeight(ink), 8);
  EXPECT_EQ(Extent("中").cx, 16);
}

TEST_F(TextTest, BitmapSizesAreCrispLargerSizesSmooth) {
  struct Case {
    int height;
    bool crisp;
  };
  for (Case c : {Case{-12, true}, Case{-13, true}, Case{-16, true}, Case{-21, false}}) {
    SCOPED_TRACE(c.height);
    Use(MakeFont(kSong, c.height));
    Clear();
    TextOut(dc, 2, 2, "女性生活", 12);
    std::set<COLORREF> colours;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 120; ++x) colours.insert(At(x, y));
    EXPECT_TRUE(colours.count(kBlack));
    if (c.crisp) {
      EXPECT_EQ(colours, (std::set<COLORREF>{kBlack, kWhite}));
    } else {
      EXPECT_GT(colours.size(), 2u);
    }
  }
}

TEST_F(TextTest, DrawsIntoEveryPixelFormat) {
  for (int bpp : {1, 4, 8, 16, 24}) {
    SCOPED_TRACE(bpp);
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP b = testsupport::SelectableBitmap(40, 20, bpp);
    SelectObject(mem, b);
    SetBkColor(mem, kWhite);
    RECT all{0, 0, 40, 20};
    ExtTextOut(mem, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    SelectObject(mem, fonts[0]);
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, kBlack);
    TextOut(mem, 2, 2, "中", 3);
    std::set<COLORREF> colours;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) colours.insert(GetPixel(mem, x, y));
    EXPECT_EQ(colours, (std::set<COLORREF>{kBlack, kWhite}));
    DeleteDC(mem);
    DeleteObject(b);
  }
}

TEST_F(TextTest, UnderlineAndStrikeOutSpanTheText) {
  Use(CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 1, 1, GB2312_CHARSET, 0, 0, 0, 0, kSong));
  TEXTMETRICA tm = Metrics();
  EXPECT_EQ(tm.tmUnderlined, 1);
  EXPECT_EQ(tm.tmStruckOut, 1);
  TextOut(dc, 10, 0, "ab", 2);
  auto full_row = [&](int y) {
    int n = 0;
    for (int x = 0; x < W; ++x) n += At(x, y) == kBlack;
    return n == 12 && At(10, y) == kBlack && At(21, y) == kBlack;
  };
  EXPECT_TRUE(full_row(11));  // under the baseline, in the descent
  int struck = 0;
  for (int y = 0; y < 10; ++y) struck += full_row(y);
  EXPECT_EQ(struck, 1);
}

TEST_F(TextTest, BoldWidensByAPixel) {
  Use(MakeFont(kSong, -12, FW_BOLD));
  EXPECT_EQ(Metrics().tmWeight, FW_BOLD);
  EXPECT_EQ(Extent("中").cx, 13);
  TextOut(dc, 0, 0, "中", 3);
  std::set<COLORREF> colours;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 14; ++x) colours.insert(At(x, y));
  EXPECT_EQ(colours, (std::set<COLORREF>{kBlack, kWhite}));
}

TEST_F(TextTest, TextOutAlignmentAndCurrentPosition) {
  // The opaque background shows the text cell exactly.
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kGreen);
  struct Case {
    UINT align;
    int x, y;
    RECT cell;
  };
  const Case cases[] = {
      {TA_LEFT | TA_TOP, 40, 10, {40, 10, 64, 22}},
      {TA_RIGHT | TA_TOP, 40, 10, {16, 10, 40, 22}},
      {TA_CENTER | TA_TOP, 40, 10, {28, 10, 52, 22}},
      {TA_LEFT | TA_BASELINE, 40, 30, {40, 20, 64, 32}},
      {TA_LEFT | TA_BOTTOM, 40, 30, {40, 18, 64, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align);
    Clear();
    SetTextAlign(dc, c.align);
    TextOut(dc, c.x, c.y, "中文", 6);
    RECT ink = Ink();
    EXPECT_EQ(ink.left, c.cell.left);
    EXPECT_EQ(ink.top, c.cell.top);
    EXPECT_EQ(ink.right, c.cell.right);
    EXPECT_EQ(ink.bottom, c.cell.bottom);
  }
  Clear();
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, 10, 5, nullptr);
  TextOut(dc, 200, 200, "中文", 6);  // the point is ignored
  TextOut(dc, 0, 0, "ab", 2);
  POINT cp;
  GetCurrentPositionEx(dc, &cp);
  EXPECT_EQ(cp.x, 10 + 24 + 12);
  EXPECT_EQ(cp.y, 5);
  RECT ink = Ink();
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.right, 46);
  EXPECT_EQ(ink.top, 5);
  SetTextAlign(dc, TA_UPDATECP | TA_RIGHT);
  TextOut(dc, 0, 0, "ab", 2);
  GetCurrentPositionEx(dc, &cp);
  EXPECT_EQ(cp.x, 46 - 12);
  // At the ends of the coordinate range nothing shows and the position saturates.
  Clear();
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, INT_MAX - 5, INT_MAX, nullptr);
  EXPECT_TRUE(TextOut(dc, 0, 0, "ab", 2));
  GetCurrentPositionEx(dc, &cp);
  EXPECT_EQ(cp.x, INT_MAX);
  SetTextAlign(dc, TA_BOTTOM);
  EXPECT_TRUE(TextOut(dc, 0, INT_MIN, "ab", 2));
  EXPECT_EQ(RectWidth(Ink()), 0);
}

TEST_F(TextTest, ExtTextOutOpaqueClipAndWidths) {
  SetBkColor(dc, kGreen);
  RECT rc{10, 10, 30, 40};
  // ETO_OPAQUE fills the rectangle whatever the mode; ETO_CLIPPED keeps the glyphs in it.
  ExtTextOut(dc, 10, 10, ETO_OPAQUE | ETO_CLIPPED, &rc, "中文中文", 12, nullptr);
  RECT ink = Ink();
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 10);
  EXPECT_EQ(ink.right, 30);
  EXPECT_EQ(ink.bottom, 40);
  EXPECT_EQ(At(10, 35), kGreen);
  // One width per byte; a character takes the sum of its bytes' widths.
  Clear();
  const INT dx[6] = {20, 0, 0, 20, 0, 0};
  ExtTextOut(dc, 0, 50, 0, nullptr, "中中", 6, dx);
  bool gap_clear = true, second = false;
  for (int y = 50; y < 62; ++y) {
    for (int x = 12; x < 20; ++x) gap_clear &= At(x, y) == kWhite;
    for (int x = 20; x < 32; ++x) second |= At(x, y) == kBlack;
  }
  EXPECT_TRUE(gap_clear);
  EXPECT_TRUE(second);
  // Empty text draws nothing; a bad handle fails.
  Clear();
  EXPECT_TRUE(TextOut(dc, 0, 0, "", 0));
  EXPECT_EQ(RectWidth(Ink()), 0);
  EXPECT_FALSE(TextOut(reinterpret_cast<HDC>(std::uintptr_t(0x7777777)), 0, 0, "a", 1));
  TEXTMETRICA tm;
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
}

TEST_F(TextTest, WordBreakKeepsChinesePunctuationRules) {
  struct Case {
    const char* text;
    int width;
    UINT extra;
    int right;
    int lines;
  };
  const Case cases[] = {
      // Eight characters fit in 96 px; "，" may not start the second line, so "八" goes with it.
      {"一二三四五六七八，九十", 96, 0, 84, 2},
      // An opening bracket may not end a line.
      {"一二三四五六七（八九", 96, 0, 84, 2},
      {"一二三四五六七八九十", 96, 0, 96, 2},
      {"一二三四五六七八九十", 96, DT_NOFULLWIDTHCHARBREAK, 120, 1},
      // Latin text breaks at spaces; the break's spaces are not part of either line.
      {"aaaa bbbb", 30, 0, 24, 2},
      {"aaaa 中文", 30, 0, 24, 2},
      // Between Latin and Chinese a line may break too.
      {"abc中文字", 48, 0, 42, 2},
      // A word longer than the line overflows, unless breaking like an edit control.
      {"aaaaaaaaaa", 30, 0, 60, 1},
      {"aaaaaaaaaa", 30, DT_EDITCONTROL, 30, 2},
      {"ab\r\ncd\nef\rgh", 300, 0, 12, 4},
      {"ab\r\n", 300, 0, 12, 1},
      {"ab\r\ncd", 300, DT_SINGLELINE, 24, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    RECT r = Calc(c.text, RECT{5, 7, 5 + c.width, 100}, DT_WORDBREAK | c.extra);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right - r.left, c.right);
    EXPECT_EQ(r.bottom - r.top, 12 * c.lines);
  }
  // A long paragraph wraps at the width and no line begins with "，" or "。".
  // Eight characters to a line would start lines with "，" and "。".
  const char* para = "女性在日常生活中，应当注意饮食均衡。适量运动和充足睡眠，对健康很重要。";
  RECT rc{0, 0, 96, H};
  int h = DrawText(dc, para, -1, &rc, DT_WORDBREAK);
  RECT calc = Calc(para, RECT{0, 0, 96, H}, DT_WORDBREAK);
  EXPECT_EQ(h, calc.bottom);
  EXPECT_EQ(h, 5 * 12);
  EXPECT_LE(calc.right, 96);
  EXPECT_LE(Ink().right, 96);
  // Each line is one cell high: a line's first column is ink when it starts with a full
  // character, and "，" sits low-left, never in the top half of a first cell.
  for (int line = 0; line * 12 < h; ++line) {
    bool top_half_ink = false;
    for (int y = line * 12; y < line * 12 + 6; ++y)
      for (int x = 0; x < 12; ++x) top_half_ink |= At(x, y) != kWhite;
    EXPECT_TRUE(top_half_ink) << "line " << line << " starts with punctuation";
  }
}

TEST_F(TextTest, EllipsesFitAndEndWithDots) {
  char buf[128];
  std::strcpy(buf, "女性生活百科全书，每日一读");
  RECT rc{0, 0, 80, 20};
  DrawTextEx(dc, buf, -1, &rc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  std::string shown = buf;
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  EXPECT_EQ(shown, "女性生活百...");  // 5 * 12 + 18 = 78 <= 80
  EXPECT_LE(Ink().right, 80);

  char16_t wide[32] = u"女性生活百科全书，每日一读";
  rc = RECT{0, 0, 80, 20};
  DrawTextExW(dc, wide, -1, &rc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_EQ(std::u16string(wide), u"女性生活百...");

  std::strcpy(buf, "C:\\Data\\Recipes\\soup.txt");
  rc = RECT{0, 0, 100, 20};
  DrawTextEx(dc, buf, -1, &rc, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  shown = buf;
  EXPECT_EQ(shown, "C:\\D...\\soup.txt");  // 16 half-width characters = 96 px
  // Text that fits is left alone.
  std::strcpy(buf, "短");
  DrawTextEx(dc, buf, -1, &rc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buf, "短");

  // Only the ellipsised line changes; the other lines and their line ends stay as they
  // were, and nothing is written past the four spare bytes the caller has.
  const std::string lines = "a\nb\nc\nd\ne\nf\nabcdefghijkl";
  std::memset(buf, '#', sizeof buf);
  std::memcpy(buf, lines.data(), lines.size());
  rc = RECT{0, 0, 66, H};  // 8 of the last line's characters and "..." fill 66 px
  DrawTextEx(dc, buf, int(lines.size()), &rc, DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buf, "a\nb\nc\nd\ne\nf\nabcdefgh...");
  EXPECT_EQ(buf[lines.size() + 4], '#');
}

TEST_F(TextTest, PrefixUnderlinesTheNextCharacter) {
  RECT rc{0, 0, 200, 20};
  // Row 11 is the underline row of the 12-pixel cell: under "F" only.
  DrawText(dc, "&File", -1, &rc, DT_SINGLELINE);
  auto row = [&](int y) {
    std::string s;
    for (int x = 0; x < 30; ++x) s += At(x, y) == kBlack ? '#' : '.';
    return s;
  };
  EXPECT_EQ(row(11), "######........................");
  Clear();
  DrawText(dc, "Fi&le", -1, &rc, DT_SINGLELINE);
  EXPECT_EQ(row(11), "............######............");
  Clear();
  DrawText(dc, "&File", -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(row(11), std::string(30, '.'));
  Clear();
  DrawText(dc, "&File", -1, &rc, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(row(11), std::string(30, '.'));
  EXPECT_EQ(RectWidth(Ink()) > 0, true);
  Clear();
  DrawText(dc, "&File", -1, &rc, DT_SINGLELINE | DT_PREFIXONLY);
  EXPECT_EQ(Ink().top, 11);
  EXPECT_EQ(Ink().right, 6);

  struct Case {
    const char* text;
    UINT fmt;
    int width;
  };
  for (Case c : {Case{"&File", 0, 24}, Case{"&File", DT_NOPREFIX, 30}, Case{"A&&B", 0, 18},
                 Case{"文件(&F)", 0, 42}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RectWidth(Calc(c.text, RECT{0, 0, 200, 20}, DT_SINGLELINE | c.fmt)), c.width);
  }
}

TEST_F(TextTest, CalcRectAndReturnedHeights) {
  RECT r = Calc("中文abc", RECT{10, 20, 300, 300}, DT_SINGLELINE);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 10 + 42);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.bottom, 32);
  RECT w{10, 20, 300, 300};
  EXPECT_EQ(DrawTextW(dc, u"中文abc", -1, &w, DT_SINGLELINE | DT_CALCRECT), 12);
  EXPECT_EQ(w.right, 10 + 42);
  r = Calc("a\nbb\nccc", RECT{0, 0, 300, 300}, 0);
  EXPECT_EQ(r.right, 18);
  EXPECT_EQ(r.bottom, 36);
  // Empty text measures no height unless it is laid out as a single line, yet answers the
  // line's height either way.
  RECT e{3, 4, 50, 60};
  EXPECT_EQ(DrawText(dc, "", -1, &e, DT_CALCRECT), 12);
  EXPECT_EQ(e.right, 3);
  EXPECT_EQ(e.bottom, 4);
  e = RECT{3, 4, 50, 60};
  EXPECT_EQ(DrawText(dc, "", -1, &e, DT_CALCRECT | DT_SINGLELINE), 12);
  EXPECT_EQ(e.right, 3);
  EXPECT_EQ(e.bottom, 16);
  RECT d{3, 4, 50, 60};
  EXPECT_EQ(DrawText(dc, "", 0, &d, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
  EXPECT_EQ(RectWidth(Ink()), 0);
  // Tabs: eight average characters, or what DT_TABSTOP or the parameters say.
  EXPECT_EQ(RectWidth(Calc("a\tb", RECT{0, 0, 300, 300}, DT_EXPANDTABS)), 54);
  // DT_TABSTOP's count takes the bits of DT_CALCRECT, so the cell shows the width.
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kGreen);
  RECT t{0, 0, 300, 300};
  DrawText(dc, "a\tb", -1, &t, DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  EXPECT_EQ(RectWidth(Ink()), 30);
  SetBkMode(dc, TRANSPARENT);
  char tab[] = "a\tb";
  DRAWTEXTPARAMS p;
  p.iTabLength = 2;
  p.iLeftMargin = 5;
  p.iRightMargin = 7;
  RECT m{0, 0, 300, 300};
  DrawTextEx(dc, tab, -1, &m, DT_EXPANDTABS | DT_CALCRECT, &p);
  EXPECT_EQ(m.right, 5 + 18 + 7);
  // Invalid UTF-8 measures as U+FFFD.
  EXPECT_EQ(RectWidth(Calc("\xFF", RECT{0, 0, 300, 300}, 0)),
            RectWidth(Calc("\xEF\xBF\xBD", RECT{0, 0, 300, 300}, 0)));
  EXPECT_GT(RectWidth(Calc("\xFF", RECT{0, 0, 300, 300}, 0)), 0);
  DrawTextEx(dc, tab, -1, &m, DT_EXPANDTABS, &p);
  EXPECT_EQ(p.uiLengthDrawn, 3u);
}

TEST_F(TextTest, AlignmentPlacesTheLine) {
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kGreen);
  const RECT rc{20, 10, 120, 50};  // 100 x 40; "中文" is 24 x 12
  struct Case {
    UINT fmt;
    RECT cell;
    int ret;
  };
  const Case cases[] = {
      {DT_LEFT, {20, 10, 44, 22}, 12},
      {DT_RIGHT, {96, 10, 120, 22}, 12},
      {DT_CENTER, {58, 10, 82, 22}, 12},
      {DT_RTLREADING, {96, 10, 120, 22}, 12},
      {DT_SINGLELINE | DT_VCENTER | DT_CENTER, {58, 24, 82, 36}, 26},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, {96, 38, 120, 50}, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fmt);
    Clear();
    RECT r = rc;
    EXPECT_EQ(DrawText(dc, "中文", -1, &r, c.fmt), c.ret);
    RECT ink = Ink();
    EXPECT_EQ(ink.left, c.cell.left);
    EXPECT_EQ(ink.top, c.cell.top);
    EXPECT_EQ(ink.right, c.cell.right);
    EXPECT_EQ(ink.bottom, c.cell.bottom);
  }
  // Clipped to the rectangle unless DT_NOCLIP.
  Clear();
  RECT small{0, 0, 10, 10};
  DrawText(dc, "中文", -1, &small, DT_SINGLELINE);
  EXPECT_EQ(Ink().right, 10);
  EXPECT_EQ(Ink().bottom, 10);
  Clear();
  DrawText(dc, "中文", -1, &small, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(Ink().right, 24);
  EXPECT_EQ(Ink().bottom, 12);
}

TEST_F(TextTest, TabbedText) {
  EXPECT_EQ(GetTabbedTextExtent(dc, "a\tb", -1, 0, nullptr), DWORD(54 | (12 << 16)));
  const INT one[] = {20};
  EXPECT_EQ(GetTabbedTextExtent(dc, "a\tb", -1, 1, one) & 0xFFFF, 26u);
  const INT stops[] = {10, 40};
  EXPECT_EQ(GetTabbedTextExtent(dc, "a\tb\tc", -1, 2, stops) & 0xFFFF, 46u);
  // A stop of INT_MIN lies at 2^31; the width wraps in the low word like Windows' WORD.
  const INT far_stops[] = {10, INT_MIN};
  EXPECT_EQ(GetTabbedTextExtent(dc, "a\tb\tc", -1, 2, far_stops) & 0xFFFF, 6u);
  LONG r = TabbedTextOut(dc, 5, 0, "a\tb", -1, 1, one, 5);
  EXPECT_EQ(r & 0xFFFF, 26);
  // "b" starts at the stop, 20 pixels from the origin.
  bool b_ink = false;
  for (int y = 0; y < 12; ++y)
    for (int x = 25; x < 31; ++x) b_ink |= At(x, y) == kBlack;
  EXPECT_TRUE(b_ink);
}

TEST_F(TextTest, AFaceWeDoNotHaveStillShowsChinese) {
  // The best match with Chinese coverage stands in.
  Use(MakeFont("NoSuchFaceAnywhere", -16));
  EXPECT_GT(Extent("中").cx, 0);
  TextOut(dc, 2, 2, "中", 3);
  EXPECT_GT(RectWidth(Ink()), 4);
}

}  // namespace

}  // namespace win
