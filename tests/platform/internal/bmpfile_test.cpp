#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/internal/bmpfile.h"
#include "platform/gdi/internal/png.h"
#include "platform/win.h"

namespace {
using namespace win;

// A hand-built bitmap file: the header of the given size, masks where that header version
// keeps them, the colour table, then `pixels` exactly as they lie in the file.
struct Fixture {
  DWORD hsize = 40;
  LONG w = 1, h = 1;
  WORD bpp = 24;
  DWORD compression = BI_RGB;
  DWORD clr_used = 0;
  std::vector<DWORD> masks;
  std::vector<std::array<BYTE, 3>> colors;  // r, g, b
  std::vector<BYTE> pixels;
};

void Put16(std::vector<BYTE>& v, std::size_t at, DWORD x) {
  v[at] = BYTE(x);
  v[at + 1] = BYTE(x >> 8);
}
void Put32(std::vector<BYTE>& v, std::size_t at, DWORD x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

std::vector<BYTE> Build(const Fixture& f) {
  std::vector<BYTE> v(14 + f.hsize, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 14, f.hsize);
  if (f.hsize == 12) {
    Put16(v, 18, DWORD(f.w));
    Put16(v, 20, DWORD(f.h));
    Put16(v, 22, 1);
    Put16(v, 24, f.bpp);
  } else {
    Put32(v, 18, DWORD(f.w));
    Put32(v, 22, DWORD(f.h));
    Put16(v, 26, 1);
    Put16(v, 28, f.bpp);
    Put32(v, 30, f.compression);
    Put32(v, 34, DWORD(f.pixels.size()));
    Put32(v, 46, f.clr_used);
    if (f.hsize >= 52)
      for (std::size_t i = 0; i < f.masks.size() && i < 4; ++i) Put32(v, 54 + 4 * i, f.masks[i]);
  }
  if (f.hsize == 40)
    for (DWORD m : f.masks) {
      v.resize(v.size() + 4);
      Put32(v, v.size() - 4, m);
    }
  for (auto& c : f.colors) {
    v.push_back(c[2]);
    v.push_back(c[1]);
    v.push_back(c[0]);
    if (f.hsize != 12) v.push_back(0);
  }
  Put32(v, 10, DWORD(v.size()));
  v.insert(v.end(), f.pixels.begin(), f.pixels.end());
  Put32(v, 2, DWORD(v.size()));
  return v;
}

// Colours of every pixel, rows from the top.
std::vector<COLORREF> Colors(const gdi::Bitmap& b) {
  std::vector<COLORREF> out;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) out.push_back(b.ToColor(b.Get(x, y)));
  return out;
}
std::vector<std::uint32_t> Raw(const gdi::Bitmap& b) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) out.push_back(b.Get(x, y));
  return out;
}

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kBlack = 0;

struct HeaderCase {
  const char* name;
  Fixture f;
  int bpp;        // of the bitmap read
  bool top_down;  // its row order
  std::vector<COLORREF> expect;
};

