#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/testing.h"
#include "platform/win.h"
#include "support/dib_canvas.h"

namespace {
using namespace win;

// A memory DC with its own bitmap, freed at scope end.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  Canvas(int w, int h, int bpp = 32) {
    dc = CreateCompatibleDC(nullptr);
    bmp = testsupport::SelectableBitmap(w, h, bpp);
    SelectObject(dc, bmp);
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  void Fill(COLORREF c) {
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) SetPixel(dc, x, y, c);
  }
  std::vector<COLORREF> Row(int y, int w) const {
    std::vector<COLORREF> r;
    for (int x = 0; x < w; ++x) r.push_back(GetPixel(dc, x, y));
    return r;
  }
};

// A memory DC answers for the screen it is compatible with, whatever bitmap it holds, so a
// bitmap made with its BITSPIXEL is a colour one and a pattern brush from it keeps its colour.
TEST(MemoryDC, ReportsTheScreensCapabilities) {
  HDC mem = CreateCompatibleDC(nullptr);  // still holding its 1x1 monochrome bitmap
  EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(mem, PLANES), 1);
  EXPECT_EQ(GetDeviceCaps(mem, HORZRES), GetSystemMetrics(SM_CXSCREEN));
  HBITMAP dib8 = testsupport::SelectableBitmap(4, 4, 8);
  HGDIOBJ old = SelectObject(mem, dib8);
  EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 32);
  SelectObject(mem, old);
  DeleteObject(dib8);

  HBITMAP colour = CreateBitmap(8, 8, 1, UINT(GetDeviceCaps(mem, BITSPIXEL)), nullptr);
  old = SelectObject(mem, colour);
  SetPixel(mem, 0, 0, RGB(200, 30, 40));
  SelectObject(mem, old);
  HBRUSH pattern = CreatePatternBrush(colour);
  testsupport::DibCanvas canvas(8, 8);
  RECT all{0, 0, 8, 8};
  FillRect(canvas.dc(), &all, pattern);
  EXPECT_EQ(canvas.At(0, 0), RGB(200, 30, 40));
  DeleteObject(pattern);
  DeleteObject(colour);
  DeleteDC(mem);
}

// A compatible bitmap of no size is the shared 1x1 monochrome one a memory DC starts with;
// deleting it does nothing.
TEST(MemoryDC, AnEmptyCompatibleBitmapIsTheStockOne) {
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP first = static_cast<HBITMAP>(GetCurrentObject(mem, OBJ_BITMAP));
  for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
    EXPECT_EQ(CreateCompatibleBitmap(mem, w, h), first) << w << "x" << h;
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, w, h), first) << w << "x" << h;
  }
  EXPECT_TRUE(DeleteObject(first));
  BITMAP bm;
  ASSERT_EQ(GetObject(first, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteDC(mem);
}

// A memory DC takes a device bitmap only when it is monochrome or of the screen's depth; a
// DIB section of any depth, and a bitmap made compatible with one, select.
TEST(MemoryDC, SelectsDeviceBitmapsOfTheScreensDepthOrMonochrome) {
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ first = GetCurrentObject(mem, OBJ_BITMAP);
  for (UINT bpp : {4u, 8u, 16u, 24u}) {
    HBITMAP ddb = CreateBitmap(4, 4, 1, bpp, nullptr);
    SetLastError(0);
    EXPECT_EQ(SelectObject(mem, ddb), nullptr) << bpp;
    EXPECT_EQ(GetCurrentObject(mem, OBJ_BITMAP), first) << bpp;  // unchanged
    HBITMAP dib = testsupport::SelectableBitmap(4, 4, int(bpp));
    EXPECT_EQ(SelectObject(mem, dib), first) << bpp;
    HBITMAP compatible = CreateCompatibleBitmap(mem, 3, 3);
    BITMAP bm;
    GetObject(compatible, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, bpp);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(other, compatible), nullptr) << bpp;
    DeleteDC(other);
    DeleteObject(compatible);
    SelectObject(mem, first);
    DeleteObject(dib);
    DeleteObject(ddb);
  }
  for (UINT bpp : {1u, 32u}) {
    HBITMAP ddb = CreateBitmap(4, 4, 1, bpp, nullptr);
    EXPECT_EQ(SelectObject(mem, ddb), first) << bpp;
    SelectObject(mem, first);
    DeleteObject(ddb);
  }
  DeleteDC(mem);
}

