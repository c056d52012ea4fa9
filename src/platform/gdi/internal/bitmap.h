#pragma once
// Inside the platform: the implementation side of platform/gdi/bitmap.h.
#include "platform/gdi/bitmap.h"
#include "platform/gdi/internal/access.h"

#include <memory>
#include <vector>

#include "platform/base/internal/handles.h"

namespace win::gdi {

// The largest bitmap we agree to allocate: far beyond any window, small enough that a
// corrupt size in a file fails cleanly instead of exhausting memory.
constexpr std::int64_t kMaxBitmapBytes = std::int64_t(1) << 30;
constexpr int kMaxBitmapSide = 1 << 16;

struct Bitmap : HandleObject {
  int width = 0;
  int height = 0;
  int bpp = 32;
  int stride = 0;        // bytes per row, rounded up to 4 like a DIB
  bool top_down = true;  // row order in memory
  bool dib = false;      // created by CreateDIBSection
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
  std::uint32_t FromColor(COLORREF c) const;  // nearest palette entry for paletted bitmaps
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

}  // namespace win::gdi
