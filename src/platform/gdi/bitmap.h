#pragma once
// Bitmaps: device-dependent (top-down, 32 bpp on the true-colour screen, or any depth) and
// DIB sections, with raw pixel access for the blitters and the framework.
#include <memory>
#include <vector>

#include "platform/base/handles.h"
#include "platform/base/types.h"

namespace win {

constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;

struct RGBQUAD { BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0; };
// Colour-table entries compare by colour; the reserved byte carries nothing.
inline bool operator==(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}
struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};
struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
};

namespace gdi {

// The largest bitmap we agree to allocate: far beyond any window, small enough that a
// corrupt size in a file fails cleanly instead of exhausting memory.
constexpr std::int64_t kMaxBitmapBytes = std::int64_t(1) << 30;
constexpr int kMaxBitmapSide = 1 << 16;

struct Bitmap : HandleObject {
  int width = 0;
  int height = 0;
  int bpp = 32;
  int stride = 0;          // bytes per row, rounded up to 4 like a DIB
  bool top_down = true;    // row order in memory
  bool dib = false;        // created by CreateDIBSection
  std::vector<BYTE> storage;
  std::vector<RGBQUAD> colors;  // colour table for 1, 4 and 8 bpp
  void* selected_in = nullptr;  // the memory DC that holds it, if any

  BYTE* Row(int y) { return storage.data() + std::size_t(top_down ? y : height - 1 - y) * stride; }
  const BYTE* Row(int y) const {
    return storage.data() + std::size_t(top_down ? y : height - 1 - y) * stride;
  }
  // Raw pixel values: palette index for 1/4/8 bpp, 0x00RRGGBB for 24/32 bpp, x555 for 16.
  std::uint32_t Get(int x, int y) const;
  void Put(int x, int y, std::uint32_t raw);
  std::uint32_t RawMask() const { return bpp >= 32 ? 0xFFFFFFFFu : (1u << bpp) - 1; }
  bool Paletted() const { return bpp <= 8; }
  std::uint32_t FromColor(COLORREF c) const;   // nearest palette entry for paletted bitmaps
  COLORREF ToColor(std::uint32_t raw) const;
};

// Validated allocation; null (with ERROR_INVALID_PARAMETER or ERROR_NOT_ENOUGH_MEMORY) for
// zero, negative or absurd sizes and unsupported depths.
std::shared_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool top_down = true);
HBITMAP AddBitmap(std::shared_ptr<Bitmap> bmp);
std::shared_ptr<Bitmap> FindBitmap(HBITMAP h);
int DibStride(int width, int bpp);
std::vector<RGBQUAD> DefaultColorTable(int bpp);  // black/white, the 16 VGA, the 256 halftone-ish

inline std::uint32_t ColorToRgb(COLORREF c) {  // 0x00BBGGRR -> 0x00RRGGBB
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF RgbToColor(std::uint32_t v) { return ColorToRgb(v); }

}  // namespace gdi

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bm);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);

}  // namespace win
