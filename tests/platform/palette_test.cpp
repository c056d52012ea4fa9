#include <gtest/gtest.h>

#include <vector>

#include "platform/testing.h"
#include "platform/win.h"

namespace {
using namespace win;

HPALETTE MakePalette(const std::vector<PALETTEENTRY>& entries) {
  std::vector<BYTE> buf(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = WORD(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) (&lp->palPalEntry[0])[i] = entries[i];
  return CreatePalette(lp);
}

PALETTEENTRY E(BYTE r, BYTE g, BYTE b) { return PALETTEENTRY{r, g, b, 0}; }
COLORREF C(const PALETTEENTRY& e) { return RGB(e.peRed, e.peGreen, e.peBlue); }

std::vector<PALETTEENTRY> Entries(HPALETTE p) {
  std::vector<PALETTEENTRY> e(GetPaletteEntries(p, 0, 0, nullptr));
  e.resize(GetPaletteEntries(p, 0, UINT(e.size()), e.data()));
  return e;
}

TEST(Palette, CreateRefusesEmptyAndOversizedPalettes) {
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
  EXPECT_EQ(MakePalette({}), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MakePalette(std::vector<PALETTEENTRY>(1025)), nullptr);
  HPALETTE big = MakePalette(std::vector<PALETTEENTRY>(1024, E(1, 2, 3)));
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(GetObjectType(big), OBJ_PAL);
  EXPECT_EQ(GetPaletteEntries(big, 0, 0, nullptr), 1024u);
  DeleteObject(big);
  // A deleted palette is a stale handle everywhere.
  EXPECT_EQ(GetPaletteEntries(big, 0, 0, nullptr), 0u);
  EXPECT_EQ(GetNearestPaletteIndex(big, 0), CLR_INVALID);
  EXPECT_FALSE(ResizePalette(big, 4));
}

TEST(Palette, NearestIndexUsesSquaredDistanceAndFirstWinsTies) {
  HPALETTE p = MakePalette({E(0, 0, 0), E(10, 10, 10), E(20, 20, 20), E(10, 10, 10), E(200, 0, 0),
                            E(100, 100, 160), E(135, 135, 100)});
  struct Case {
    COLORREF c;
    UINT index;
  } cases[] = {
      {RGB(5, 5, 5), 0},     // equally far from 0 and 1
      {RGB(15, 15, 15), 1},  // equally far from 1 and 2
      {RGB(10, 10, 10), 1},  // exact, not the later duplicate
      {RGB(255, 0, 0), 4},
      {RGB(100, 100, 100), 6},  // 35² + 35² beats 60², though 35 + 35 > 60
      {PALETTERGB(200, 0, 0), 4},
  };
  for (const auto& c : cases) EXPECT_EQ(GetNearestPaletteIndex(p, c.c), c.index) << std::hex << c.c;
  DeleteObject(p);
}

TEST(Palette, HalftonePaletteLayout) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPALETTE p = CreateHalftonePalette(dc);
  auto e = Entries(p);
  ASSERT_EQ(e.size(), 256u);
  struct Case {
    int index;
    COLORREF c;
  } cases[] = {
      {0, RGB(0, 0, 0)},         {7, RGB(192, 192, 192)},   {8, RGB(192, 220, 192)},
      {9, RGB(166, 202, 240)},   {10, RGB(0, 0, 0)},        {11, RGB(0x33, 0, 0)},
      {16, RGB(0, 0x33, 0)},     {46, RGB(0, 0, 0x33)},     {225, RGB(255, 255, 255)},
      {246, RGB(255, 251, 240)}, {247, RGB(160, 160, 164)}, {249, RGB(255, 0, 0)},
      {255, RGB(255, 255, 255)},
  };
  for (const auto& c : cases) EXPECT_EQ(C(e[c.index]), c.c) << c.index;
  // Every colour of the 6x6x6 cube is in the palette.
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) {
        COLORREF c = RGB(BYTE(r * 0x33), BYTE(g * 0x33), BYTE(b * 0x33));
        EXPECT_EQ(C(e[GetNearestPaletteIndex(p, c)]), c);
      }
  DeleteObject(p);
  DeleteDC(dc);
}

TEST(Palette, EntriesGetSetAndResize) {
  HPALETTE p = MakePalette({E(1, 1, 1), E(2, 2, 2), E(3, 3, 3)});
  PALETTEENTRY out[4] = {};
  EXPECT_EQ(GetPaletteEntries(p, 1, 4, out), 2u);  // clipped to the palette
  EXPECT_EQ(C(out[0]), RGB(2, 2, 2));
  EXPECT_EQ(C(out[1]), RGB(3, 3, 3));
  EXPECT_EQ(GetPaletteEntries(p, 3, 1, out), 0u);
  const PALETTEENTRY repl[2] = {E(9, 8, 7), E(6, 5, 4)};
  EXPECT_EQ(SetPaletteEntries(p, 2, 2, repl), 1u);
  EXPECT_EQ(SetPaletteEntries(p, 5, 1, repl), 0u);
  EXPECT_EQ(C(Entries(p)[2]), RGB(9, 8, 7));

  EXPECT_TRUE(ResizePalette(p, 5));
  auto grown = Entries(p);
  ASSERT_EQ(grown.size(), 5u);
  EXPECT_EQ(C(grown[2]), RGB(9, 8, 7));
  EXPECT_EQ(C(grown[4]), 0u);
  EXPECT_TRUE(ResizePalette(p, 1));
  EXPECT_EQ(Entries(p).size(), 1u);
  EXPECT_FALSE(ResizePalette(p, 0));
  EXPECT_FALSE(ResizePalette(p, 1025));
  EXPECT_TRUE(AnimatePalette(p, 0, 1, repl));
  DeleteObject(p);

  // The stock default palette is shared: it keeps its 20 colours.
  auto def = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(Entries(def).size(), 20u);
  EXPECT_EQ(SetPaletteEntries(def, 0, 1, repl), 0u);
  EXPECT_EQ(C(Entries(def)[0]), 0u);
}