TEST(BmpRead, EveryHeaderVersionAndPixelFormat) {
  // clang-format off
  const std::vector<HeaderCase> cases = {
      {"core header, 1 bpp, RGBTRIPLE table",
       {12, 3, 2, 1, BI_RGB, 0, {}, {{10, 20, 30}, {200, 100, 50}}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}},
       1, false,
       {RGB(10, 20, 30), RGB(200, 100, 50), RGB(10, 20, 30),
        RGB(200, 100, 50), RGB(10, 20, 30), RGB(200, 100, 50)}},
      {"core header, 24 bpp",
       {12, 1, 2, 24, BI_RGB, 0, {}, {}, {3, 2, 1, 0, 6, 5, 4, 0}},
       24, false, {RGB(4, 5, 6), RGB(1, 2, 3)}},
      {"info header, 8 bpp, three colours, top-down",
       {40, 3, -2, 8, BI_RGB, 3, {}, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}, {0, 1, 2, 0, 2, 2, 1, 0}},
       8, true,
       {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3), RGB(3, 3, 3), RGB(3, 3, 3), RGB(2, 2, 2)}},
      {"info header, 16 bpp x555",
       {40, 2, 1, 16, BI_RGB, 0, {}, {}, {0x00, 0x7C, 0x1F, 0x00}},
       32, false, {kRed, kBlue}},
      {"info header, 16 bpp bit fields 565 after the header",
       {40, 3, 1, 16, BI_BITFIELDS, 0, {0xF800, 0x07E0, 0x001F}, {},
        {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x84, 0, 0}},
       32, false, {kRed, kGreen, RGB(132, 130, 132)}},
      {"V2 header, 32 bpp bit fields, red and blue swapped",
       {52, 2, 1, 32, BI_BITFIELDS, 0, {0x0000FF, 0x00FF00, 0xFF0000}, {},
        {0x11, 0x22, 0x33, 0, 0xFF, 0, 0, 0}},
       32, false, {RGB(0x11, 0x22, 0x33), kRed}},
      {"V3 header, 16 bpp bit fields 444 with alpha mask",
       {56, 2, 1, 16, BI_BITFIELDS, 0, {0x0F00, 0x00F0, 0x000F, 0xF000}, {},
        {0x0F, 0xF0, 0x80, 0x0F}},
       32, false, {kBlue, RGB(0xFF, 0x88, 0)}},
      {"V4 header, 4 bpp, bottom-up",
       {108, 3, 2, 4, BI_RGB, 2, {}, {{9, 9, 9}, {7, 8, 9}}, {0x01, 0x00, 0, 0, 0x10, 0x10, 0, 0}},
       4, false, {RGB(7, 8, 9), RGB(9, 9, 9), RGB(7, 8, 9), RGB(9, 9, 9), RGB(7, 8, 9), RGB(9, 9, 9)}},
      {"V5 header, 32 bpp, top-down",
       {124, 2, -2, 32, BI_RGB, 0, {}, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 0}},
       32, true, {RGB(3, 2, 1), RGB(6, 5, 4), RGB(9, 8, 7), kBlack}},
      {"V5 header, 24 bpp, bottom-up rows padded",
       {124, 1, 2, 24, BI_RGB, 0, {}, {}, {0, 0, 255, 0, 255, 255, 255, 0}},
       24, false, {kWhite, kRed}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = Build(c.f);
    gdi::BmpResult r = gdi::ReadBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.bitmap->bpp, c.bpp);
    EXPECT_EQ(r.bitmap->top_down, c.top_down);
    EXPECT_EQ(Colors(*r.bitmap), c.expect);
  }
}

TEST(BmpRead, PalettedImagesKeepTheirIndicesAndTable) {
  Fixture f{40, 2, 1, 8, BI_RGB, 2, {}, {{10, 0, 0}, {10, 0, 0}}, {1, 0, 0, 0}};
  auto bytes = Build(f);
  auto r = gdi::ReadBmp(bytes.data(), bytes.size());
  ASSERT_TRUE(r) << r.error;
  // Equal table entries must not be merged: index 1 stays 1.
  EXPECT_EQ(Raw(*r.bitmap), (std::vector<std::uint32_t>{1, 0}));
  ASSERT_EQ(r.bitmap->colors.size(), 2u);
  EXPECT_EQ(r.bitmap->colors[1].rgbRed, 10);
}

struct RleCase {
  const char* name;
  Fixture f;
  std::vector<std::uint32_t> expect;  // palette indices, rows from the top
};

TEST(BmpRead, RunLengthEncodings) {
  std::vector<std::array<BYTE, 3>> table16;
  for (int i = 0; i < 16; ++i) table16.push_back({BYTE(i), BYTE(i), BYTE(i)});
  // clang-format off
  const std::vector<RleCase> cases = {
      {"RLE8: runs, delta within a row and down a row, absolute with padding",
       {40, 4, 3, 8, BI_RLE8, 16, {}, table16,
        {0x02, 0x05, 0x00, 0x02, 0x01, 0x00, 0x01, 0x07, 0x00, 0x00,  // bottom row
         0x00, 0x03, 0x01, 0x02, 0x03, 0x00,                          // absolute 1 2 3 + pad
         0x00, 0x02, 0x00, 0x01,                                      // delta (0, +1)
         0x01, 0x04, 0x00, 0x01}},
       {0, 0, 0, 4,  //
        1, 2, 3, 0,  //
        5, 5, 0, 7}},
      {"RLE4: alternating nibbles, odd absolute run with padding",
       {40, 5, 2, 4, BI_RLE4, 0, {}, table16,
        {0x03, 0x12, 0x02, 0xAB, 0x00, 0x00,  // 1 2 1 A B
         0x00, 0x05, 0x12, 0x34, 0x50, 0x00,  // absolute 1 2 3 4 5, 3 bytes + pad
         0x00, 0x01}},
       {1, 2, 3, 4, 5,  //
        1, 2, 1, 10, 11}},
      {"RLE8 without an end-of-bitmap code",
       {40, 2, 2, 8, BI_RLE8, 16, {}, table16, {0x02, 0x03, 0x00, 0x00, 0x01, 0x09}},
       {9, 0, 3, 3}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = Build(c.f);
    auto r = gdi::ReadBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.bitmap->bpp, c.f.bpp);
    EXPECT_FALSE(r.bitmap->top_down);
    EXPECT_EQ(Raw(*r.bitmap), c.expect);
  }
}