// GetClipRgn with no region to fill says only whether there is a clip region: 0 or -1.
TEST(MemoryDC, GetClipRgnAnswersLikeWindows) {
  testsupport::DibCanvas canvas(20, 20);
  HDC dc = canvas.dc();
  HRGN out = CreateRectRgn(1, 1, 2, 2);
  EXPECT_EQ(GetClipRgn(dc, nullptr), 0);
  EXPECT_EQ(GetClipRgn(dc, out), 0);
  RECT box;
  GetRgnBox(out, &box);
  EXPECT_EQ(box.left, 1);  // left alone
  IntersectClipRect(dc, 0, 0, 5, 5);
  EXPECT_EQ(GetClipRgn(dc, nullptr), -1);
  EXPECT_EQ(GetClipRgn(dc, out), 1);
  GetRgnBox(out, &box);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(GetClipRgn(reinterpret_cast<HDC>(out), nullptr), -1);  // no DC
  DeleteObject(out);
}

// On 32-bpp surfaces the raster operations work on all 32 bits, the top byte too; going
// through 24 bpp drops it.
TEST(Blit, RasterOperationsCombineAllThirtyTwoBits) {
  auto raw = [](const testsupport::DibCanvas& c) { return c.bits()[0]; };
  auto set = [](testsupport::DibCanvas& c, std::uint32_t v) { c.bits()[0] = v; };
  testsupport::DibCanvas src(1, 1), dst(1, 1);
  struct Case {
    const char* name;
    std::function<BOOL()> run;
    std::uint32_t want;
  } cases[] = {
      {"BitBlt SRCPAINT", [&] { return BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, SRCPAINT); },
       0xFFFFFFFF},
      {"StretchBlt SRCPAINT",
       [&] { return StretchBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, SRCPAINT); },
       0xFFFFFFFF},
      {"BitBlt SRCCOPY", [&] { return BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, SRCCOPY); },
       0xFEDCBA98},
      {"PatBlt DSTINVERT", [&] { return PatBlt(dst.dc(), 0, 0, 1, 1, DSTINVERT); }, 0x76543210},
      {"BitBlt DSTINVERT without a source",
       [&] { return BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT); }, 0x76543210},
  };
  for (const Case& c : cases) {
    set(src, 0xFEDCBA98);
    set(dst, 0x89ABCDEF);
    ASSERT_TRUE(c.run()) << c.name;
    EXPECT_EQ(raw(dst), c.want) << c.name;
  }
  // Through a 24-bpp DIB the top byte is gone.
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP b24 = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC mid = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mid, b24);
  set(src, 0xFEDCBA98);
  BitBlt(mid, 0, 0, 1, 1, src.dc(), 0, 0, SRCCOPY);
  BitBlt(dst.dc(), 0, 0, 1, 1, mid, 0, 0, SRCCOPY);
  EXPECT_EQ(raw(dst), 0x00DCBA98u);
  SelectObject(mid, old);
  DeleteDC(mid);
  DeleteObject(b24);
}

TEST(Blit, EveryTernaryRasterOperationFollowsItsTruthTable) {
  // With P = 0xF0, S = 0xCC and D = 0xAA in one channel, the result in that channel is the
  // operation's index itself.
  Canvas src(1, 1), dst(1, 1);
  SetPixel(src.dc, 0, 0, RGB(0, 0, 0xCC));
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0xF0));
  SelectObject(dst.dc, brush);
  for (int index = 0; index < 256; ++index) {
    SetPixel(dst.dc, 0, 0, RGB(0, 0, 0xAA));
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, DWORD(index) << 16));
    ASSERT_EQ(GetBValue(GetPixel(dst.dc, 0, 0)), index) << "rop index " << index;
  }
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}

TEST(Blit, NamedCodesAndPatBlt) {
  Canvas dst(4, 1);
  dst.Fill(RGB(0x12, 0x34, 0x56));
  EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 2, 1, DSTINVERT));
  EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(0xED, 0xCB, 0xA9));
  EXPECT_EQ(GetPixel(dst.dc, 2, 0), RGB(0x12, 0x34, 0x56));
  EXPECT_TRUE(PatBlt(dst.dc, 3, 0, -2, 1, BLACKNESS));  // negative extent at 3: [2, 4)
  EXPECT_EQ(GetPixel(dst.dc, 2, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc, 3, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0xED, 0xCB, 0xA9));
  // A null brush paints nothing.
  SelectObject(dst.dc, GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 4, 1, PATCOPY));
  EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0xED, 0xCB, 0xA9));
  EXPECT_FALSE(PatBlt(dst.dc, 0, 0, 1, 1, SRCCOPY));  // needs a source
}

