#include <gtest/gtest.h>

#include "platform/win.h"

namespace {
using namespace win;

TEST(Geometry, MulDivRoundsHalfAwayFromZeroAndFailsOnZeroDivisor) {
  struct Case { int a, b, c, want; } cases[] = {
      {7, 1, 2, 4},   {-7, 1, 2, -4}, {5, 1, 3, 2},    {-5, 1, 3, -2},  {1, 1, -2, -1},
      {10, 10, 0, -1}, {0x7FFFFFFF, 2, 1, -1},          {0x40000000, 4, 4, 0x40000000},
  };
  for (auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Geometry, RectangleHelpers) {
  RECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, r;
  EXPECT_TRUE(IntersectRect(&r, &a, &b));
  EXPECT_TRUE((EqualRect(&r, std::data({RECT{5, 5, 10, 10}}))));
  RECT far{20, 20, 30, 30};
  EXPECT_FALSE(IntersectRect(&r, &a, &far));
  EXPECT_TRUE(IsRectEmpty(&r));
  EXPECT_TRUE(UnionRect(&r, &a, &b));
  EXPECT_EQ(r.right, 15);
  RECT inverted{10, 10, 0, 0};
  EXPECT_TRUE(IsRectEmpty(&inverted));
  EXPECT_TRUE(UnionRect(&r, &inverted, &a));  // an empty rectangle adds nothing
  EXPECT_TRUE(EqualRect(&r, &a));
  EXPECT_TRUE(PtInRect(&a, {0, 0}));
  EXPECT_FALSE(PtInRect(&a, {10, 5}));  // right edge is exclusive
}

TEST(Geometry, SubtractRectOnlyCutsWholeSides) {
  struct Case { RECT a, b, want; BOOL ok; } cases[] = {
      {{0, 0, 10, 10}, {5, -1, 11, 11}, {0, 0, 5, 10}, TRUE},   // right side cut
      {{0, 0, 10, 10}, {-1, -1, 11, 4}, {0, 4, 10, 10}, TRUE},  // top cut
      {{0, 0, 10, 10}, {2, 2, 8, 8}, {0, 0, 10, 10}, TRUE},     // hole: unchanged
      {{0, 0, 10, 10}, {-5, -5, 20, 20}, {0, 0, 0, 0}, FALSE},  // fully covered
  };
  for (auto& c : cases) {
    RECT r;
    EXPECT_EQ(SubtractRect(&r, &c.a, &c.b), c.ok);
    EXPECT_TRUE(EqualRect(&r, &c.want)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(Handles, DeletedAndWrongTypedHandlesAreRefused) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  ASSERT_NE(brush, nullptr);
  // A brush is not a DC, nor a region.
  SetLastError(0);
  EXPECT_EQ(SetBkColor(reinterpret_cast<HDC>(brush), 0), CLR_INVALID);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(DeleteObject(brush));
  // The slot may be reused by a new object; the stale handle still fails.
  HBRUSH again = CreateSolidBrush(RGB(4, 5, 6));
  SetLastError(0);
  LOGBRUSH lb;
  EXPECT_EQ(GetObject(brush, sizeof lb, &lb), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(DeleteObject(brush));
  ASSERT_EQ(GetObject(again, sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
  EXPECT_TRUE(DeleteObject(again));
  // Garbage values are refused too.
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(std::uintptr_t(12345))));
  EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(Handles, StockObjectsSurviveDeletion) {
  HGDIOBJ black = GetStockObject(BLACK_BRUSH);
  EXPECT_TRUE(DeleteObject(black));
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(black, sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
}

TEST(Handles, ObjectSelectedIntoADcOutlivesItsHandle) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
  SelectObject(dc, bmp);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(dc, brush);
  EXPECT_TRUE(DeleteObject(brush));        // Windows allows it; the DC keeps using it
  EXPECT_FALSE(DeleteObject(bmp));         // a selected bitmap cannot be deleted
  EXPECT_TRUE(PatBlt(dc, 0, 0, 4, 4, PATCOPY));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 255));
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(bmp));
}

TEST(Text, Utf8Utf16RoundTripAndInvalidInput) {
  std::string s = "Vellisa 美容秘笈 \xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u);  // a surrogate pair
  struct Case { std::string in; std::u32string want; } cases[] = {
      {"a\xFF" "b", U"a\uFFFDb"},               // stray byte
      {"\xE4\xB8", U"\uFFFD"},                  // truncated sequence
      {"\xC0\xAF", U"\uFFFD\uFFFD"},            // overlong lead is invalid on its own
      {"\xED\xA0\x80", U"\uFFFD"},              // encoded surrogate
      {"\xE4\xB8" "a", U"\uFFFDa"},             // truncated, then ASCII survives
  };
  for (auto& c : cases) {
    auto got = DecodeUtf8(c.in);
    EXPECT_EQ(std::u32string(got.begin(), got.end()), c.want) << c.in;
  }
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, GbkConversionAndWidth) {
  const std::string zh = "米饭（一碗约150克）";
  std::string gbk = Utf8ToGbk(zh);
  EXPECT_EQ(int(gbk.size()), GbkWidth(zh));
  EXPECT_EQ(GbkWidth(zh), 19);
  EXPECT_EQ(GbkToUtf8(gbk), zh);
  EXPECT_EQ(GbkWidth("abc"), 3);
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");  // not representable in GBK
  EXPECT_EQ(GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");      // truncated double-byte character
}

TEST(Clock, ManualClockDrivesTickCount) {
  UseManualClock(1000);
  EXPECT_EQ(GetTickCount(), 1000u);
  AdvanceClock(250);
  EXPECT_EQ(GetTickCount(), 1250u);
  UseRealClock();
  auto a = GetTickCount64();
  EXPECT_GE(GetTickCount64(), a);
}

}  // namespace