struct BadCase {
  const char* name;
  std::vector<BYTE> bytes;
  DWORD code;
  const char* message;  // part of the error text
};

std::vector<BYTE> Patch32(std::vector<BYTE> v, std::size_t at, DWORD x) {
  Put32(v, at, x);
  return v;
}
std::vector<BYTE> Patch16(std::vector<BYTE> v, std::size_t at, DWORD x) {
  Put16(v, at, x);
  return v;
}
std::vector<BYTE> Cut(std::vector<BYTE> v, std::size_t n) {
  v.resize(v.size() - n);
  return v;
}

TEST(BmpRead, MalformedFilesFailCleanly) {
  const auto good = Build({40, 2, 2, 24, BI_RGB, 0, {}, {}, std::vector<BYTE>(16, 0x55)});
  const auto pal8 =
      Build({40, 2, 1, 8, BI_RGB, 0, {}, std::vector<std::array<BYTE, 3>>(256), {0, 0, 0, 0}});
  auto rle8 = [](std::vector<BYTE> data) {
    return Build({40, 4, 2, 8, BI_RLE8, 2, {}, {{0, 0, 0}, {1, 1, 1}}, std::move(data)});
  };
  auto rle4 = [](std::vector<BYTE> data) {
    return Build({40, 4, 2, 4, BI_RLE4, 2, {}, {{0, 0, 0}, {1, 1, 1}}, std::move(data)});
  };
  const std::vector<BadCase> cases = {
      {"empty", {}, ERROR_BAD_FORMAT, "too short"},
      {"shorter than the file header", {'B', 'M', 0, 0, 0}, ERROR_BAD_FORMAT, "too short"},
      {"bad magic", Patch16(good, 0, 0x5842), ERROR_BAD_FORMAT, "signature"},
      {"header size 20", Patch32(good, 14, 20), ERROR_BAD_FORMAT, "header size 20"},
      {"header size huge", Patch32(good, 14, 0xFFFFFFF0u), ERROR_BAD_FORMAT, "header size"},
      {"header cut short", std::vector<BYTE>(good.begin(), good.begin() + 40), ERROR_INVALID_DATA,
       "header runs past"},
      {"width 0", Patch32(good, 18, 0), ERROR_INVALID_DATA, "width 0"},
      {"negative width", Patch32(good, 18, DWORD(-2)), ERROR_INVALID_DATA, "width -2"},
      {"width absurd", Patch32(good, 18, 70000), ERROR_INVALID_DATA, "width 70000"},
      {"height 0", Patch32(good, 22, 0), ERROR_INVALID_DATA, "height 0"},
      {"height most negative", Patch32(good, 22, 0x80000000u), ERROR_INVALID_DATA, "height"},
      {"too many bytes", Patch32(Patch32(good, 18, 60000), 22, 60000), ERROR_INVALID_DATA,
       "too large"},
      {"two planes", Patch16(good, 26, 2), ERROR_INVALID_DATA, "plane"},
      {"7 bits per pixel", Patch16(good, 28, 7), ERROR_BAD_FORMAT, "bit depth 7"},
      {"0 bits per pixel", Patch16(good, 28, 0), ERROR_BAD_FORMAT, "bit depth 0"},
      {"16 bpp in a core header", Build({12, 1, 1, 16, BI_RGB, 0, {}, {}, {0, 0, 0, 0}}),
       ERROR_BAD_FORMAT, "bit depth 16"},
      {"JPEG compression", Patch32(good, 30, BI_JPEG), ERROR_BAD_FORMAT, "compression"},
      {"unknown compression", Patch32(good, 30, 99), ERROR_BAD_FORMAT, "compression 99"},
      {"RLE8 on 24 bpp", Patch32(good, 30, BI_RLE8), ERROR_INVALID_DATA, "RLE8"},
      {"RLE4 on 8 bpp", Patch32(pal8, 30, BI_RLE4), ERROR_INVALID_DATA, "RLE4"},
      {"bit fields on 24 bpp", Patch32(good, 30, BI_BITFIELDS), ERROR_INVALID_DATA, "bit fields"},
      {"bit field masks missing",
       Cut(Build({40, 1, 1, 16, BI_BITFIELDS, 0, {0xF800, 0x07E0, 0x001F}, {}, {}}), 8),
       ERROR_INVALID_DATA, "masks"},
      {"RLE top-down", Patch32(rle8({0, 1}), 22, DWORD(-2)), ERROR_INVALID_DATA, "top-down"},
      {"more colours than the depth allows", Patch32(pal8, 46, 257), ERROR_INVALID_DATA,
       "colour count 257"},
      {"colour table past the end", std::vector<BYTE>(pal8.begin(), pal8.begin() + 600),
       ERROR_INVALID_DATA, "colour table"},
      {"pixel offset past the end", Patch32(good, 10, DWORD(good.size() + 1)), ERROR_INVALID_DATA,
       "offset"},
      {"pixel offset inside the header", Patch32(good, 10, 20), ERROR_INVALID_DATA, "offset 20"},
      {"pixel data truncated", Cut(good, 1), ERROR_INVALID_DATA, "truncated: 15 of 16"},
      {"RLE8 run past the row", rle8({0x05, 0x01}), ERROR_INVALID_DATA, "end of row 0"},
      {"RLE8 run after a delta past the row", rle8({0x00, 0x02, 0x03, 0x00, 0x02, 0x01}),
       ERROR_INVALID_DATA, "end of row 0"},
      {"RLE8 absolute run past the row", rle8({0x00, 0x05, 1, 1, 1, 1, 1, 0}), ERROR_INVALID_DATA,
       "end of row 0"},
      {"RLE8 runs below the last row", rle8({0, 0, 0, 0, 0x01, 0x01}), ERROR_INVALID_DATA,
       "below the last row"},
      {"RLE8 delta outside the image", rle8({0x00, 0x02, 0x00, 0x03}), ERROR_INVALID_DATA, "delta"},
      {"RLE8 delta cut short", rle8({0x00, 0x02, 0x01}), ERROR_INVALID_DATA, "delta ends early"},
      {"RLE8 code cut in half", rle8({0x01, 0x01, 0x02}), ERROR_INVALID_DATA, "inside a code"},
      {"RLE8 absolute run cut short", rle8({0x00, 0x04, 1, 1}), ERROR_INVALID_DATA,
       "absolute run ends early"},
      {"RLE4 run past the row", rle4({0x05, 0x11}), ERROR_INVALID_DATA, "end of row 0"},
      {"RLE4 absolute run cut short", rle4({0x00, 0x04, 0x11}), ERROR_INVALID_DATA,
       "absolute run ends early"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = gdi::ReadBmp(c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(r);
    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    SetLastError(0);
    EXPECT_EQ(LoadBitmapFromMemory(c.bytes.data(), c.bytes.size()), nullptr);
    EXPECT_EQ(GetLastError(), c.code);
    EXPECT_EQ(gdi::LastBmpError(), r.error);
  }
}

// A bitmap of every depth with a pattern that exercises row padding and the colour table.
std::shared_ptr<gdi::Bitmap> Pattern(int bpp, bool top_down) {
  auto b = gdi::NewBitmap(5, 3, bpp, top_down);
  if (bpp <= 8) {
    b->colors.clear();
    for (int i = 0; i < (1 << bpp); ++i)
      b->colors.push_back(RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 7), 0});
  }
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      b->Put(x, y,
             bpp <= 8 ? std::uint32_t(x * 3 + y) & b->RawMask()
                      : std::uint32_t(0x10203 * (x + 1) + 0x405060 * y));
  return b;
}