TEST(Palette, SystemPaletteIsTheStaticColoursAroundBlack) {
  HDC dc = CreateCompatibleDC(nullptr);
  std::vector<PALETTEENTRY> e(GetSystemPaletteEntries(dc, 0, 0, nullptr));
  ASSERT_EQ(e.size(), 256u);
  EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 256, e.data()), 256u);
  EXPECT_EQ(C(e[9]), RGB(166, 202, 240));
  EXPECT_EQ(C(e[246]), RGB(255, 251, 240));
  EXPECT_EQ(C(e[255]), RGB(255, 255, 255));
  for (int i = 10; i < 246; ++i) EXPECT_EQ(C(e[i]), 0u) << i;
  EXPECT_EQ(GetSystemPaletteEntries(dc, 250, 10, e.data()), 6u);
  DeleteDC(dc);
}

TEST(Palette, SelectAndRealizeOnATrueColourDC) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPALETTE def = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  HPALETTE p = MakePalette({E(1, 2, 3)});
  EXPECT_EQ(SelectPalette(dc, p, FALSE), def);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), p);
  EXPECT_EQ(RealizePalette(dc), 0u);
  EXPECT_EQ(SelectPalette(dc, nullptr, FALSE), nullptr);  // refused, selection unchanged
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), p);
  EXPECT_EQ(SelectPalette(dc, def, TRUE), p);
  EXPECT_EQ(SelectPalette(nullptr, p, FALSE), nullptr);
  EXPECT_EQ(RealizePalette(nullptr), GDI_ERROR);
  DeleteObject(p);
  DeleteDC(dc);
}

TEST(Palette, NearestColorDependsOnTheSurface) {
  // True colour: every colour is its own nearest.
  HDC tc = CreateCompatibleDC(nullptr);
  HBITMAP tc_bmp = CreateBitmap(4, 4, 1, 32, nullptr);
  SelectObject(tc, tc_bmp);
  EXPECT_EQ(GetNearestColor(tc, RGB(12, 34, 56)), RGB(12, 34, 56));
  EXPECT_EQ(GetNearestColor(tc, PALETTERGB(12, 34, 56)), RGB(12, 34, 56));
  HPALETTE p = MakePalette({E(0, 0, 0), E(7, 8, 9)});
  SelectPalette(tc, p, FALSE);
  EXPECT_EQ(GetNearestColor(tc, PALETTEINDEX(1)), RGB(7, 8, 9));

  // A 4-bpp DIB section: the nearest colour of its table.
  std::vector<BYTE> buf(sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD));
  auto* bi = reinterpret_cast<BITMAPINFO*>(buf.data());
  bi->bmiHeader = BITMAPINFOHEADER{};
  bi->bmiHeader.biWidth = 4;
  bi->bmiHeader.biHeight = 4;
  bi->bmiHeader.biBitCount = 4;
  bi->bmiHeader.biClrUsed = 3;
  RGBQUAD* table = &bi->bmiColors[0];
  table[0] = RGBQUAD{0, 0, 0, 0};
  table[1] = RGBQUAD{0, 0, 200, 0};  // red 200
  table[2] = RGBQUAD{250, 250, 250, 0};
  HDC pal = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  SelectObject(pal, dib);
  struct Case {
    COLORREF in, out;
  } cases[] = {
      {RGB(190, 10, 10), RGB(200, 0, 0)},
      {RGB(255, 255, 255), RGB(250, 250, 250)},
      {RGB(60, 60, 60), RGB(0, 0, 0)},
      {RGB(200, 0, 0), RGB(200, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(GetNearestColor(pal, c.in), c.out) << std::hex << c.in;

  // A fresh memory DC holds the 1-bpp stock bitmap: black or white.
  HDC mono = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetNearestColor(mono, RGB(100, 100, 100)), RGB(0, 0, 0));
  EXPECT_EQ(GetNearestColor(mono, RGB(200, 200, 200)), RGB(255, 255, 255));
  EXPECT_EQ(GetNearestColor(nullptr, 0), CLR_INVALID);

  DeleteDC(mono);
  DeleteDC(pal);
  DeleteObject(dib);
  DeleteDC(tc);
  DeleteObject(tc_bmp);
  DeleteObject(p);
}

}  // namespace