TEST(Blit, StretchMapsNearestPixelsAndMirrors) {
  const COLORREF a = RGB(255, 0, 0), b = RGB(0, 255, 0), c = RGB(0, 0, 255), d = RGB(9, 9, 9);
  Canvas src(4, 1), dst(8, 1);
  SetPixel(src.dc, 0, 0, a);
  SetPixel(src.dc, 1, 0, b);
  SetPixel(src.dc, 2, 0, c);
  SetPixel(src.dc, 3, 0, d);
  SetStretchBltMode(dst.dc, COLORONCOLOR);
  struct Case {
    int x, w, sx, sw, dw;
    std::vector<COLORREF> want;
  } cases[] = {
      {0, 8, 0, 4, 8, {a, a, b, b, c, c, d, d}},  // double
      {0, 4, 0, 4, 4, {a, b, c, d}},              // identity
      {3, -4, 0, 4, 4, {d, c, b, a}},             // mirrored in place: x + w - 1, -w
      {0, 4, 3, -4, 4, {d, c, b, a}},             // mirrored source
      {0, 2, 0, 4, 2, {b, d}},                    // halve: each pixel samples its centre
      {0, 6, 0, 4, 6, {a, b, b, c, d, d}},        // 1.5x
  };
  for (auto& k : cases) {
    dst.Fill(RGB(1, 1, 1));
    ASSERT_TRUE(StretchBlt(dst.dc, k.x, 0, k.w, 1, src.dc, k.sx, 0, k.sw, 1, SRCCOPY));
    EXPECT_EQ(dst.Row(0, k.dw), k.want) << "w=" << k.w << " sw=" << k.sw;
  }
}

TEST(Blit, ShrinkingMonochromeKeepsBlackOrWhiteByMode) {
  // Pixel pairs black/white squeezed into one pixel.
  Canvas src(2, 1, 1), dst(1, 1, 1);
  SetPixel(src.dc, 0, 0, RGB(0, 0, 0));
  SetPixel(src.dc, 1, 0, RGB(255, 255, 255));
  struct Case {
    int mode;
    COLORREF want;
  } cases[] = {
      {BLACKONWHITE, RGB(0, 0, 0)},
      {WHITEONBLACK, RGB(255, 255, 255)},
  };
  for (auto& k : cases) {
    SetStretchBltMode(dst.dc, k.mode);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), k.want) << "mode " << k.mode;
  }
}

TEST(Blit, MonochromeConversionsUseTheDcColours) {
  // Colour to mono: the source DC's background colour becomes 1 (white), all else 0.
  Canvas colour(3, 1), mono(3, 1, 1);
  SetPixel(colour.dc, 0, 0, RGB(255, 0, 255));
  SetPixel(colour.dc, 1, 0, RGB(255, 255, 255));
  SetPixel(colour.dc, 2, 0, RGB(0, 0, 0));
  SetBkColor(colour.dc, RGB(255, 0, 255));
  ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 3, 1, colour.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(mono.Row(0, 3), (std::vector<COLORREF>{RGB(255, 255, 255), 0, 0}));

  // Mono to colour: 0 takes the destination's text colour, 1 its background colour.
  Canvas out(3, 1);
  SetTextColor(out.dc, RGB(10, 20, 30));
  SetBkColor(out.dc, RGB(200, 100, 50));
  ASSERT_TRUE(BitBlt(out.dc, 0, 0, 3, 1, mono.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(out.Row(0, 3),
            (std::vector<COLORREF>{RGB(200, 100, 50), RGB(10, 20, 30), RGB(10, 20, 30)}));
}

TEST(Blit, TransparentBltSkipsTheKeyColourAndStretches) {
  const COLORREF key = RGB(255, 0, 255), ink = RGB(1, 2, 3), under = RGB(50, 60, 70);
  Canvas src(2, 1), dst(4, 1);
  SetPixel(src.dc, 0, 0, key);
  SetPixel(src.dc, 1, 0, ink);
  dst.Fill(under);
  ASSERT_TRUE(TransparentBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 2, 1, key));
  EXPECT_EQ(dst.Row(0, 4), (std::vector<COLORREF>{under, under, ink, ink}));
  EXPECT_FALSE(TransparentBlt(dst.dc, 0, 0, -4, 1, src.dc, 0, 0, 2, 1, key));
}

TEST(Blit, MaskBltChoosesForegroundOrBackgroundPerMaskBit) {
  Canvas src(2, 1), dst(2, 1);
  SetPixel(src.dc, 0, 0, RGB(9, 9, 9));
  SetPixel(src.dc, 1, 0, RGB(9, 9, 9));
  dst.Fill(RGB(100, 100, 100));
  const BYTE bits[2] = {0x80, 0};  // mask: 1, 0
  HBITMAP mask = CreateBitmap(2, 1, 1, 1, bits);
  // Where the mask is 1 copy the source; where 0 keep the destination.
  ASSERT_TRUE(MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
  EXPECT_EQ(dst.Row(0, 2), (std::vector<COLORREF>{RGB(9, 9, 9), RGB(100, 100, 100)}));
  HBITMAP colour_mask = CreateBitmap(2, 1, 1, 32, nullptr);
  EXPECT_FALSE(MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, colour_mask, 0, 0, SRCCOPY));
  DeleteObject(mask);
  DeleteObject(colour_mask);
}

TEST(Blit, ClippingAndOriginsApply) {
  Canvas dst(8, 1);
  dst.Fill(RGB(0, 0, 0));
  SetViewportOrgEx(dst.dc, 2, 0, nullptr);
  IntersectClipRect(dst.dc, 0, 0, 3, 1);  // logical [0,3) = device [2,5)
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  ASSERT_TRUE(PatBlt(dst.dc, -2, 0, 8, 1, PATCOPY));
  SetViewportOrgEx(dst.dc, 0, 0, nullptr);
  SelectClipRgn(dst.dc, nullptr);
  const COLORREF w = RGB(255, 255, 255), k = 0;
  EXPECT_EQ(dst.Row(0, 8), (std::vector<COLORREF>{k, k, w, w, w, k, k, k}));
  RECT box;
  EXPECT_EQ(GetClipBox(dst.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 8);
}

TEST(Blit, PalettedDestinationTakesNearestEntries) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[2];
  } info{};
  info.h.biWidth = 2;
  info.h.biHeight = -1;
  info.h.biBitCount = 8;
  info.h.biClrUsed = 2;
  info.c[0] = {0, 0, 200, 0};  // dark red
  info.c[1] = {200, 0, 0, 0};  // dark blue
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, dib);
  Canvas src(2, 1);
  SetPixel(src.dc, 0, 0, RGB(0, 0, 255));
  SetPixel(src.dc, 1, 0, RGB(255, 30, 30));
  ASSERT_TRUE(BitBlt(dc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY));
  auto* p = static_cast<BYTE*>(bits);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 0);
  DeleteDC(dc);
  DeleteObject(dib);
}