TEST(BmpWrite, RoundTripsEveryDepthBottomUp) {
  for (int bpp : {1, 4, 8, 24, 32})
    for (bool top_down : {true, false}) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + (top_down ? " top-down" : " bottom-up"));
      auto src = Pattern(bpp, top_down);
      std::vector<BYTE> file = gdi::EncodeBmp(*src);
      // Windows' layout: a 40-byte header, positive height, the bottom row first.
      const DWORD off = file[10] | (file[11] << 8);
      ASSERT_EQ(off, 14 + 40 + (bpp <= 8 ? 4u << bpp : 0u));
      EXPECT_EQ(file[14], 40);
      EXPECT_EQ(file[22], 3);
      EXPECT_EQ(file.size(), off + std::size_t(gdi::DibStride(5, bpp)) * 3);
      if (bpp == 8) { EXPECT_EQ(file[off], src->Get(0, 2)); }
      if (bpp == 24) { EXPECT_EQ(file[off], BYTE(src->Get(0, 2))); }
      auto back = gdi::ReadBmp(file.data(), file.size());
      ASSERT_TRUE(back) << back.error;
      EXPECT_EQ(back.bitmap->bpp, bpp);
      EXPECT_EQ(Raw(*back.bitmap), Raw(*src));
      EXPECT_EQ(back.bitmap->colors, src->colors);
    }
}

