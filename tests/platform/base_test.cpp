#include <gtest/gtest.h>

#include "platform/testing.h"
#include "platform/win.h"

namespace {
using namespace win;

TEST(Geometry, MulDivRoundsHalfAwayFromZeroAndFailsOnZeroDivisor) {
  struct Case {
    int a, b, c, want;
  } cases[] = {
      {7, 1, 2, 4},   {-7, 1, 2, -4},  {5, 1, 3, 2},           {-5, 1, 3, -2},
      {1, 1, -2, -1}, {10, 10, 0, -1}, {0x7FFFFFFF, 2, 1, -1}, {0x40000000, 4, 4, 0x40000000},
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
  struct Case {
    RECT a, b, want;
    BOOL ok;
  } cases[] = {
      {{0, 0, 10, 10}, {5, -1, 11, 11}, {0, 0, 5, 10}, TRUE},   // right side cut
      {{0, 0, 10, 10}, {-1, -1, 11, 4}, {0, 4, 10, 10}, TRUE},  // top cut
      {{0, 0, 10, 10}, {2, 2, 8, 8}, {0, 0, 10, 10}, TRUE},     // hole: unchanged
      {{0, 0, 10, 10}, {-5, -5, 20, 20}, {0, 0, 0, 0}, FALSE},  // fully covered
  };
  for (auto& c : cases) {
    RECT r;
    EXPECT_EQ(SubtractRect(&r, &c.a, &c.b), c.ok);
    EXPECT_TRUE(EqualRect(&r, &c.want))
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
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
  EXPECT_TRUE(DeleteObject(brush));  // Windows allows it; the DC keeps using it
  EXPECT_FALSE(DeleteObject(bmp));   // a selected bitmap cannot be deleted
  EXPECT_TRUE(PatBlt(dc, 0, 0, 4, 4, PATCOPY));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 255));
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(bmp));
}

// Windows' conversion contract: sizes asked with a zero count, -1 taking the NUL along,
// too-small buffers refused, and code page 936 for Chinese ANSI text.
TEST(Text, CodePageConversions) {
  const char* zh = "米饭（一碗约150克）";
  int units = MultiByteToWideChar(CP_UTF8, 0, zh, -1, nullptr, 0);
  EXPECT_EQ(units, 12);  // 11 characters and the NUL
  std::u16string wide(std::size_t(units), u'\0');
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, zh, -1, wide.data(), units), units);
  EXPECT_EQ(wide, std::u16string(u"米饭（一碗约150克）", 12));
  WCHAR small[4];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, zh, -1, small, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

  char gbk[32];
  BOOL lossy = TRUE;
  int bytes =
      WideCharToMultiByte(CP_GBK, 0, wide.data(), units - 1, gbk, sizeof gbk, nullptr, &lossy);
  EXPECT_EQ(bytes, 19);  // ten two-byte characters less the three digits' one byte each
  EXPECT_FALSE(lossy);
  WCHAR back[16];
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, gbk, bytes, back, 16), units - 1);
  EXPECT_EQ(std::u16string(back, std::size_t(units - 1)), wide.substr(0, std::size_t(units - 1)));

  const WCHAR emoji[] = {u'a', 0xD83D, 0xDE00, u'b'};
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, emoji, 4, gbk, sizeof gbk, nullptr, &lossy), 3);
  EXPECT_EQ(std::string(gbk, 3), "a?b");
  EXPECT_TRUE(lossy);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, emoji, 4, nullptr, 0, nullptr, nullptr), 6);

  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, small, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Text, LstrcmpIsExactAndCaseSensitive) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"TXPButton", "TXPButton", 0},
      {"TXPButton", "txpbutton", -1},
      {"b", "a", 1},
      {"美容", "美容", 0},
      {"", "a", -1},
      {nullptr, "", -1},
      {nullptr, nullptr, 0},
  };
  for (const Case& c : cases) {
    int r = lstrcmpA(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << (c.a ? c.a : "null") << " / " << (c.b ? c.b : "null");
  }
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