TEST(Blit, OverlappingCopiesWithinOneBitmapReadTheOriginalPixels) {
  Canvas c(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(c.dc, x, y, RGB(BYTE(x), BYTE(y), 0));
  struct Case {
    int x, y, sx, sy;
  } cases[] = {{1, 1, 0, 0}, {0, 0, 1, 1}};
  for (auto& k : cases) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) SetPixel(c.dc, x, y, RGB(BYTE(x), BYTE(y), 0));
    ASSERT_TRUE(BitBlt(c.dc, k.x, k.y, 3, 3, c.dc, k.sx, k.sy, SRCCOPY));
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 3; ++i)
        ASSERT_EQ(GetPixel(c.dc, k.x + i, k.y + j), RGB(BYTE(k.sx + i), BYTE(k.sy + j), 0))
            << "to " << k.x << "," << k.y << " at " << i << "," << j;
  }
}

TEST(Blit, ExtremeCoordinatesAreClippedNotOverflowed) {
  Canvas src(2, 2), dst(8, 2);
  dst.Fill(RGB(0, 0, 0));
  SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(PatBlt(dst.dc, 2, 0, INT32_MAX, 1, PATCOPY));
  EXPECT_EQ(dst.Row(0, 8), (std::vector<COLORREF>{0, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                                  0xFFFFFF, 0xFFFFFF}));
  EXPECT_TRUE(BitBlt(dst.dc, -10, 0, INT32_MAX, 2, src.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, INT32_MIN, 2, src.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_TRUE(TransparentBlt(dst.dc, 0, 0, INT32_MAX, INT32_MAX, src.dc, 0, 0, 2, 2, 0));
  SetViewportOrgEx(dst.dc, 10, 10, nullptr);
  IntersectClipRect(dst.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);  // clips nothing
  RECT box;
  GetClipBox(dst.dc, &box);
  EXPECT_EQ(box.right - box.left, 8);
}

TEST(Blit, SixteenBitSourceMatchesTheBackgroundColourForMono) {
  Canvas src(2, 1, 16), mono(2, 1, 1);
  SetPixel(src.dc, 0, 0, RGB(200, 100, 50));  // not exact in 5-5-5
  SetPixel(src.dc, 1, 0, RGB(0, 0, 0));
  SetBkColor(src.dc, RGB(200, 100, 50));
  ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(mono.Row(0, 2), (std::vector<COLORREF>{RGB(255, 255, 255), 0}));
}

TEST(Blit, BadArgumentsFailCleanly) {
  Canvas dst(2, 2);
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, stale, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(stale, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 0, 0, dst.dc, 0, 0, SRCCOPY));  // nothing to do
  // A source rectangle beyond the source bitmap leaves the destination alone there.
  Canvas src(1, 1);
  SetPixel(src.dc, 0, 0, RGB(7, 7, 7));
  dst.Fill(RGB(1, 1, 1));
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.Row(0, 2), (std::vector<COLORREF>{RGB(7, 7, 7), RGB(1, 1, 1)}));
  EXPECT_EQ(CreateBitmap(0, 5, 1, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(4, 4, 1, 7, nullptr), nullptr);
}

TEST(Bitmap, DibSectionsKeepTheirRowOrderAndConvertThroughGetDIBits) {
  struct Case {
    LONG height;
    int first_row_byte_of_top;
  } cases[] = {{-2, 0}, {2, 1}};
  for (auto& k : cases) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = k.height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, dib);
    SetPixel(dc, 0, 0, RGB(0x11, 0x22, 0x33));  // top row
    auto* words = static_cast<std::uint32_t*>(bits);
    EXPECT_EQ(words[k.first_row_byte_of_top], 0x112233u) << "height " << k.height;
    // Read back as a bottom-up 24-bpp DIB: the top row is the last scan line.
    BITMAPINFO out{};
    out.bmiHeader.biWidth = 1;
    out.bmiHeader.biHeight = 2;
    out.bmiHeader.biBitCount = 24;
    BYTE buf[8] = {};
    DeleteDC(dc);
    EXPECT_EQ(GetDIBits(nullptr, dib, 0, 2, buf, &out, DIB_RGB_COLORS), 0);  // no DC: fails
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, dib, 0, 2, buf, &out, DIB_RGB_COLORS), 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(buf[4], 0x33);  // blue first
    EXPECT_EQ(buf[6], 0x11);
    DeleteObject(dib);
  }
}

}  // namespace