TEST(BmpWrite, SixteenBitImagesAreWrittenAsTwentyFour) {
  auto src = gdi::NewBitmap(2, 1, 16);
  src->Put(0, 0, 0x7C00);
  src->Put(1, 0, 0x001F);
  auto file = gdi::EncodeBmp(*src);
  auto back = gdi::ReadBmp(file.data(), file.size());
  ASSERT_TRUE(back) << back.error;
  EXPECT_EQ(back.bitmap->bpp, 24);
  EXPECT_EQ(Colors(*back.bitmap), (std::vector<COLORREF>{kRed, kBlue}));
}

TEST(BmpFile, WriteAndLoadThroughAPath) {
  std::string path = ::testing::TempDir() + "bmpfile_test_" + std::to_string(::getpid()) + ".bmp";
  auto src = Pattern(8, false);
  ASSERT_TRUE(gdi::WriteBmpFile(*src, path));
  HBITMAP h = LoadBitmapFromFile(path.c_str());
  ASSERT_NE(h, nullptr) << gdi::LastBmpError();
  auto loaded = gdi::FindBitmap(h);
  EXPECT_EQ(Raw(*loaded), Raw(*src));
  DeleteObject(h);
  std::remove(path.c_str());

  EXPECT_EQ(LoadBitmapFromFile(path.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(gdi::LastBmpError().find(path), std::string::npos);
}

TEST(Png, WritesTwentyFourBitRgbFromAnyDepth) {
  auto pal = gdi::NewBitmap(3, 2, 4);
  pal->colors[1] = RGBQUAD{30, 20, 10, 0};
  pal->Put(1, 0, 1);
  pal->Put(2, 1, 15);  // white in the default table
  auto tc = gdi::NewBitmap(3, 2, 32, false);
  tc->Put(1, 0, gdi::ColorToRgb(RGB(10, 20, 30)));
  tc->Put(2, 1, 0xFFFFFF);
  const std::vector<BYTE> expect = {0, 0, 0, 10, 20, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255};
  for (auto* b : {pal.get(), tc.get()}) {
    std::vector<BYTE> bytes;
    ASSERT_TRUE(gdi::WritePng(*b, &bytes));
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&img, bytes.data(), bytes.size()));
    EXPECT_EQ(img.width, 3u);
    EXPECT_EQ(img.height, 2u);
    EXPECT_EQ(img.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    img.format = PNG_FORMAT_RGB;
    std::vector<BYTE> px(PNG_IMAGE_SIZE(img));
    ASSERT_TRUE(png_image_finish_read(&img, nullptr, px.data(), 0, nullptr));
    EXPECT_EQ(px, expect);
  }
  gdi::Bitmap empty;
  std::vector<BYTE> bytes;
  EXPECT_FALSE(gdi::WritePng(empty, &bytes));
  EXPECT_FALSE(gdi::WritePng(*tc, std::string("/nonexistent-dir/x.png")));
}

}  // namespace