namespace {
using namespace win;

// Asked for a format, GetDIBits fills the header with the size of the bits in that format and
// no colour count, and writes the colour table and nothing past it.
TEST(Bitmap, GetDIBitsFillsTheHeaderForTheFormatAsked) {
  HBITMAP bmp = CreateBitmap(5, 3, 1, 32, nullptr);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD table[256];
    DWORD after;
  } info{};
  info.h.biWidth = 5;
  info.h.biHeight = 3;
  info.h.biBitCount = 8;
  info.h.biClrUsed = 77;
  info.after = 0xA5A5A5A5;
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(
      GetDIBits(screen, bmp, 0, 3, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
      1);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(info.h.biSizeImage, 8u * 3u);  // rows of 5 bytes padded to 8
  EXPECT_EQ(info.h.biClrUsed, 0u);
  EXPECT_EQ(info.after, 0xA5A5A5A5u);
  DeleteObject(bmp);
}

TEST(Bitmap, DibSectionColourTableHasOnlyTheGivenEntries) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[2];
  } info{};
  info.h.biWidth = 1;
  info.h.biHeight = 1;
  info.h.biBitCount = 4;
  info.h.biClrUsed = 2;
  info.c[0] = {0, 0, 255, 0};
  info.c[1] = {255, 255, 255, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, dib);
  RGBQUAD table[16];
  EXPECT_EQ(GetDIBColorTable(dc, 0, 16, table), 2u);
  SetPixel(dc, 0, 0, RGB(0, 0, 0));  // nearest of red and white, not a padding black
  EXPECT_EQ(static_cast<BYTE*>(bits)[0] >> 4, 0);
  DeleteDC(dc);
  DeleteObject(dib);
}

TEST(Bitmap, SetDIBitsToDeviceDrawsABandOfScanLines) {
  // A bottom-up 1x4 DIB, lines A (bottom) .. D (top); the buffer holds lines 1 and 2 only.
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = 4;
  info.bmiHeader.biBitCount = 32;
  const std::uint32_t band[2] = {0x0000B0, 0x0000C0};  // lines 1 (B) and 2 (C)
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(1, 4, 1, 32, nullptr);
  SelectObject(dc, bmp);
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 1, 4, 0, 0, 1, 2, band, &info, DIB_RGB_COLORS), 2);
  // Device rows: 0 = D (absent), 1 = C, 2 = B, 3 = A (absent).
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0xC0));
  EXPECT_EQ(GetPixel(dc, 0, 2), RGB(0, 0, 0xB0));
  EXPECT_EQ(GetPixel(dc, 0, 0), 0u);
  DeleteDC(dc);
  DeleteObject(bmp);
}

}  // namespace
